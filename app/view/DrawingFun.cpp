#include "app/view/DrawingFun.h"

#include <cmath>

QRgb BlendColor(QRgb color1, QRgb color2, uint8_t alpha)
{
    // Single precision and the default rounding mode (ties to even) keep the
    // shadow's values what they always were, e.g. black over white at 128 -> 127.
    const float x = alpha / 255.0f;
    const float y = 1.0f - x;
    auto mix = [&](int c1, int c2) { return static_cast<int>(std::nearbyint(c1 * x + c2 * y)); };
    return qRgb(mix(qRed(color1), qRed(color2)), mix(qGreen(color1), qGreen(color2)),
        mix(qBlue(color1), qBlue(color2)));
}

namespace {

class TPixelBlender {
public:
    TPixelBlender(QImage& image, QRgb color) : FImage(image), FColor(color)
    {
        FDirect = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    }

    // One ring blends one colour at one alpha: 3 x 256 results cover every pixel.
    void setAlpha(uint8_t alpha)
    {
        for (int v = 0; v < 256; ++v) {
            const QRgb mixed = BlendColor(FColor, qRgb(v, v, v), alpha);
            FRed[v] = qRed(mixed);
            FGreen[v] = qGreen(mixed);
            FBlue[v] = qBlue(mixed);
        }
    }

    void blend(int x, int y)
    {
        if (x < 0 || y < 0 || x >= FImage.width() || y >= FImage.height())
            return;
        if (FDirect) {
            auto* line = reinterpret_cast<QRgb*>(FImage.scanLine(y));
            line[x] = mixed(line[x]);
            return;
        }
        FImage.setPixel(x, y, mixed(FImage.pixel(x, y)));
    }

    void column(int x, int fromY, int toY)
    {
        for (int y = fromY; y <= toY; ++y)
            blend(x, y);
    }

    void row(int y, int fromX, int toX)
    {
        for (int x = fromX; x <= toX; ++x)
            blend(x, y);
    }

private:
    QRgb mixed(QRgb old) const
    {
        return (old & 0xFF000000u) | uint32_t(FRed[qRed(old)]) << 16 | uint32_t(FGreen[qGreen(old)]) << 8
            | FBlue[qBlue(old)];
    }

    QImage& FImage;
    QRgb FColor;
    bool FDirect = false;
    uint8_t FRed[256] = {};
    uint8_t FGreen[256] = {};
    uint8_t FBlue[256] = {};
};

} // namespace

void DrawShadowFrame(QImage& image, const QRect& rect, int count, QRgb color)
{
    if (count <= 0 || image.isNull())
        return;
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.left() + rect.width();
    const int b = rect.top() + rect.height();
    const int n2 = 2 * count;
    const int step = 128 / count;
    TPixelBlender px(image, color);
    for (int n = 1; n <= count; ++n) {
        px.setAlpha(static_cast<uint8_t>(128 - (n - 1) * step));
        px.column(l + n2 - n, b - 1, b + n - 2);
        px.blend(l + n2 - n + 1, b + n - 2);
        px.row(b + n - 1, l + n2 - n + 1, r + n - 2);
        px.blend(r + n - 2, b + n - 2);
        px.row(t + n2 - n, r - 1, r + n - 2);
        px.blend(r + n - 2, t + n2 - n + 1);
        px.column(r + n - 1, t + n2 - n + 1, b + n - 2);
    }
}
