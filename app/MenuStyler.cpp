#include "app/MenuStyler.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {

constexpr int IconBarWidth = 24;
const QColor IconBarEnd(141, 210, 243);
const QColor SelectedTop(141, 210, 243);
const QColor SelectedBottom(57, 171, 225);
const QColor SelectedBorder(48, 129, 208);

} // namespace

void TMenuStyler::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    if (element == PE_PanelMenu) {
        painter->fillRect(option->rect, Qt::white);
        painter->setPen(QColor(160, 160, 160));
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void TMenuStyler::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QRect bar(item->rect.left(), item->rect.top(), IconBarWidth, item->rect.height());
    QLinearGradient barFill(bar.topLeft(), bar.topRight());
    barFill.setColorAt(0, Qt::white);
    barFill.setColorAt(1, IconBarEnd);
    painter->fillRect(bar, barFill);

    QStyleOptionMenuItem copy(*item);
    const bool selected = (item->state & State_Selected) && (item->state & State_Enabled)
        && item->menuItemType != QStyleOptionMenuItem::Separator;
    if (selected) {
        const QRect r = item->rect.adjusted(1, 0, -2, -1);
        QLinearGradient fill(r.topLeft(), r.bottomLeft());
        fill.setColorAt(0, SelectedTop);
        fill.setColorAt(1, SelectedBottom);
        painter->fillRect(r, fill);
        painter->setPen(SelectedBorder);
        painter->drawRect(r);
        copy.state &= ~State_Selected;
        copy.palette.setColor(QPalette::ButtonText, Qt::white);
        copy.palette.setColor(QPalette::WindowText, Qt::white);
        copy.palette.setColor(QPalette::Text, Qt::white);
    }
    QProxyStyle::drawControl(element, &copy, painter, widget);
}
