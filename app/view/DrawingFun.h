#pragma once
// Pixel routines behind the page's drop shadow. Colours are QRgb (0xAARRGGBB);
// the alpha byte of a result is always 0xFF.

#include <QImage>
#include <QRect>
#include <QRgb>

#include <cstdint>

// Mixes color1 with weight alpha/255 and color2 with the rest, per channel,
// rounding ties to even.
QRgb BlendColor(QRgb color1, QRgb color2, uint8_t alpha);

// Blends count rings of color onto the pixels just right of and below rect
// (right and bottom edges exclusive: rect.left() + rect.width() is the first
// column outside). Ring n (1-based) has alpha 128 - (n - 1) * (128 / count),
// the ring nearest the paper darkest. Pixels outside the image are skipped.
void DrawShadowFrame(QImage& image, const QRect& rect, int count, QRgb color);
