#pragma once
// Draws one laid-out page as a sheet of paper: paper, bookmark glyph, drop
// shadow, rules, header, page number, footer and the lines of text.

#include "app/view/TextDrawer.h"

#include <QImage>
#include <QString>

#include <span>

struct TLineFont;
struct TOnePage;
struct TPagePublicMsg;

// The 40-character sample whose size is the text area of every page.
extern const QString LineFontSample;
// The page-number sample the page number is centred by, whatever its digits.
extern const QString PageNoSample;

// Header, page number and footer: "宋体" 9 pt.
TTextFont PageFurnitureFont();
// The face, size and style of a line kind.
TTextFont TextFontOf(const TLineFont& font);

// Width and Height of the line sample in the font's face and size (no style).
void MeasureLineFont(TLineFont& font, const TAAFont& aaFont);
// FooterWidth and PageNoWidth in the furniture font.
void MeasurePageFurniture(TPagePublicMsg& msg, const TAAFont& aaFont);

// "第 N 页" for the 0-based page index.
QString PageNumberText(int pageIndex);

// Draws page with its top-left corner at the image origin; the image must be
// 1:1 (no device pixel ratio) since the shadow works on pixels. lineFonts is
// indexed by line kind (1 and 2; a kind it has no font for draws as kind 1).
// The shadow blends black over the 5-pixel strip right of and below the
// paper, so the caller fills the image with the reading area's colour first;
// without the shadow nothing outside the paper rectangle is touched.
void DrawPage(QImage& target, const TOnePage& page, int pageIndex, std::span<const TLineFont> lineFonts,
    const TPagePublicMsg& msg, bool showMark, bool withShadow, bool showMarkInPage, const TAAFont& aaFont);
