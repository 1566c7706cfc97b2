#include "app/view/TextDrawer.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QVarLengthArray>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

// Ideographs and full-width punctuation, the bulk of a page. In a CJK face the
// text layout gives each of them the glyph of the character map and the
// face's own advance, so a glyph run built from those draws the same pixels.
// Everything else (Latin letters with their ligatures and kerning, marks,
// controls such as tabs, right-to-left text) keeps the full layout.
bool IsPlainCjk(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x3000 && u <= 0x3029) // CJK punctuation; 302A-302F are marks
        || (u >= 0x3030 && u <= 0x303F)
        || (u >= 0x3400 && u <= 0x4DBF) // ideographs, extension A
        || (u >= 0x4E00 && u <= 0x9FFF) // unified ideographs
        || (u >= 0xF900 && u <= 0xFAFF) // compatibility ideographs
        || (u >= 0xFF01 && u <= 0xFF5E) // full-width forms of ASCII
        || (u >= 0xFFE0 && u <= 0xFFE6) // full-width signs
        || (u >= 0x2010 && u <= 0x2027); // dashes, quotes, ellipsis
}

// Whether an OpenType GSUB or GPOS table lists a feature that the text layout
// applies by default and that may replace or move ideographs and full-width
// punctuation. A table too short to read counts as listing one.
bool ListsReshapingFeature(const QByteArray& table)
{
    if (table.isEmpty())
        return false;
    if (table.size() < 10)
        return true;
    // Header: version (4 bytes), ScriptList offset, FeatureList offset; the
    // FeatureList is a count and records of tag (4 bytes) and offset (2).
    const auto* data = reinterpret_cast<const uchar*>(table.constData());
    const qsizetype list = qFromBigEndian<quint16>(data + 6);
    if (list + 2 > table.size())
        return true;
    const int count = qFromBigEndian<quint16>(data + list);
    if (list + 2 + 6 * qsizetype(count) > table.size())
        return true;
    for (int i = 0; i < count; ++i) {
        const QByteArrayView tag(table.constData() + list + 2 + 6 * i, 4);
        for (const char* reshaping : {"locl", "kern", "calt", "clig", "rlig", "rclt"})
            if (tag == reshaping)
                return true;
    }
    return false;
}

// Whether glyph runs from face draw CJK text exactly as QPainter::drawText
// draws it in font: no decoration or spacing of the font's own, no layout
// feature that could change the glyphs, and the ideographs resolve to the same
// face as the punctuation (the layout picks a face per script).
bool GlyphRunsMatchLayout(const QFont& font, const QRawFont& face)
{
    if (!face.isValid() || font.underline() || font.overline() || font.strikeOut()
        || font.letterSpacing() != 0 || font.wordSpacing() != 0)
        return false;
    for (const char* aat : {"kern", "morx", "kerx", "trak"})
        if (!face.fontTable(aat).isEmpty())
            return false;
    if (ListsReshapingFeature(face.fontTable("GSUB")) || ListsReshapingFeature(face.fontTable("GPOS")))
        return false;
    // The faces' names tell them apart; their QFontDef fields echo the request.
    const QByteArray names = face.fontTable("name");
    return !names.isEmpty() && names == QRawFont::fromFont(font, QFontDatabase::SimplifiedChinese).fontTable("name");
}

// The glyphs of a line and their pen positions from its start.
struct TGlyphLine {
    QVarLengthArray<quint32, 128> Glyphs;
    QVarLengthArray<QPointF, 128> Positions;
};

// Maps text to glyphs of face, or returns false when a character needs the
// full layout: not plain CJK, no glyph in face (font fallback), or an advance
// of a fraction of a pixel, which the layout would round its own way.
bool MapToGlyphs(const QRawFont& face, const QString& text, TGlyphLine& line)
{
    const int count = static_cast<int>(text.size());
    if (count == 0 || !std::all_of(text.begin(), text.end(), IsPlainCjk))
        return false;
    line.Glyphs.resize(count);
    int glyphCount = count;
    if (!face.glyphIndexesForChars(text.constData(), count, line.Glyphs.data(), &glyphCount) || glyphCount != count
        || std::find(line.Glyphs.begin(), line.Glyphs.end(), 0u) != line.Glyphs.end())
        return false;
    line.Positions.resize(count);
    if (!face.advancesForGlyphIndexes(line.Glyphs.constData(), line.Positions.data(), count))
        return false;
    qreal x = 0;
    for (QPointF& position : line.Positions) {
        const qreal advance = position.x();
        if (advance != std::floor(advance) || position.y() != 0)
            return false;
        position = QPointF(x, 0);
        x += advance;
    }
    return true;
}

void DrawGlyphRun(QPainter& painter, const QRawFont& face, QPoint origin, const TGlyphLine& line)
{
    QGlyphRun run;
    run.setRawFont(face);
    run.setRawData(line.Glyphs.constData(), line.Positions.constData(), static_cast<int>(line.Glyphs.size()));
    painter.drawGlyphRun(origin, run);
}

