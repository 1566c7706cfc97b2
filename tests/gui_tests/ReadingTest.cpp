// Opening books in the real window: the page list, the status panes, the
// current page and the page list selection following each other.

#include "ReaderFixture.h"

#include "app/StatusPane.h"
#include "app/view/PageView.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QScrollBar>
#include <QTreeView>
#include <QTreeWidget>

class Reading : public ReaderFixture {
protected:
    TStatusPane* Pane(const char* name) { return Find<TStatusPane>(name); }
    QTreeView* PageList() { return Find<QTreeView>("RzListViewPages"); }
    TPageView* PageArea() { return Find<TPageView>("ScrollBoxPages"); }
    int SelectedRow()
    {
        const QModelIndexList rows = PageList()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
};

TEST_F(Reading, ThreePageBookShowsRowsPanesAndStatus)
{
    const QString path = WriteBook(QStringLiteral("三页.txt"), RepeatedLines(120));
    TFrmFolvane& window = Start();
    ASSERT_TRUE(window.OpenTextFile(path, false));
    Settle();

    ASSERT_EQ(window.Pages().size(), 3u);
    QAbstractItemModel* rows = PageList()->model();
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->index(1, 0).data().toString(), QStringLiteral("2"));
    EXPECT_EQ(rows->index(1, 1).data().toString(), FullLine());
    EXPECT_EQ(Pane("RzStatusPane3")->Caption(), QStringLiteral(" ANSI编码 "));
    EXPECT_EQ(Pane("RzStatusPane4")->Caption(), path);
    EXPECT_EQ(window.CurPage(), 1);
    EXPECT_EQ(Pane("RzStatusPane1")->Caption(), QStringLiteral("1/3页 约4,800字 已读33% "));
    EXPECT_EQ(SelectedRow(), 0);

    // Selecting a row brings its page into view and makes it current.
    PageList()->selectionModel()->setCurrentIndex(rows->index(1, 0),
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Settle();
    const TPageBox& box = *window.Pages()[1].PageView;
    EXPECT_EQ(box.Top - PageArea()->VertPosition(), 20);
    EXPECT_EQ(window.CurPage(), 2);
    EXPECT_EQ(Pane("RzStatusPane1")->Caption(), QStringLiteral("2/3页 约4,800字 已读67% "));

    // Scrolling to the end moves the selection to the last page.
    PageArea()->SetVertPosition(PageArea()->verticalScrollBar()->maximum());
    Settle();
    EXPECT_EQ(window.CurPage(), 3);
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(Pane("RzStatusPane1")->Caption(), QStringLiteral("3/3页 约4,800字 已读100% "));
}

TEST_F(Reading, PageSlotsFollowTheStackingRule)
{
    const QString path = WriteBook(QStringLiteral("thirty.txt"), RepeatedLines(30 * 40));
    TFrmFolvane& window = Start();
    ASSERT_TRUE(window.OpenTextFile(path, false));
    const TPages& pages = window.Pages();
    ASSERT_EQ(pages.size(), 30u);
    const qint64 slot = pages[0].Height + 20;
    for (int i = 0; i < 30; ++i) {
        const bool expected = i < 10 || i == 29 || pages[i].PageView.has_value();
        EXPECT_EQ(pages[i].PageView.has_value(), expected) << i;
        if (pages[i].PageView)
            EXPECT_EQ(pages[i].PageView->Top, 20 + i * slot) << i;
    }
    EXPECT_FALSE(pages[15].PageView.has_value());

    // A jump far down creates that page's slot, at its place in the column.
    window.GoToPage(16);
    ASSERT_TRUE(pages[16].PageView.has_value());
    EXPECT_EQ(pages[16].PageView->Top, 20 + 16 * slot);
    const int width = PageArea()->width();
    EXPECT_EQ(pages[16].PageView->Left, std::max(20, (width - 20 - pages[0].Width) / 2));
}

TEST_F(Reading, OpeningOutcomes)
{
    TFrmFolvane& window = Start();
    const QString first = WriteBook(QStringLiteral("a.txt"), RepeatedLines(50));
    const QString copy = WriteBook(QStringLiteral("copy of a.txt"), RepeatedLines(50));
    const QString empty = WriteFile(QStringLiteral("empty.txt"), QByteArray());
    const QString utf8 = WriteFile(QStringLiteral("utf8.txt"), "\xEF\xBB\xBF" + QStringLiteral("你好\r\n").toUtf8());

    EXPECT_FALSE(window.OpenTextFile(StatePath(QStringLiteral("missing.txt")), false));
    ASSERT_EQ(FLog.Errors.size(), 1);
    EXPECT_EQ(FLog.Errors[0], QStringLiteral("无法打开文件\r\n") + StatePath(QStringLiteral("missing.txt")));

    ASSERT_TRUE(window.OpenTextFile(first, false));
    Settle();
    // The same bytes under another name are the book already open.
    EXPECT_TRUE(window.OpenTextFile(copy, false));
    EXPECT_EQ(Pane("RzStatusPane4")->Caption(), first);
    EXPECT_EQ(window.FileHistory(), QStringList{first});

    // A missing file leaves the open book as it was.
    EXPECT_FALSE(window.OpenTextFile(StatePath(QStringLiteral("gone.txt")), false));
    EXPECT_EQ(window.Pages().size(), 2u);
    EXPECT_EQ(Pane("RzStatusPane4")->Caption(), first);

    ASSERT_TRUE(window.OpenTextFile(utf8, false));
    EXPECT_EQ(Pane("RzStatusPane3")->Caption(), QStringLiteral(" UTF8编码 "));
    EXPECT_EQ(PageList()->model()->index(0, 1).data().toString(), QStringLiteral("你好"));

    ASSERT_TRUE(window.OpenTextFile(empty, false));
    EXPECT_TRUE(window.Pages().empty());
    EXPECT_EQ(window.CurPage(), 0);
    EXPECT_EQ(PageList()->model()->rowCount(), 0);
    EXPECT_EQ(Pane("RzStatusPane3")->Caption(), QStringLiteral(" ANSI编码 "));
    const QList<QAction*> marks = Find<QMenu>("PopupMenuMark")->actions();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0]->text(), QStringLiteral("无"));
    EXPECT_EQ(window.FileHistory().first(), empty);
}

