#include "app/view/TextDrawer.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QString Sample = QStringLiteral("一二三四五六七八九十");

// Rows and columns that hold ink (anything darker than the white ground).
QRect InkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 250)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QImage Drawn(const TAAFont& aaFont, const TTextFont& font, QPoint at, const QString& text)
{
    QImage image(400, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(aaFont.Font(font));
    painter.setPen(Qt::black);
    aaFont.TextOut(painter, at.x(), at.y(), text);
    return image;
}

TEST(TextDrawerTest, PointsBecomePixelsAt96Dpi)
{
    EXPECT_EQ(PixelSizeForPoints(9), 12);
    EXPECT_EQ(PixelSizeForPoints(11), 15);
    EXPECT_EQ(PixelSizeForPoints(24), 32);
}

TEST(TextDrawerTest, SongFaceResolvesToAnInstalledCjkFace)
{
    TAAFont aaFont;
    for (const char* name : {"宋体", "SimSun"}) {
        const QString family = QFontInfo(aaFont.Font({QString::fromUtf8(name), 11})).family();
        EXPECT_TRUE(FontInstalled(family)) << name << " -> " << family.toStdString();
        // A CJK face gives every ideograph one em: ten characters, ten ems.
        EXPECT_EQ(aaFont.TextWidth({QString::fromUtf8(name), 11}, Sample), 10 * 15) << name;
    }
}

TEST(TextDrawerTest, FontInstalledIgnoresCase)
{
    ASSERT_TRUE(FontInstalled(QStringLiteral("AR PL UMing CN"))) << "fonts-arphic-uming is a build dependency";
    EXPECT_TRUE(FontInstalled(QStringLiteral("ar pl uming cn")));
    EXPECT_FALSE(FontInstalled(QStringLiteral("No Such Face 4711")));
    EXPECT_FALSE(FontInstalled(QString()));
}

TEST(TextDrawerTest, MeasuresAreTheSameAtEveryQuality)
{
    TAAFont aaFont;
    const TTextFont font{QStringLiteral("宋体"), 11};
    aaFont.SetQuality(TAAFont::QualitySmooth);
    const int width = aaFont.TextWidth(font, Sample);
    const int height = aaFont.TextHeight(font, Sample);
    aaFont.SetQuality(TAAFont::QualityNone);
    EXPECT_EQ(aaFont.TextWidth(font, Sample), width);
    EXPECT_EQ(aaFont.TextHeight(font, Sample), height);
    EXPECT_EQ(height, QFontMetrics(aaFont.Font(font)).height());
}

TEST(TextDrawerTest, QualityIsClampedToFourLevels)
{
    TAAFont aaFont;
    aaFont.SetQuality(-2);
    EXPECT_EQ(aaFont.Quality(), 0);
    aaFont.SetQuality(9);
    EXPECT_EQ(aaFont.Quality(), TAAFont::QualityNone);
    EXPECT_FALSE(aaFont.Smooth());
}

TEST(TextDrawerTest, TextTopLeftCornerIsThePointGiven)
{
    TAAFont aaFont;
    const TTextFont font{QStringLiteral("宋体"), 11};
    const int height = aaFont.TextHeight(font, Sample);
    const QRect ink = InkBounds(Drawn(aaFont, font, {30, 20}, Sample));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 30);
    EXPECT_LE(ink.left(), 33);
    EXPECT_GE(ink.top(), 20);
    EXPECT_LT(ink.bottom(), 20 + height);
    EXPECT_LE(ink.right(), 30 + aaFont.TextWidth(font, Sample));
}

// Count of pixels that are neither the ground nor full ink: smoothing's edges.
int HalfTones(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int g = qGray(image.pixel(x, y));
            count += g > 0 && g < 255;
        }
    return count;
}

TEST(TextDrawerTest, SmoothingOffDrawsTheSamePlacesWithoutHalfTones)
{
    TAAFont aaFont;
    const TTextFont font{QStringLiteral("宋体"), 11};
    aaFont.SetQuality(TAAFont::QualitySmooth);
    const QImage smooth = Drawn(aaFont, font, {10, 10}, Sample);
    aaFont.SetQuality(TAAFont::QualityNone);
    const QImage plain = Drawn(aaFont, font, {10, 10}, Sample);
    EXPECT_GT(HalfTones(smooth), 0);
    EXPECT_EQ(HalfTones(plain), 0);
    const QRect a = InkBounds(smooth), b = InkBounds(plain);
    EXPECT_LE(std::abs(a.top() - b.top()), 1);
    EXPECT_LE(std::abs(a.left() - b.left()), 1);
}