// The pixels of an image that glyph stamps are written into, and the colour.
struct TStampTarget {
    uchar* Bits = nullptr;
    qsizetype BytesPerLine = 0;
    QRect Bounds; // the image, within the painter's clip
    QRgb Color = 0;
};

// Whether Qt would draw 1-bit glyphs on the painter's device by writing the
// pen colour into the pixels and nothing else: a 32-bit image it alone uses,
// no transformation, an opaque solid pen, plain source-over drawing and a
// clip of one whole-pixel rectangle at most.
bool FindStampTarget(QPainter& painter, TStampTarget& target)
{
    QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image)
        return false;
    auto& image = *static_cast<QImage*>(device);
    const QImage::Format format = image.format();
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
            && format != QImage::Format_ARGB32_Premultiplied)
        || !image.isDetached())
        return false;
    const QPen& pen = painter.pen();
    if (pen.style() == Qt::NoPen || pen.brush().style() != Qt::SolidPattern || pen.color().alpha() != 255
        || painter.deviceTransform().type() != QTransform::TxNone || painter.opacity() != 1.0
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    target.Bounds = image.rect();
    if (painter.hasClipping()) {
        const QRegion clip = painter.clipRegion();
        if (clip.rectCount() > 1 || painter.clipBoundingRect() != QRectF(clip.boundingRect()))
            return false;
        target.Bounds &= clip.boundingRect();
    }
    target.Bits = image.bits();
    target.BytesPerLine = image.bytesPerLine();
    target.Color = pen.color().rgba();
    return true;
}

// Writes the target colour where rows have ink, row 0 at (left, top), within
// the target's bounds.
void StampRows(const TStampTarget& target, int left, int top, const std::vector<uint64_t>& rows)
{
    const QRect& bounds = target.Bounds;
    const int first = bounds.left() - left; // first and last bit inside
    const int last = bounds.right() - left;
    if (last < 0 || first > 63)
        return;
    const uint64_t mask = (first <= 0 ? ~uint64_t(0) : ~uint64_t(0) << first)
        & (last >= 63 ? ~uint64_t(0) : (uint64_t(2) << last) - 1);
    const int fromRow = std::max(0, bounds.top() - top);
    const int toRow = std::min(static_cast<int>(rows.size()) - 1, bounds.bottom() - top);
    for (int r = fromRow; r <= toRow; ++r) {
        auto* pixels = reinterpret_cast<QRgb*>(target.Bits + (top + r) * target.BytesPerLine);
        for (uint64_t ink = rows[r] & mask; ink != 0; ink &= ink - 1)
            pixels[left + std::countr_zero(ink)] = target.Color;
    }
}

} // namespace

int PixelSizeForPoints(int points)
{
    // MulDiv(points, 96, 72), as the font height of the original layout.
    return std::max(1, (points * 96 + 36) / 72);
}

void TAAFont::SetQuality(int level)
{
    level = std::clamp(level, 0, QualityNone);
    if (level == FQuality)
        return;
    FQuality = level;
    FFonts.clear();
    FDrawFonts.clear();
}

QFont TAAFont::MakeFont(const TTextFont& spec, int quality) const
{
    QFont font(spec.Name);
    font.setPixelSize(PixelSizeForPoints(spec.Size));
    font.setBold(spec.Bold);
    font.setItalic(spec.Italic);
    font.setUnderline(spec.Underline);
    font.setStrikeOut(spec.StrikeOut);
    font.setStyleStrategy(quality < QualityNone ? QFont::PreferAntialias : QFont::NoAntialias);
    return font;
}

QFont TAAFont::Font(const TTextFont& spec) const
{
    for (const auto& [key, font] : FFonts)
        if (key == spec)
            return font;
    // A page uses three fonts at most; a handful of entries covers every
    // font change the user can make in one session without growing forever.
    if (FFonts.size() >= 16)
        FFonts.clear();
    FFonts.emplace_back(spec, MakeFont(spec, FQuality));
    return FFonts.back().second;
}

int TAAFont::TextWidth(const TTextFont& spec, const QString& text) const
{
    return QFontMetrics(MakeFont(spec, QualitySmooth)).horizontalAdvance(text);
}

int TAAFont::TextHeight(const TTextFont& spec, const QString& text) const
{
    Q_UNUSED(text); // one line: the font's height, whatever the glyphs
    return QFontMetrics(MakeFont(spec, QualitySmooth)).height();
}

TAAFont::TDrawFont& TAAFont::DrawFontOf(const QPainter& painter) const
{
    const QFont& font = painter.font();
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 0;
    for (TDrawFont& known : FDrawFonts)
        if (known.Font == font && known.Dpi == dpi)
            return known;
    if (FDrawFonts.size() >= 16)
        FDrawFonts.clear();
    TDrawFont& made = FDrawFonts.emplace_back();
    made.Font = font;
    made.Dpi = dpi;
    made.Face = QRawFont::fromFont(font);
    made.Ascent = painter.fontMetrics().ascent();
    made.GlyphRuns = GlyphRunsMatchLayout(font, made.Face);
    return made;
}

