#include "app/view/PageRenderer.h"

#include "app/model/PageModel.h"
#include "app/view/PagePublicMsg.h"
#include "app/view/Paper.h"
#include "common/Gbk.h"

#include <QFontMetrics>
#include <QPainter>

#include <array>

#include <gtest/gtest.h>

namespace {

constexpr QRgb Ground = 0xFF9D9D9D;   // the reading area's default grey
constexpr QRgb PaperRgb = 0xFFF0E8D8; // a paper colour that white glyph pixels would stand out on
const QString LineText = QStringLiteral("天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏闰余成岁律吕调阳云腾致雨露结为霜");

class DrawPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        Fonts[1].Name = QStringLiteral("宋体");
        Fonts[1].Size = 11;
        MeasureLineFont(Fonts[1], AAFont);
        Fonts[2] = Fonts[1];
        Msg.LineSpacing = 6;
        Msg.FileName = QStringLiteral("千字文.txt");
        Msg.FooterText = QStringLiteral("www.quillmere.example");
        Msg.PageColor = ColorRefFromRgb(PaperRgb);
        MeasurePageFurniture(Msg, AAFont);
    }

    TOnePage MakePage(int lineCount, const QString& text = LineText)
    {
        TOnePage page;
        QByteArray buffer;
        const QByteArray line = ToGbk(text);
        for (int i = 0; i < lineCount; ++i)
            buffer += line;
        page.Lines.setBuffer(buffer);
        for (int i = 0; i < lineCount; ++i) {
            page.Lines.append(qsizetype(i) * line.size(), static_cast<int>(line.size()));
            page.LineKind[i] = 1;
        }
        page.Width = PageWidthFor(Fonts[1]);
        page.Height = PageHeightFor(Fonts[1], Fonts[2], 0, Msg.LineSpacing);
        return page;
    }

    QImage Draw(const TOnePage& page, int index = 0, bool showMark = true, bool withShadow = true,
        bool showMarkInPage = true, QSize extra = QSize(0, 0))
    {
        QImage image(page.Width + extra.width(), page.Height + extra.height(), QImage::Format_RGB32);
        image.fill(Ground);
        DrawPage(image, page, index, Fonts, Msg, showMark, withShadow, showMarkInPage, AAFont);
        return image;
    }

    // Pixels that are not paper inside the given rectangle.
    static int Ink(const QImage& image, const QRect& area)
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixel(x, y) != PaperRgb;
        return count;
    }

    static QRect InkBounds(const QImage& image, const QRect& area)
    {
        QRect bounds;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (image.pixel(x, y) != PaperRgb)
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    }

    TAAFont AAFont;
    std::array<TLineFont, 3> Fonts;
    TPagePublicMsg Msg;
};

TEST_F(DrawPageTest, MeasuredGeometryIsThatOfTheSongFaceAt11Points)
{
    // 40 ideographs of one em each at 15 pixels (11 pt at 96 dpi), in any CJK face.
    EXPECT_EQ(Fonts[1].Width, 600);
    EXPECT_GE(Fonts[1].Height, 15);
    EXPECT_EQ(Fonts[1].Height, QFontMetrics(AAFont.Font(TextFontOf(Fonts[1]))).height());
    const TOnePage page = MakePage(1);
    EXPECT_EQ(page.Width, 725);
}

TEST_F(DrawPageTest, PaperIsOutlinedInBlackAndFilledWithThePaperColour)
{
    const TOnePage page = MakePage(0);
    const QImage image = Draw(page);
    const int right = page.Width - 6, bottom = page.Height - 6;
    for (QPoint p : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(300, 0), QPoint(0, 500),
             QPoint(right, 500), QPoint(300, bottom)})
        EXPECT_EQ(image.pixel(p), 0xFF000000) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(1, 1), QPoint(right - 1, 1), QPoint(1, bottom - 1), QPoint(30, 500),
             QPoint(right - 1, bottom - 1), QPoint(300, 500)})
        EXPECT_EQ(image.pixel(p), PaperRgb) << p.x() << "," << p.y();
}

TEST_F(DrawPageTest, RulesRunFromTheSideMarginToItsMirrorTenPixelsOutsideTheText)
{
    const TOnePage page = MakePage(40);
    const QImage image = Draw(page);
    const int last = page.Width - 60 - 6; // the end point is left out
    for (int y : {92 - 10, page.Height - 92 + 10}) {
        EXPECT_EQ(image.pixel(59, y), PaperRgb) << y;
        for (int x = 60; x <= last; ++x)
            ASSERT_EQ(image.pixel(x, y), 0xFF000000) << x << "," << y;
        EXPECT_EQ(image.pixel(last + 1, y), PaperRgb) << y;
    }
    EXPECT_EQ(page.Height - 92 + 10, page.Height - 82);
}