TEST_F(Reading, CommandLineListsTheTextFilesAndOpensTheFirst)
{
    const QString book = WriteBook(QStringLiteral("one.txt"), RepeatedLines(10));
    const QString other = WriteBook(QStringLiteral("shelf/Two.TXT"), RepeatedLines(20));
    WriteFile(QStringLiteral("notes.doc"), "x");
    TFrmFolvane& window = Start();
    window.OpenCommandLine({StatePath(QStringLiteral("notes.doc")), book, StatePath(QStringLiteral("shelf"))});

    auto* files = Find<QTreeWidget>("RzListViewFiles");
    ASSERT_EQ(files->topLevelItemCount(), 2);
    EXPECT_EQ(files->topLevelItem(0)->text(0), QStringLiteral("one.txt"));
    EXPECT_EQ(files->topLevelItem(1)->text(0), QStringLiteral("Two.TXT"));
    EXPECT_EQ(files->topLevelItem(0)->text(1), QStringLiteral("1KB"));
    EXPECT_EQ(Pane("RzStatusPane4")->Caption(), book);
    EXPECT_EQ(window.FolderHistory().size(), 1);
    Q_UNUSED(other);
}

// Half-tones inside the text block of the first page as the reading area shows it.
class Smoothing : public Reading, public testing::WithParamInterface<bool> {};

TEST_P(Smoothing, SmoothFontSettingDecidesWhetherTextHasHalfTones)
{
    const bool smooth = GetParam();
    WriteFile(QStringLiteral("Options.ini"), smooth ? "[VIEWER]\r\nSmoothFont=1\r\n" : "[VIEWER]\r\nSmoothFont=0\r\n");
    const QString path = WriteBook(QStringLiteral("book.txt"), RepeatedLines(40));
    TFrmFolvane& window = Start();
    ASSERT_TRUE(window.OpenTextFile(path, false));
    Settle();
    const QImage shown = PageArea()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const TPageBox& box = *window.Pages()[0].PageView;
    const QRect text(box.Left - PageArea()->HorzPosition() + 60, int(box.Top) - PageArea()->VertPosition() + 92,
                     window.LineFont(1).Width, 10 * window.LineFont(1).Height);
    int halfTones = 0;
    for (int y = text.top(); y <= std::min(text.bottom(), shown.height() - 1); ++y)
        for (int x = text.left(); x <= std::min(text.right(), shown.width() - 1); ++x) {
            const QRgb pixel = shown.pixel(x, y) & 0xFFFFFF;
            halfTones += pixel != 0 && pixel != 0xFFFFFF;
        }
    if (smooth)
        EXPECT_GT(halfTones, 100);
    else
        EXPECT_EQ(halfTones, 0);
}

INSTANTIATE_TEST_SUITE_P(OnAndOff, Smoothing, testing::Bool());
