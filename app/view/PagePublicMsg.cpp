#include "app/view/PagePublicMsg.h"

TPagePublicMsg PagePublicMsg;

QRgb RgbFromColorRef(int32_t colorRef)
{
    return qRgb(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

int32_t ColorRefFromRgb(QRgb rgb)
{
    return qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16);
}
