#include "app/view/DrawingFun.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Grey157 = 0xFF9D9D9D; // the reading area's default colour

struct TBlendCase {
    QRgb Color1;
    QRgb Color2;
    int Alpha;
    QRgb Expected;
};

class BlendColorTest : public testing::TestWithParam<TBlendCase> {};

TEST_P(BlendColorTest, MixesChannelsWithTiesToEven)
{
    const TBlendCase& c = GetParam();
    EXPECT_EQ(BlendColor(c.Color1, c.Color2, static_cast<uint8_t>(c.Alpha)), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, BlendColorTest,
    testing::Values(
        // alpha 255 is color1, 0 is color2
        TBlendCase{qRgb(12, 200, 99), qRgb(250, 3, 40), 255, qRgb(12, 200, 99)},
        TBlendCase{qRgb(12, 200, 99), qRgb(250, 3, 40), 0, qRgb(250, 3, 40)},
        // 255 * (1 - 128/255) = 127.0
        TBlendCase{Black, White, 128, qRgb(127, 127, 127)},
        // 255 * 128/255 = 128.0 and 255 * 127/255 = 127.0, channel by channel
        TBlendCase{qRgb(255, 0, 0), qRgb(0, 0, 255), 128, qRgb(128, 0, 127)},
        // the five shadow rings over grey 157: 78.19, 93.58, 108.98, 124.37, 139.76
        TBlendCase{Black, Grey157, 128, qRgb(78, 78, 78)},
        TBlendCase{Black, Grey157, 103, qRgb(94, 94, 94)},
        TBlendCase{Black, Grey157, 78, qRgb(109, 109, 109)},
        TBlendCase{Black, Grey157, 53, qRgb(124, 124, 124)},
        TBlendCase{Black, Grey157, 28, qRgb(140, 140, 140)}));

QImage Filled(int w, int h, QRgb color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

int Grey(const QImage& image, int x, int y)
{
    return qRed(image.pixel(x, y));
}

TEST(DrawShadowFrameTest, CountZeroDrawsNothing)
{
    QImage image = Filled(40, 40, Grey157);
    const QImage before = image;
    DrawShadowFrame(image, QRect(0, 0, 30, 30), 0, Black);
    DrawShadowFrame(image, QRect(0, 0, 30, 30), -3, Black);
    EXPECT_EQ(image, before);
}

struct TShadowPixel {
    int X;
    int Y;
    int Expected; // grey level
    const char* Why;
};

TEST(DrawShadowFrameTest, FiveRingsOverGreyAtChosenPixels)
{
    // Paper 95 x 75 in a 100 x 80 page: the strip is columns 95..99 and rows 75..79.
    QImage image = Filled(100, 80, Grey157);
    DrawShadowFrame(image, QRect(0, 0, 95, 75), 5, Black);
    const int r = 95, b = 75;
    const TShadowPixel cases[] = {
        {r, 20, 78, "ring 1 right edge, alpha 128"},
        {r + 1, 20, 94, "ring 2 right edge, alpha 103"},
        {r + 2, 20, 109, "ring 3 right edge, alpha 78"},
        {r + 3, 20, 124, "ring 4 right edge, alpha 53"},
        {r + 4, 20, 140, "ring 5 right edge, alpha 28"},
        {40, b, 78, "ring 1 bottom edge"},
        {40, b + 4, 140, "ring 5 bottom edge"},
        {10, b, 78, "ring 1 bottom edge starts at L + 2N - 1 + 1 = 10"},
        {9, b, 94, "piece 2 of ring 2 softens the start"},
        {5, b + 3, 140, "piece 1 of ring 5"},
        {5, b + 4, 157, "left of ring 5's bottom edge"},
        {4, b + 2, 157, "beyond every ring's start"},
        {r, 10, 78, "ring 1 right edge starts at T + 2N - 1 + 1 = 10"},
        {r, 9, 94, "piece 6 of ring 2"},
        {r, 5, 140, "piece 5 of ring 5"},
        {r, 4, 157, "above every ring"},
        {r - 1, 9, 78, "piece 5 of ring 1 reaches into the paper's last column"},
        {r - 1, 20, 157, "the paper itself is not shaded"},
        {r, b, 94, "piece 4 of ring 2 in the corner"},
        {r + 1, b + 1, 109, "piece 4 of ring 3"},
        {r + 3, b + 3, 140, "piece 4 of ring 5"},
        {r + 4, b + 4, 157, "the outermost corner stays clear"},
    };
    for (const TShadowPixel& c : cases)
        EXPECT_EQ(Grey(image, c.X, c.Y), c.Expected) << c.Why << " at (" << c.X << ", " << c.Y << ")";
}

TEST(DrawShadowFrameTest, CountAbove128GivesEveryRingAlpha128)
{
    QImage image = Filled(600, 600, Grey157);
    const int count = 130; // 128 div 130 = 0: no ring is lighter than the first
    DrawShadowFrame(image, QRect(0, 0, 300, 300), count, Black);
    // Row 299 crosses every ring's right edge exactly once.
    for (int n = 1; n <= count; ++n)
        ASSERT_EQ(Grey(image, 300 + n - 1, 299), 78) << "ring " << n;
}

TEST(DrawShadowFrameTest, PixelsOutsideTheImageAreSkipped)
{
    QImage image = Filled(97, 77, Grey157);
    DrawShadowFrame(image, QRect(0, 0, 95, 75), 5, Black);
    EXPECT_EQ(Grey(image, 96, 20), 94);
    EXPECT_EQ(Grey(image, 40, 76), 94);
}

TEST(DrawShadowFrameTest, KeepsOtherImageFormatsExact)
{
    QImage image(100, 80, QImage::Format_RGB888);
    image.fill(QColor(Grey157));
    DrawShadowFrame(image, QRect(0, 0, 95, 75), 5, Black);
    EXPECT_EQ(Grey(image, 95, 20), 78);
    EXPECT_EQ(Grey(image, 99, 20), 140);
}

} // namespace