// TextOut skips the text layout for plain CJK lines; whatever way it takes,
// it must set exactly the pixels QPainter::drawText sets at the baseline.
struct TTextCase {
    const char* Name;
    const char* Text;
};

struct TStyleCase {
    const char* Name;
    int Size;
    bool Bold;
    bool Italic;
    bool Underline;
};

// How the painter draws: image format, clip, origin and pen.
struct TSurfaceCase {
    const char* Name;
    QImage::Format Format;
    QRect Clip; // none when empty
    QPoint At;
    QPoint Translation;
    QColor Pen;
    Qt::LayoutDirection Direction = Qt::LayoutDirectionAuto;
};

const TTextCase TextCases[] = {
    {"Ideographs", "天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往"},
    {"FullWidthPunctuation", "　　“天地玄黄”——宇宙洪荒……，。！？：；（）"},
    // U+520F is missing from the Ming face: the layout takes it from another face.
    {"CharacterFromAFallbackFace", "天地\u520F玄黄"},
    {"LatinAmongIdeographs", "Qt 6 天地 fi AV 玄黄"},
    {"Tab", "天\t地"},
};

const TStyleCase StyleCases[] = {
    {"Regular", 11, false, false, false},
    // 16 pixels: half-width glyphs advance by whole pixels too.
    {"Regular12", 12, false, false, false},
    {"Bold", 11, true, false, false},
    {"Italic", 11, false, true, false},
    {"Underline", 11, false, false, true},
};

const TSurfaceCase SurfaceCases[] = {
    {"Rgb32", QImage::Format_RGB32, {}, {10, 10}, {}, QColor(200, 30, 40)},
    {"ClippedThroughTheGlyphs", QImage::Format_ARGB32_Premultiplied, {37, 14, 131, 9}, {10, 10}, {}, Qt::black},
    {"OffTheImageEdge", QImage::Format_RGB32, {}, {-7, -5}, {}, Qt::black},
    {"Translated", QImage::Format_RGB32, {}, {10, 10}, {3, 2}, Qt::black},
    {"TranslucentPen", QImage::Format_RGB32, {}, {10, 10}, {}, QColor(0, 0, 255, 128)},
    {"RightToLeft", QImage::Format_RGB32, {}, {10, 10}, {}, Qt::black, Qt::RightToLeft},
};

using TTextOutParam = std::tuple<TTextCase, TStyleCase, int, TSurfaceCase>;

class TextOutTest : public testing::TestWithParam<TTextOutParam> {};

TEST_P(TextOutTest, SetsThePixelsDrawTextSetsAtTheBaseline)
{
    const auto& [text, style, quality, surface] = GetParam();
    TAAFont aaFont;
    aaFont.SetQuality(quality);
    TTextFont spec{QStringLiteral("宋体"), style.Size};
    spec.Bold = style.Bold;
    spec.Italic = style.Italic;
    spec.Underline = style.Underline;
    const QString string = QString::fromUtf8(text.Text);

    auto draw = [&](bool throughTextOut) {
        QImage image(420, 40, surface.Format);
        image.fill(QColor(240, 232, 216));
        QPainter painter(&image);
        painter.translate(surface.Translation);
        painter.setLayoutDirection(surface.Direction);
        if (!surface.Clip.isEmpty())
            painter.setClipRect(surface.Clip);
        painter.setFont(aaFont.Font(spec));
        painter.setPen(surface.Pen);
        if (throughTextOut) {
            aaFont.TextOut(painter, surface.At.x(), surface.At.y(), string);
        } else {
            painter.setRenderHint(QPainter::TextAntialiasing, aaFont.Smooth());
            painter.drawText(QPoint(surface.At.x(), surface.At.y() + painter.fontMetrics().ascent()), string);
        }
        return image;
    };
    const QImage expected = draw(false);
    // Twice: the second time from whatever the first one cached.
    EXPECT_EQ(draw(true), expected);
    EXPECT_EQ(draw(true), expected);
}

std::string TextOutCaseName(const testing::TestParamInfo<TTextOutParam>& info)
{
    const auto& [text, style, quality, surface] = info.param;
    return std::string(text.Name) + "_" + style.Name + (quality == TAAFont::QualityNone ? "_Plain_" : "_Smooth_")
        + surface.Name;
}

INSTANTIATE_TEST_SUITE_P(Cases, TextOutTest,
    testing::Combine(testing::ValuesIn(TextCases), testing::ValuesIn(StyleCases),
        testing::Values(TAAFont::QualitySmooth, TAAFont::QualityNone), testing::ValuesIn(SurfaceCases)),
    TextOutCaseName);

} // namespace