TEST_F(DrawPageTest, ShadowBlendsBlackOverTheGroundInTheStrip)
{
    const TOnePage page = MakePage(1);
    const QImage image = Draw(page);
    const int w = page.Width, h = page.Height;
    // Over grey 157 the rings read 78, 94, 109, 124, 140 from the paper outwards.
    const int rings[] = {78, 94, 109, 124, 140};
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(qRed(image.pixel(w - 5 + n, 400)), rings[n]) << "right ring " << n + 1;
        EXPECT_EQ(qRed(image.pixel(300, h - 5 + n)), rings[n]) << "bottom ring " << n + 1;
    }
    EXPECT_EQ(image.pixel(w - 1, h - 1), Ground);
    EXPECT_EQ(image.pixel(w - 5, 2), Ground); // the right edge starts 10 rows down
}

TEST_F(DrawPageTest, WithoutShadowNothingOutsideThePaperIsTouched)
{
    TOnePage page = MakePage(40);
    page.Bookmarked = true;
    Msg.MarkBitmap = LoadMarkBitmap(QUILL_SHIPPED_PICTURES);
    const QImage image = Draw(page, 0, true, false, true, QSize(20, 20));
    const QRect paper(0, 0, page.Width - 5, page.Height - 5);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!paper.contains(x, y)) {
                ASSERT_EQ(image.pixel(x, y), Ground) << x << "," << y;
            }
}

struct TMarkCase {
    bool ShowMark;
    bool ShowMarkInPage;
    bool Bookmarked;
};

class DrawPageMarkTest : public DrawPageTest, public testing::WithParamInterface<TMarkCase> {};

TEST_P(DrawPageMarkTest, GlyphShowsOnlyWhenAllThreeAllowIt)
{
    const TMarkCase& c = GetParam();
    TOnePage page = MakePage(40);
    page.Bookmarked = c.Bookmarked;
    Msg.MarkBitmap = QImage(32, 48, QImage::Format_RGB32);
    Msg.MarkBitmap.fill(qRgb(200, 30, 40));
    QPainter(&Msg.MarkBitmap).fillRect(0, 0, 4, 4, Qt::white);
    const QImage image = Draw(page, 0, c.ShowMark, true, c.ShowMarkInPage);
    const bool expected = c.ShowMark && c.ShowMarkInPage && c.Bookmarked;
    EXPECT_EQ(image.pixel(12 + 16, 12 + 30) == qRgb(200, 30, 40), expected);
    EXPECT_EQ(image.pixel(11, 30), PaperRgb);
    // White is the glyph's transparent colour.
    EXPECT_EQ(image.pixel(12 + 1, 12 + 1), PaperRgb);
}

INSTANTIATE_TEST_SUITE_P(Flags, DrawPageMarkTest,
    testing::Values(TMarkCase{true, true, true}, TMarkCase{false, true, true}, TMarkCase{true, false, true},
        TMarkCase{true, true, false}));

class DrawPageQualityTest : public DrawPageTest, public testing::WithParamInterface<int> {};

TEST_P(DrawPageQualityTest, LineIStaysInItsBandAtTopMarginPlusIStrides)
{
    AAFont.SetQuality(GetParam());
    const TOnePage page = MakePage(40);
    const QImage image = Draw(page);
    const int h = Fonts[1].Height, s = Msg.LineSpacing;
    const int textRight = page.Width - 60 - 6;
    // Every line holds the same text, so its ink sits at the same depth in its band.
    const int inkDepth = InkBounds(image, QRect(60, 92, textRight - 60 + 1, h)).top() - 92;
    for (int i = 0; i < 40; ++i) {
        const int top = 92 + i * (h + s);
        const QRect band(60, top, textRight - 60 + 1, h);
        EXPECT_GT(Ink(image, band), 200) << "line " << i;
        EXPECT_EQ(InkBounds(image, band).top() - top, inkDepth) << "line " << i;
        // The spacing below each line (and the margins left and right) stay blank.
        EXPECT_EQ(Ink(image, QRect(60, top + h, textRight - 60 + 1, s)), 0) << "gap below line " << i;
        EXPECT_EQ(Ink(image, QRect(2, top, 57, h)), 0) << "left margin, line " << i;
    }
    // The 40th line's slot ends 92 + 5 pixels above the page's bottom edge.
    EXPECT_EQ(92 + 40 * (h + s) - s, page.Height - 92 - 5);
}

INSTANTIATE_TEST_SUITE_P(SmoothAndNot, DrawPageQualityTest,
    testing::Values(TAAFont::QualitySmooth, TAAFont::QualityNone));

