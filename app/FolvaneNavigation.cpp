// Moving through the book: page buttons, keys, wheel, dragging the pages and
// auto-scroll, which goes on into the next file of the file list.

#include "app/StatusPane.h"
#include "app/UnitFolvane.h"
#include "app/view/PageListModel.h"
#include "app/view/PagePublicMsg.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

namespace {

constexpr int WheelNotch = 120;
constexpr int WheelStepPixels = 20;

} // namespace

int TFrmFolvane::LineStep() const
{
    return FLineFonts[1].Height + PagePublicMsg.LineSpacing;
}

bool TFrmFolvane::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        // The window previews keys before the widget they go to, once per key:
        // a key passed on to the parents comes by again as the same event.
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        const bool passedOn = key == FPreviewedKey && key->timestamp() == FPreviewedTime && FPreviewedWidget
            && widget && widget != FPreviewedWidget && widget->isAncestorOf(FPreviewedWidget);
        if (widget && widget->window() == this && !passedOn) {
            FPreviewedKey = key;
            FPreviewedTime = key->timestamp();
            FPreviewedWidget = widget;
            FormKeyDown(key);
        }
    } else if (watched == RzListViewPages->viewport() && event->type() == QEvent::MouseButtonPress) {
        RzListViewPagesMouseDown(static_cast<QMouseEvent*>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmFolvane::FormKeyDown(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (TimerScroll->isActive())
            BtnAutoScrollClick();
        break;
    case Qt::Key_PageDown:
        ScrollBoxPages->SetVertPosition(ScrollBoxPages->VertPosition() + ScrollBoxPages->ClientHeight() - LineStep());
        break;
    case Qt::Key_PageUp:
        ScrollBoxPages->SetVertPosition(ScrollBoxPages->VertPosition() - ScrollBoxPages->ClientHeight() + LineStep());
        break;
    default:
        break;
    }
}

void TFrmFolvane::FormMouseWheel(QWheelEvent* event)
{
    // 20 pixels a notch, whatever the platform's setting; fine-grained wheels add up to notches.
    FWheelDelta += event->angleDelta().y();
    while (FWheelDelta >= WheelNotch || FWheelDelta <= -WheelNotch) {
        const bool towardsUser = FWheelDelta < 0;
        ScrollBoxPages->SetVertPosition(ScrollBoxPages->VertPosition()
                                        + (towardsUser ? WheelStepPixels : -WheelStepPixels));
        FWheelDelta += towardsUser ? WheelNotch : -WheelNotch;
    }
}

void TFrmFolvane::PageViewMouseDown(int, QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        FDragX = pos.x();
        FDragY = pos.y();
        FDragging = true;
    }
    ScrollBoxPages->setFocus();
}

void TFrmFolvane::PageViewMouseMove(int, QMouseEvent* event)
{
    if (!FDragging)
        return;
    // Viewport coordinates do not move while scrolling, so the text follows the mouse exactly.
    const QPoint pos = event->position().toPoint();
    ScrollBoxPages->SetHorzPosition(ScrollBoxPages->HorzPosition() + FDragX - pos.x());
    ScrollBoxPages->SetVertPosition(ScrollBoxPages->VertPosition() + FDragY - pos.y());
    FDragX = pos.x();
    FDragY = pos.y();
}

void TFrmFolvane::PageViewMouseUp(int, QMouseEvent*)
{
    FDragging = false;
}

void TFrmFolvane::BtnFirstClick()
{
    if (FPageListModel->rowCount() > 0)
        SelectPageRow(0);
}

void TFrmFolvane::BtnUpClick()
{
    if (FCurPage >= 2 && FCurPage - 2 < FPageListModel->rowCount())
        SelectPageRow(FCurPage - 2);
}

void TFrmFolvane::BtnDownClick()
{
    if (FCurPage >= 0 && FCurPage < FPageListModel->rowCount())
        SelectPageRow(FCurPage);
}

void TFrmFolvane::RzToolButton3Click()
{
    if (FPageListModel->rowCount() > 0)
        SelectPageRow(FPageListModel->rowCount() - 1);
}

void TFrmFolvane::RzListViewPagesMouseDown(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        return;
    if (!RzListViewPages->indexAt(event->position().toPoint()).isValid())
        return;
    PopupMenuPages->popup(event->globalPosition().toPoint());
}

void TFrmFolvane::BtnAutoScrollClick()
{
    if (FPages.empty()) {
        BtnAutoScroll->setChecked(false);
    } else {
        if (TimerScroll->isActive())
            TimerScroll->stop();
        else
            TimerScroll->start();
        BtnAutoScroll->setChecked(TimerScroll->isActive());
    }
    const bool down = BtnAutoScroll->isChecked();
    BtnAutoScroll->setToolTip(down ? QStringLiteral("取消自动滚屏") : QStringLiteral("自动滚屏"));
    M_AutoScroll->setText(down ? QStringLiteral("取消自动滚屏(&S)") : QStringLiteral("自动滚屏(&S)"));
}

void TFrmFolvane::TimerScrollTimer()
{
    const int old = ScrollBoxPages->VertPosition();
    ScrollBoxPages->SetVertPosition(old + LineStep());
    if (ScrollBoxPages->VertPosition() != old)
        return;
    if (!FAutoOpenNext) {
        BtnAutoScrollClick();
        return;
    }
    const QString open = RzStatusPane4->Caption();
    int next = -1;
    for (int row = 0; row < RzListViewFiles->topLevelItemCount(); ++row)
        if (RzListViewFiles->topLevelItem(row)->data(0, FullPathRole).toString() == open) {
            next = row + 1;
            break;
        }
    if (next < 0 || next >= RzListViewFiles->topLevelItemCount()) {
        BtnAutoScrollClick();
        return;
    }
    QTreeWidgetItem* item = RzListViewFiles->topLevelItem(next);
    RzListViewFiles->setCurrentItem(item);
    RzListViewFiles->scrollToItem(item);
    // No step may run against the half-built view of the next book.
    TimerScroll->stop();
    const bool opened = OpenTextFile(item->data(0, FullPathRole).toString(), true);
    TimerScroll->start();
    if (!opened)
        BtnAutoScrollClick();
}
