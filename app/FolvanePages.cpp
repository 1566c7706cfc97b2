// The reading area's page slots, the current page, the status line and the
// page list selection.

#include "app/ControlTag.h"
#include "app/StatusPane.h"
#include "app/UnitFolvane.h"
#include "app/view/PageListModel.h"
#include "app/view/PagePublicMsg.h"
#include "app/view/PageRenderer.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLocale>
#include <QTreeView>

#include <cmath>

namespace {

// a / b rounded to the nearest integer, ties to even.
qint64 RoundDiv(qint64 a, qint64 b)
{
    return static_cast<qint64>(std::nearbyint(static_cast<long double>(a) / static_cast<long double>(b)));
}

int ClampToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

} // namespace

int TFrmFolvane::PageViewCount() const
{
    return static_cast<int>(FPages.size());
}

const TPageBox* TFrmFolvane::PageViewBox(int index) const
{
    if (index < 0 || index >= PageViewCount() || !FPages[index].PageView)
        return nullptr;
    return &*FPages[index].PageView;
}

QImage TFrmFolvane::RenderPageView(int index)
{
    const TOnePage& page = FPages[index];
    QImage image(page.Width, page.Height, QImage::Format_RGB32);
    // The shadow strip blends over the reading area's own colour.
    image.fill(ScrollBoxPages->BackgroundColor());
    DrawPage(image, page, index, FLineFonts, PagePublicMsg, true, true, FShowMarkInPage, FAAFont);
    return image;
}

void TFrmFolvane::PageViewPainted(int index, const QRect& boxInViewport)
{
    PageViewPaint(index, boxInViewport);
}

int TFrmFolvane::PageLeftEdge() const
{
    const int width = FPages.empty() ? 0 : FPages[0].Width;
    return std::max(PageGap, (ScrollBoxPages->width() - PageGap - width) / 2);
}

int TFrmFolvane::CreatePageView(int pageIndex, bool create, qint64 top)
{
    TOnePage& page = FPages[pageIndex];
    if (create && !page.PageView)
        page.PageView = TPageBox{PageLeftEdge(), top + ScrollBoxPages->VertPosition(), page.Width, page.Height};
    return ClampToInt(top + page.Height + PageGap);
}

void TFrmFolvane::EnsurePageViews(int pageIndex)
{
    if (FPages.empty() || !FPages[0].PageView)
        return;
    const TPageBox& first = *FPages[0].PageView;
    const int count = PageViewCount();
    bool created = false;
    for (int n : {pageIndex, pageIndex + 1, pageIndex - 1}) {
        if (n < 0 || n >= count || FPages[n].PageView)
            continue;
        const TOnePage& page = FPages[n];
        FPages[n].PageView = TPageBox{first.Left, first.Top + qint64(n) * (first.Height + PageGap), page.Width,
                                      page.Height};
        created = true;
    }
    if (created)
        ScrollBoxPages->viewport()->update();
}

void TFrmFolvane::ScrollBoxPagesCanResize()
{
    if (ScrollBoxPages->Tag < 0 || FPages.empty() || !FPages[0].PageView)
        return;
    const qint64 slot = FPages[0].Height + PageGap;
    const qint64 v = ScrollBoxPages->VertPosition();
    EnsurePageViews(static_cast<int>(v / slot + 1));
    // A view taller than two pages would otherwise show empty slots below them.
    const int last = static_cast<int>((v + ScrollBoxPages->ClientHeight()) / slot);
    for (int n = static_cast<int>(v / slot + 3); n <= last + 1; n += 3)
        EnsurePageViews(n);
}

void TFrmFolvane::ScrollBoxPagesResize()
{
    CenterPageViews();
}

void TFrmFolvane::ScrollBoxPagesClick()
{
    ScrollBoxPages->setFocus();
}

void TFrmFolvane::ScrollBoxPagesEnter()
{
    RzStatusPane2->SetCaption(QStringLiteral("可使用PageUp、PageDown键翻屏 "));
}

void TFrmFolvane::ScrollBoxPagesExit()
{
    RzStatusPane2->SetCaption(QString());
}

void TFrmFolvane::CenterPageViews()
{
    ScrollBoxPages->DisableAutoRange();
    if (!FPages.empty() && FPages[0].PageView) {
        const int left = PageLeftEdge();
        for (TOnePage& page : FPages)
            if (page.PageView)
                page.PageView->Left = left;
    }
    ScrollBoxPages->EnableAutoRange();
    ScrollBoxPages->viewport()->update();
}

QString TFrmFolvane::StatusText() const
{
    const int rows = FPageListModel->rowCount();
    const int percent = rows > 0 ? static_cast<int>(std::nearbyint(FCurPage * 100.0 / rows)) : 0;
    return QString::number(FCurPage) + u'/' + QString::number(rows) + QStringLiteral("页 约")
        + QLocale().toString(qlonglong(FTotalChars)) + QStringLiteral("字 已读") + QString::number(percent)
        + QStringLiteral("% ");
}