TAAFont::TGlyphStamp TAAFont::MakeStamp(const QRawFont& face, quint32 glyph)
{
    // Qt draws the glyph, black on white, as it would on the page; a blank
    // margin round the glyph's box shows that the box held all of it.
    const QRect cell = face.boundingRect(glyph).toAlignedRect().adjusted(-2, -2, 2, 2);
    if (cell.width() > 64)
        return {};
    QImage image(cell.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        const QPointF position;
        QGlyphRun run;
        run.setRawFont(face);
        run.setRawData(&glyph, &position, 1);
        painter.drawGlyphRun(-cell.topLeft(), run);
    }
    const int width = cell.width();
    const int height = cell.height();
    TGlyphStamp stamp{true, cell.left(), cell.top(), std::vector<uint64_t>(height)};
    for (int y = 0; y < height; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint64_t row = 0;
        for (int x = 0; x < width; ++x) {
            if (pixels[x] == 0xFFFFFFFF)
                continue;
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            if (pixels[x] != 0xFF000000 || edge)
                return {}; // smoothed after all, or larger than its box
            row |= uint64_t(1) << x;
        }
        stamp.Rows[y] = row;
    }
    while (!stamp.Rows.empty() && stamp.Rows.back() == 0)
        stamp.Rows.pop_back();
    const auto firstInk = std::find_if(stamp.Rows.begin(), stamp.Rows.end(), [](uint64_t row) { return row != 0; });
    stamp.Top += static_cast<int>(firstInk - stamp.Rows.begin());
    stamp.Rows.erase(stamp.Rows.begin(), firstInk);
    return stamp;
}

bool TAAFont::StampGlyphs(QPainter& painter, TDrawFont& font, QPoint origin, const quint32* glyphs,
    const QPointF* positions, int count)
{
    TStampTarget target;
    if (!FindStampTarget(painter, target))
        return false;
    // Every stamp first, so that a line is drawn whole by one way or the other.
    QVarLengthArray<const TGlyphStamp*, 128> stamps;
    for (int i = 0; i < count; ++i) {
        auto [it, added] = font.Stamps.try_emplace(glyphs[i]);
        if (added)
            it->second = MakeStamp(font.Face, glyphs[i]);
        if (!it->second.Valid)
            return false;
        stamps.append(&it->second);
    }
    for (int i = 0; i < count; ++i)
        StampRows(target, origin.x() + static_cast<int>(positions[i].x()) + stamps[i]->Left,
            origin.y() + stamps[i]->Top, stamps[i]->Rows);
    return true;
}

void TAAFont::TextOut(QPainter& painter, int x, int y, const QString& text) const
{
    painter.setRenderHint(QPainter::TextAntialiasing, Smooth());
    TDrawFont& font = DrawFontOf(painter);
    const QPoint origin(x, y + font.Ascent);
    // drawText lays the text out (script runs, HarfBuzz shaping) on every
    // call, which changes nothing in a line of ideographs: such lines go to
    // the glyphs straight. Unsmoothed, Qt still spends about a microsecond on
    // each glyph (glyph cache look-up, a 1-bit blit of masked stores), most of
    // a page's time; but a 1-bit glyph sets the same pixels at every
    // whole-pixel position, so Qt draws each glyph once and its pixels are
    // copied from then on.
    TGlyphLine line;
    if (!font.GlyphRuns || painter.layoutDirection() == Qt::RightToLeft || !MapToGlyphs(font.Face, text, line)) {
        painter.drawText(origin, text);
        return;
    }
    if (!Smooth()
        && StampGlyphs(painter, font, origin, line.Glyphs.constData(), line.Positions.constData(),
            static_cast<int>(line.Glyphs.size())))
        return;
    DrawGlyphRun(painter, font.Face, origin, line);
}

bool FontInstalled(const QString& name)
{
    const QStringList families = QFontDatabase::families();
    return std::any_of(families.begin(), families.end(),
        [&](const QString& family) { return family.compare(name, Qt::CaseInsensitive) == 0; });
}

void RegisterFontSubstitutions()
{
    // Song (Ming) faces first, so the page keeps the look of the Windows font;
    // the sans faces only keep the text from turning into boxes.
    static const char* const candidates[] = {
        "Noto Serif CJK SC", "Source Han Serif SC", "AR PL UMing CN", "AR PL UMing TW", "AR PL UMing HK",
        "AR PL SungtiL GB", "AR PL Mingti2L Big5", "Noto Serif CJK TC", "Noto Sans CJK SC",
        "WenQuanYi Zen Hei", "WenQuanYi Micro Hei", "Droid Sans Fallback",
    };
    const QStringList families = QFontDatabase::families();
    QStringList installed;
    for (const char* candidate : candidates)
        for (const QString& family : families)
            if (family.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0) {
                installed << family;
                break;
            }
    if (installed.isEmpty())
        return;
    for (const QString& windowsName : {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("新宋体"),
             QStringLiteral("NSimSun")})
        if (!FontInstalled(windowsName))
            QFont::insertSubstitutions(windowsName, installed);
}