TEST_F(DrawPageTest, PageNumberAndFooterSitFifteenPixelsBelowTheTextBlock)
{
    const TOnePage page = MakePage(3);
    const QImage image = Draw(page, 6);
    const int w = page.Width, y = page.Height - 77;
    const int furnitureHeight = AAFont.TextHeight(PageFurnitureFont(), PageNoSample);
    EXPECT_EQ(Ink(image, QRect(2, page.Height - 81, w - 10, 4)), 0) << "between the lower rule and the furniture";
    // The Song face's glyphs may reach one pixel below the font's height.
    const QRect below(2, y + furnitureHeight + 1, w - 10, page.Height - 6 - y - furnitureHeight - 1);
    EXPECT_EQ(Ink(image, below), 0);

    const int numberX = (w - Msg.PageNoWidth) / 2;
    const QRect number = InkBounds(image, QRect(200, y, 300, furnitureHeight));
    ASSERT_FALSE(number.isEmpty());
    EXPECT_GE(number.left(), numberX);
    EXPECT_LE(number.left(), numberX + 3);
    EXPECT_LE(number.right(), numberX + Msg.PageNoWidth); // one digit is narrower than the sample

    const int footerX = w - Msg.FooterWidth - 60 - 5;
    const QRect footer = InkBounds(image, QRect(footerX - 20, y, w - 6 - footerX + 20, furnitureHeight));
    ASSERT_FALSE(footer.isEmpty());
    EXPECT_GE(footer.left(), footerX);
    EXPECT_LE(footer.left(), footerX + 3);
    EXPECT_LE(footer.right(), w - 60 - 5);
}

TEST_F(DrawPageTest, HeaderSitsAboveTheUpperRule)
{
    const TOnePage page = MakePage(1);
    const QImage image = Draw(page);
    const int height = AAFont.TextHeight(PageFurnitureFont(), Msg.FileName);
    const QRect header = InkBounds(image, QRect(2, 2, page.Width - 10, 92 - 10 - 2));
    ASSERT_FALSE(header.isEmpty());
    EXPECT_GE(header.top(), 92 - 26);
    EXPECT_LT(header.bottom(), 92 - 26 + height);
    EXPECT_GE(header.left(), 60);
    EXPECT_LE(header.left(), 63);
}

TEST(PageNumberTextTest, HasOneBlankEachSideOfTheNumber)
{
    EXPECT_EQ(PageNumberText(6), QStringLiteral("第 7 页"));
    EXPECT_EQ(PageNumberText(122), QStringLiteral("第 123 页"));
}

TEST_F(DrawPageTest, UnsetLineKindStillDrawsTheLineInTheBodyFont)
{
    TOnePage page = MakePage(2);
    const QImage reference = Draw(page);
    page.LineKind[0] = 0; // the record's zero default, never given a kind
    page.LineKind[1] = 7;
    EXPECT_EQ(Draw(page), reference);
}

TEST_F(DrawPageTest, PlainKindAfterBoldKindIsNotBold)
{
    TOnePage page = MakePage(2);
    page.LineKind[1] = 2;
    Fonts[2].Color = ColorRefFromRgb(qRgb(0, 0, 255));
    const int h = Fonts[1].Height, s = Msg.LineSpacing;
    const QRect secondLine(60, 92 + h + s, page.Width - 125, h);
    const int plainInk = Ink(Draw(page), secondLine);

    Fonts[1].Bold = true;
    const QImage image = Draw(page);
    EXPECT_GT(Ink(image, QRect(60, 92, page.Width - 125, h)), plainInk) << "the bold line is bolder";
    EXPECT_EQ(Ink(image, secondLine), plainInk);
    EXPECT_EQ(InkBounds(image, secondLine).isEmpty(), false);
    bool blue = false;
    for (int x = secondLine.left(); x <= secondLine.right() && !blue; ++x)
        for (int y = secondLine.top(); y <= secondLine.bottom() && !blue; ++y)
            blue = qBlue(image.pixel(x, y)) > qRed(image.pixel(x, y)) + 100; // thin strokes are never fully covered
    EXPECT_TRUE(blue) << "kind 2 takes its own colour";
}

TEST_F(DrawPageTest, WithBackgroundThePaperIsThePreparedBitmapAlone)
{
    TOnePage page = MakePage(0);
    Msg.UseBg = true;
    Msg.PaperBitmap = QImage(page.Width - 5, page.Height - 5, QImage::Format_RGB32);
    Msg.PaperBitmap.fill(qRgb(10, 120, 30));
    const QImage image = Draw(page);
    EXPECT_EQ(image.pixel(0, 0), qRgb(10, 120, 30)) << "no rectangle is drawn over the bitmap";
    EXPECT_EQ(image.pixel(30, 500), qRgb(10, 120, 30));
    EXPECT_EQ(image.pixel(60, 82), 0xFF000000) << "the rules still are";
}

TEST_F(DrawPageTest, BackgroundWithoutPreparedBitmapFallsBackToPlainPaper)
{
    const TOnePage page = MakePage(0);
    Msg.UseBg = true;
    const QImage image = Draw(page);
    EXPECT_EQ(image.pixel(0, 0), 0xFF000000);
    EXPECT_EQ(image.pixel(30, 500), PaperRgb);
}

} // namespace
