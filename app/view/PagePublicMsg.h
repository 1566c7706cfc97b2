#pragma once
// What every page shares: spacing, paper, pictures and the page furniture.

#include <QImage>
#include <QString>

#include <cstdint>

struct TPagePublicMsg {
    int32_t LineSpacing = 6;
    QString FileName;
    QString FooterText;
    int32_t FooterWidth = 0;
    int32_t PageNoWidth = 0;
    int32_t PageColor = 0xFFFFFF; // 0x00BBGGRR
    bool UseBg = false;
    QImage PaperBitmap;
    QImage BgBitmap;
    QString BgFile;
    QImage MarkBitmap; // white is transparent
};

extern TPagePublicMsg PagePublicMsg;

// 0x00BBGGRR, the stored colour form, to and from Qt's colours.
QRgb RgbFromColorRef(int32_t colorRef);
int32_t ColorRefFromRgb(QRgb rgb);
