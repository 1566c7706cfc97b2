#pragma once
// The reading area: one scroll area that paints the page slots itself, so a
// book of 100,000 pages costs no more widgets than a book of ten. Rendered
// pages are kept in a small cache; scrolling blits and paints only the strip
// it uncovers.

#include "app/model/PageModel.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QCursor>
#include <QHash>
#include <QImage>

class TAnimatedCursor;

// What the reading area asks of the window that owns the pages.
class TPageViewClient {
public:
    virtual ~TPageViewClient() = default;
    virtual int PageViewCount() const = 0;
    // Null while the page has no slot yet.
    virtual const TPageBox* PageViewBox(int index) const = 0;
    virtual QImage RenderPageView(int index) = 0;
    // Called for every box painted, with its rectangle in viewport coordinates.
    virtual void PageViewPainted(int index, const QRect& boxInViewport) = 0;
};

class TPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TPageView(QWidget* parent = nullptr);

    void SetClient(TPageViewClient* client) { FClient = client; }
    void SetBackgroundColor(const QColor& color);
    QColor BackgroundColor() const { return FBackground; }
    // The animated hand shown over the pages; the default cursor elsewhere.
    void SetPageCursor(TAnimatedCursor* cursor) { FPageCursor = cursor; }

    int HorzPosition() const;
    int VertPosition() const;
    void SetHorzPosition(int value);
    void SetVertPosition(int value);
    int ClientWidth() const;
    int ClientHeight() const;

    // Range updates are suspended while many slots move at once.
    void DisableAutoRange();
    void EnableAutoRange();
    void UpdateRange();

    void InvalidatePage(int index);
    void InvalidateAll();
    int CachedPageCount() const { return static_cast<int>(FCache.size()); }
    int RenderCount() const { return FRenderCount; }

    // Page index under a viewport point, or -1 over the background.
    int PageAt(const QPoint& viewportPoint) const;

    int Tag = 0;

signals:
    void CanResize();
    void Resized();
    void BackgroundClicked();
    void FocusEntered();
    void FocusLeft();
    void PageMousePressed(int page, QMouseEvent* event);
    void PageMouseMoved(int page, QMouseEvent* event);
    void PageMouseReleased(int page, QMouseEvent* event);
    void WheelTurned(QWheelEvent* event);
    void FilesDropped(const QStringList& paths);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QRect BoxRectInViewport(const TPageBox& box) const;
    std::pair<int, int> CandidatePages(int viewportTop, int viewportBottom) const;
    const QImage& PageImage(int index);
    void EvictFarFrom(int index);
    void ShowPageCursor(bool overPage);

    TPageViewClient* FClient = nullptr;
    QColor FBackground{157, 157, 157};
    TAnimatedCursor* FPageCursor = nullptr;
    bool FPageCursorShown = false;
    QHash<int, QImage> FCache;
    int FAutoRangeSuspended = 0;
    int FRenderCount = 0;
    bool FPressedOnBackground = false;
    int FPressedPage = -1;
};