void TFrmFolvane::PageViewPaint(int pageIndex, const QRect& boxInViewport)
{
    const int middle = ScrollBoxPages->ClientHeight() / 2;
    if (!(boxInViewport.top() < middle && middle < boxInViewport.top() + boxInViewport.height()))
        return;
    FCurPage = pageIndex + 1;
    const QString status = StatusText();
    if (RzStatusPane1->Caption() == status)
        return;
    RzStatusPane1->SetCaption(status);
    if (pageIndex < FPageListModel->rowCount() && SelectedPageRow() != pageIndex) {
        SetTag(RzListViewPages, -1);
        SelectPageRow(pageIndex);
        SetTag(RzListViewPages, 0);
    }
}

int TFrmFolvane::SelectedPageRow() const
{
    const QModelIndexList rows = RzListViewPages->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TFrmFolvane::SelectPageRow(int row)
{
    const QModelIndex index = FPageListModel->index(row, 0);
    RzListViewPages->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    RzListViewPages->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void TFrmFolvane::RzListViewPagesSelectItem(int row)
{
    if (Tag(RzListViewPages) < 0)
        return;
    bool isNumber = false;
    int n = FPageListModel->Caption(row).toInt(&isNumber);
    if (!isNumber)
        n = 1;
    if (n == FCurPage)
        return;
    // The list shows its new selection before the pages move.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    GoToPage(n - 1);
}

void TFrmFolvane::GoToPage(int pageIndex)
{
    EnsurePageViews(pageIndex);
    ScrollPageIntoView(pageIndex, PageGap, PageGap);
}

void TFrmFolvane::ScrollPageIntoView(int pageIndex, int dx, int dy)
{
    const TPageBox* box = PageViewBox(pageIndex);
    if (!box)
        return;
    const qint64 hpos = ScrollBoxPages->HorzPosition();
    const qint64 vpos = ScrollBoxPages->VertPosition();
    const qint64 clientWidth = ScrollBoxPages->ClientWidth();
    const qint64 clientHeight = ScrollBoxPages->ClientHeight();
    const qint64 left = box->Left - hpos;
    const qint64 top = box->Top - vpos;
    qint64 right = left + box->Width;
    qint64 bottom = top + box->Height;

    if (left < 0) {
        ScrollBoxPages->SetHorzPosition(ClampToInt(hpos + left - dx));
    } else if (right > clientWidth) {
        if (right - left > clientWidth)
            right = left + clientWidth;
        ScrollBoxPages->SetHorzPosition(ClampToInt(hpos + right - clientWidth - dx));
    }
    if (top < 0) {
        ScrollBoxPages->SetVertPosition(ClampToInt(vpos + top - dy));
    } else if (bottom > clientHeight) {
        if (bottom - top > clientHeight)
            bottom = top + clientHeight;
        ScrollBoxPages->SetVertPosition(ClampToInt(vpos + bottom - clientHeight - dy));
    }
}

void TFrmFolvane::RelayoutPages()
{
    ++FRelayoutCount;
    PreparePaper(false);
    ScrollBoxPages->InvalidateAll();
    if (FPages.empty())
        return;

    int current = FCurPage - 1;
    const qint64 oldSlot = FPages[0].Height + PageGap;
    if (current < 0 || current >= PageViewCount() || !FPages[current].PageView) {
        // No page has been current yet: keep the page at the top of the view in place.
        current = std::clamp<int>(static_cast<int>(ScrollBoxPages->VertPosition() / oldSlot), 0, PageViewCount() - 1);
        EnsurePageViews(current);
    }
    const qint64 oldLeft = FPages[current].PageView ? FPages[current].PageView->Left - ScrollBoxPages->HorzPosition() : 0;
    const qint64 oldTop = FPages[current].PageView ? FPages[current].PageView->Top - ScrollBoxPages->VertPosition() : 0;
    const qint64 oldHeight = FPages[0].Height;
    const qint64 oldWidth = FPages[0].Width;

    ScrollBoxPages->DisableAutoRange();
    ScrollBoxPages->SetVertPosition(0);
    ScrollBoxPages->SetHorzPosition(0);

    TOnePage& first = FPages[0];
    first.Width = PageWidthFor(FLineFonts[1]);
    first.Height = PageHeightFor(FLineFonts[1], FLineFonts[2], first.SecondFontLines, PagePublicMsg.LineSpacing);
    const int left = PageLeftEdge();
    if (first.PageView)
        *first.PageView = TPageBox{left, PageGap, first.Width, first.Height};
    qint64 top = first.Height + 2 * PageGap;
    for (size_t i = 1; i < FPages.size(); ++i) {
        TOnePage& page = FPages[i];
        page.Width = first.Width;
        page.Height = first.Height;
        if (page.PageView)
            *page.PageView = TPageBox{left, top, page.Width, page.Height};
        top += page.Height + PageGap;
    }
    ScrollBoxPages->EnableAutoRange();

    const qint64 dx = RoundDiv(oldLeft * first.Width, oldWidth);
    const qint64 dy = RoundDiv(oldTop * first.Height, oldHeight);
    ScrollPageIntoView(current, ClampToInt(dx), ClampToInt(dy));
    ScrollBoxPages->viewport()->update();
}
