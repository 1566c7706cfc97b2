#pragma once
// The user's settings and their file, "Options.ini" (sections VIEWER, PAGE,
// TEXTFONT). Loading never fails: a missing file, section or key, or a value
// that is no number, leaves that setting at its default, and values are taken
// as they stand, outside the ranges of the controls too. Saving writes every
// key, in a fixed order, to a fresh file, so a damaged file is repaired by
// the next save. Whether the font is installed is for the window to check.

#include "app/model/PageModel.h"
#include "common/AtomicFile.h"
#include "common/NarrowText.h"

#include <QString>

inline constexpr char SettingsFileName[] = "Options.ini";
// The body font when the file names none, or one that is not installed.
inline constexpr char16_t DefaultFontName[] = u"宋体";

// Name "宋体", size 11, black, no styles; metrics left for the window to measure.
TLineFont DefaultTextFont();

struct TSettings {
    // VIEWER
    int HisFileCount = 10;
    int HisFolderCount = 10;
    bool ClearFileHis = false;   // empty the file history at exit
    bool ClearFolderHis = false; // empty the folder history at exit
    bool AutoLocation = true;    // opening a book goes to its reading point
    bool AutoOpenNext = true;    // auto-scroll goes on into the next file of the list
    bool SmoothFont = true;
    bool ShowMarkInPage = true;
    int ViewerColor = 10329501; // 0x00BBGGRR around the pages, RGB(157,157,157)
    // PAGE
    int PageColor = 16777215; // paper without a background picture
    bool UseBg = false;
    QString BgFile;         // file name within the folder "PagePic"
    int LineSpacing = 6;    // pixels
    int ScrollSpeed = 1000; // milliseconds per auto-scroll step
    // TEXTFONT: Name, Size, Color, Bold, Italic, Underline, StrikeOut
    TLineFont TextFont = DefaultTextFont();
};

struct TSettingsLoad {
    TSettings Settings;
    TReadResult Status; // an unreadable file still gives the defaults
};

TSettingsLoad LoadSettingsFile(const QString& path);
TSaveResult SaveSettingsFile(const QString& path, const TSettings& settings);
