#include "app/view/PageView.h"

#include "app/view/AniCursor.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

// A screen of pages and its neighbours; more buys nothing but memory.
constexpr int CacheCapacity = 12;

} // namespace

TPageView::TPageView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    SetBackgroundColor(FBackground);
}

void TPageView::SetBackgroundColor(const QColor& color)
{
    FBackground = color;
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, color);
    viewport()->setPalette(pal);
    InvalidateAll();
}

void TPageView::ShowPageCursor(bool overPage)
{
    if (!FPageCursor || overPage == FPageCursorShown)
        return;
    FPageCursorShown = overPage;
    if (overPage) {
        FPageCursor->Attach(viewport());
    } else {
        FPageCursor->Detach(viewport());
        viewport()->unsetCursor();
    }
}

int TPageView::HorzPosition() const { return horizontalScrollBar()->value(); }
int TPageView::VertPosition() const { return verticalScrollBar()->value(); }
void TPageView::SetHorzPosition(int value) { horizontalScrollBar()->setValue(value); }
void TPageView::SetVertPosition(int value) { verticalScrollBar()->setValue(value); }
int TPageView::ClientWidth() const { return viewport()->width(); }
int TPageView::ClientHeight() const { return viewport()->height(); }

void TPageView::DisableAutoRange()
{
    ++FAutoRangeSuspended;
}

void TPageView::EnableAutoRange()
{
    if (FAutoRangeSuspended > 0 && --FAutoRangeSuspended == 0)
        UpdateRange();
}

void TPageView::UpdateRange()
{
    if (FAutoRangeSuspended > 0)
        return;
    qint64 right = 0;
    qint64 bottom = 0;
    const int count = FClient ? FClient->PageViewCount() : 0;
    // Slots only grow downwards, so the lowest existing box is found from the end.
    for (int i = count - 1; i >= 0; --i) {
        if (const TPageBox* box = FClient->PageViewBox(i)) {
            bottom = box->Top + box->Height;
            break;
        }
    }
    if (const TPageBox* first = count > 0 ? FClient->PageViewBox(0) : nullptr)
        right = first->Left + first->Width;
    const auto clampInt = [](qint64 v) { return static_cast<int>(std::clamp<qint64>(v, 0, INT_MAX)); };
    horizontalScrollBar()->setRange(0, clampInt(right - ClientWidth()));
    horizontalScrollBar()->setPageStep(ClientWidth());
    verticalScrollBar()->setRange(0, clampInt(bottom - ClientHeight()));
    verticalScrollBar()->setPageStep(ClientHeight());
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
}

void TPageView::InvalidatePage(int index)
{
    FCache.remove(index);
    viewport()->update();
}

void TPageView::InvalidateAll()
{
    FCache.clear();
    viewport()->update();
}

QRect TPageView::BoxRectInViewport(const TPageBox& box) const
{
    const qint64 top = box.Top - VertPosition();
    return QRect(box.Left - HorzPosition(), static_cast<int>(std::clamp<qint64>(top, INT_MIN / 2, INT_MAX / 2)),
                 box.Width, box.Height);
}

std::pair<int, int> TPageView::CandidatePages(int viewportTop, int viewportBottom) const
{
    const int count = FClient ? FClient->PageViewCount() : 0;
    const TPageBox* first = count > 0 ? FClient->PageViewBox(0) : nullptr;
    if (!first)
        return {0, -1};
    const qint64 slot = first->Height + PageGap;
    const qint64 firstTop = first->Top;
    const qint64 top = qint64(viewportTop) + VertPosition() - firstTop;
    const qint64 bottom = qint64(viewportBottom) + VertPosition() - firstTop;
    const qint64 from = std::max<qint64>(0, top / slot - 1);
    const qint64 to = std::min<qint64>(count - 1, bottom / slot + 1);
    return {static_cast<int>(from), static_cast<int>(to)};
}

int TPageView::PageAt(const QPoint& viewportPoint) const
{
    const auto [from, to] = CandidatePages(viewportPoint.y(), viewportPoint.y());
    for (int i = from; i <= to; ++i) {
        const TPageBox* box = FClient->PageViewBox(i);
        if (box && BoxRectInViewport(*box).contains(viewportPoint))
            return i;
    }
    return -1;
}

const QImage& TPageView::PageImage(int index)
{
    auto it = FCache.find(index);
    if (it != FCache.end())
        return *it;
    EvictFarFrom(index);
    ++FRenderCount;
    return *FCache.insert(index, FClient->RenderPageView(index));
}

void TPageView::EvictFarFrom(int index)
{
    while (FCache.size() >= CacheCapacity) {
        auto farthest = FCache.begin();
        for (auto it = FCache.begin(); it != FCache.end(); ++it)
            if (std::abs(it.key() - index) > std::abs(farthest.key() - index))
                farthest = it;
        FCache.erase(farthest);
    }
}

void TPageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    painter.fillRect(dirty, FBackground);
    if (!FClient)
        return;
    const auto [from, to] = CandidatePages(dirty.top(), dirty.bottom());
    for (int i = from; i <= to; ++i) {
        const TPageBox* box = FClient->PageViewBox(i);
        if (!box)
            continue;
        const QRect rect = BoxRectInViewport(*box);
        // A box outside the uncovered strip is not painted, as with a real window.
        if (!rect.intersects(dirty))
            continue;
        const QImage& image = PageImage(i);
        painter.drawImage(rect.topLeft(), image);
        FClient->PageViewPainted(i, rect);
    }
}

void TPageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    emit Resized();
    UpdateRange();
    emit CanResize();
}

void TPageView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
    emit CanResize();
}

void TPageView::mousePressEvent(QMouseEvent* event)
{
    const int page = PageAt(event->position().toPoint());
    FPressedOnBackground = page < 0;
    // The pressed page keeps the mouse until release, as a window with capture would.
    FPressedPage = page;
    if (page >= 0)
        emit PageMousePressed(page, event);
}

void TPageView::mouseMoveEvent(QMouseEvent* event)
{
    const int page = PageAt(event->position().toPoint());
    ShowPageCursor(page >= 0 || FPressedPage >= 0);
    const int target = FPressedPage >= 0 ? FPressedPage : page;
    if (target >= 0)
        emit PageMouseMoved(target, event);
}

void TPageView::mouseReleaseEvent(QMouseEvent* event)
{
    const int page = PageAt(event->position().toPoint());
    const int target = FPressedPage >= 0 ? FPressedPage : page;
    if (target >= 0) {
        emit PageMouseReleased(target, event);
    } else if (FPressedOnBackground) {
        emit BackgroundClicked();
    }
    FPressedOnBackground = false;
    FPressedPage = -1;
}

void TPageView::wheelEvent(QWheelEvent* event)
{
    emit WheelTurned(event);
    event->accept();
}

void TPageView::keyPressEvent(QKeyEvent* event)
{
    // PageUp and PageDown belong to the window, which sees them first.
    event->ignore();
}

void TPageView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    emit FocusEntered();
}

void TPageView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    emit FocusLeft();
}

void TPageView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TPageView::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TPageView::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    emit FilesDropped(paths);
}
