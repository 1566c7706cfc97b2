#pragma once
// The menus' look: white, an icon bar fading to light blue, and a blue
// gradient with white text and a darker border on the selected item.

#include <QProxyStyle>

class TMenuStyler : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
};
