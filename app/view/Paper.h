#pragma once
// The pictures every page shares: the paper prepared from a background
// picture, and the bookmark glyph. Files are found in the program folder.

#include <QImage>
#include <QString>

struct TLineFont;
struct TPagePublicMsg;

// Outcome of reading a picture file; Error says why it failed.
struct TPictureRead {
    bool Ok = false;
    QString Error;
    explicit operator bool() const { return Ok; }
};

// Loads programDir/PagePic/fileName into bitmap (Format_RGB32). On failure
// bitmap is left as it was.
TPictureRead LoadBgPicture(const QString& programDir, const QString& fileName, QImage& bitmap);

// Rebuilds msg.PaperBitmap: the background tiled from the top-left corner over
// (body.Width + 120) x (body.Height * 40 + LineSpacing * 39 + 184) pixels, framed
// by a 1-pixel black line. Does nothing while msg.UseBg is off; with reload,
// first reads msg.BgFile again and clears UseBg when it cannot be read.
void PreparePaper(TPagePublicMsg& msg, const TLineFont& body, bool reload, const QString& programDir);

// The bookmark glyph, programDir/Mark.bmp, as Format_ARGB32 with its white
// pixels transparent. A missing or unreadable file gives 48 x 48 transparent
// white, which shows nothing.
QImage LoadMarkBitmap(const QString& programDir);

// Makes the pixels of one colour transparent (the glyph's keying colour).
QImage TransparentWhere(const QImage& image, QRgb keyColor);
