#pragma once
// The one text drawer of the pages: it measures and draws every page text, so
// the metrics that lay the pages out are the metrics the pages are drawn with.
//
// Sizes are points converted to pixels at 96 dpi, the fixed resolution the page
// geometry was designed for. Fonts are therefore pixel-sized and measure the
// same on every device (screen, QImage, offscreen), and a page looks the same
// on screen and in an exported picture.

#include <QFont>
#include <QRawFont>
#include <QString>

#include <cstdint>
#include <unordered_map>
#include <vector>

class QPainter;

// Face, size and style of a text, as the settings hold them.
struct TTextFont {
    QString Name;
    int Size = 9; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    friend bool operator==(const TTextFont&, const TTextFont&) = default;
};

// Pixel size of a point size at 96 dpi, rounded as Windows rounds it.
int PixelSizeForPoints(int points);

class TAAFont {
public:
    // Four levels: 0 to 2 draw anti-aliased text, 3 draws it without smoothing.
    // The program uses QualitySmooth and QualityNone.
    static constexpr int QualitySmooth = 1;
    static constexpr int QualityNone = 3;

    int Quality() const { return FQuality; }
    void SetQuality(int level); // clamped to 0..3
    bool Smooth() const { return FQuality < QualityNone; }

    // The font for a face, size and style, with this drawer's smoothing; cached.
    QFont Font(const TTextFont& spec) const;

    // Width (QFontMetrics::horizontalAdvance) and height (QFontMetrics::height)
    // of a text in that font, measured on no device: pixel-sized fonts need
    // none. Smoothing takes no part, so switching it never moves a line; line
    // metrics are measured with the face and size only.
    int TextWidth(const TTextFont& spec, const QString& text) const;
    int TextHeight(const TTextFont& spec, const QString& text) const;

    // Draws text with its top-left corner at (x, y) in the painter's current
    // font (one from Font()) and pen colour, blended over what is there; no
    // background. Exactly the pixels of QPainter::drawText at the baseline,
    // though lines of ideographs skip the text layout to get there.
    void TextOut(QPainter& painter, int x, int y, const QString& text) const;

private:
    // The pixels one glyph sets when Qt draws it unsmoothed, around the
    // glyph's origin: bit b of row r is the pixel (Left + b, Top + r). Not
    // valid when Qt's drawing of it cannot simply be copied (smoothed after
    // all, or wider than 64 pixels).
    struct TGlyphStamp {
        bool Valid = false;
        int Left = 0;
        int Top = 0;
        std::vector<uint64_t> Rows;
    };

    // A painter font as TextOut draws with it: the face it resolves to, the
    // ascent that puts the baseline, whether glyph runs may stand in for the
    // text layout, and the stamps of the glyphs drawn so far.
    struct TDrawFont {
        QFont Font;
        int Dpi = 0;
        QRawFont Face;
        int Ascent = 0;
        bool GlyphRuns = false;
        std::unordered_map<quint32, TGlyphStamp> Stamps;
    };

    QFont MakeFont(const TTextFont& spec, int quality) const;
    TDrawFont& DrawFontOf(const QPainter& painter) const;
    static TGlyphStamp MakeStamp(const QRawFont& face, quint32 glyph);
    static bool StampGlyphs(QPainter& painter, TDrawFont& font, QPoint origin, const quint32* glyphs,
        const QPointF* positions, int count);

    int FQuality = QualitySmooth;
    mutable std::vector<std::pair<TTextFont, QFont>> FFonts;
    mutable std::vector<TDrawFont> FDrawFonts;
};

// Case-insensitive match among the installed font families.
bool FontInstalled(const QString& name);

// Lets "宋体" and "SimSun" resolve to an installed Song/Ming CJK face where the
// Windows font is absent. Call once after the QGuiApplication exists.
void RegisterFontSubstitutions();
