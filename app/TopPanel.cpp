#include "app/TopPanel.h"

#include <QPainter>

namespace {

constexpr int ImageTop2Width = 229;

} // namespace

TTopPanel::TTopPanel(QWidget* parent)
    : QWidget(parent)
    , FImageTop1(QStringLiteral(":/icons/top1.svg"))
    , FImageTop2(QStringLiteral(":/icons/top2.svg"))
{
    setObjectName(QStringLiteral("RzPanelTop"));
    setFixedHeight(68);
}

void TTopPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect right(width() - ImageTop2Width, 0, ImageTop2Width, height());
    painter.drawPixmap(QRect(0, 0, right.left(), height()), FImageTop1.pixmap(QSize(64, height())));
    painter.drawPixmap(right, FImageTop2.pixmap(right.size()));
}
