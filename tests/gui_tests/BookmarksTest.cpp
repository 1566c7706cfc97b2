// Marking pages, the two bookmark menus, and marks and the reading point
// kept across runs.

#include "ReaderFixture.h"

#include "app/view/PageView.h"
#include "dialogs/UnitConfim.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>

namespace {

// Page n (1-based) starts with "第n页"; every page is 40 display lines.
QString NumberedBook(int pages)
{
    QStringList lines;
    for (int p = 1; p <= pages; ++p) {
        lines << QStringLiteral("第%1页").arg(p);
        for (int i = 1; i < 40; ++i)
            lines << ReaderFixture::FullLine();
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace

class Bookmarks : public ReaderFixture {
protected:
    void ShowPage(int pageIndex)
    {
        FWindow->GoToPage(pageIndex);
        Settle();
        ASSERT_EQ(FWindow->CurPage(), pageIndex + 1);
    }
    void MarkCurrent(bool confirm)
    {
        FConfirmAnswers.push_back(confirm);
        Find<QAction>("M_SetMark")->trigger();
    }
    QStringList PopupCaptions() { return MenuCaptions(Find<QMenu>("PopupMenuMark")); }
    QStringList MainCaptions() { return MenuCaptions(Find<QMenu>("M_GoToMark")); }
    QString Caption(int page) { return QStringLiteral("第%1 页 (第%2页)").arg(page, 3, 10, QChar(u'0')).arg(page); }
};

TEST_F(Bookmarks, MarksInAnyOrderAreListedAscendingInBothMenus)
{
    TFrmFolvane& window = Start();
    ASSERT_TRUE(window.OpenTextFile(WriteBook(QStringLiteral("book.txt"), NumberedBook(12)), false));
    Settle();
    for (int page : {7, 3, 11, 1}) {
        ShowPage(page - 1);
        MarkCurrent(true);
    }
    const QStringList expected{Caption(1), Caption(3), Caption(7), Caption(11)};
    EXPECT_EQ(PopupCaptions(), expected);
    EXPECT_EQ(MainCaptions(), expected);
    EXPECT_TRUE(window.Pages()[6].Bookmarked);
    EXPECT_FALSE(window.Pages()[5].Bookmarked);
    EXPECT_FALSE(Find<QTreeView>("RzListViewPages")->model()->index(6, 0).data(Qt::DecorationRole).isNull());

    // A cancelled confirmation marks nothing.
    ShowPage(4);
    MarkCurrent(false);
    EXPECT_FALSE(window.Pages()[4].Bookmarked);
    EXPECT_EQ(PopupCaptions(), expected);

    // A menu item goes to its page.
    Find<QMenu>("M_GoToMark")->actions()[2]->trigger();
    Settle();
    EXPECT_EQ(window.CurPage(), 7);

    // Removing asks first; No keeps the mark.
    FQuestionAnswers.push_back(false);
    Find<QAction>("M_SetMark")->trigger();
    EXPECT_TRUE(window.Pages()[6].Bookmarked);
    EXPECT_EQ(FLog.Questions.last(), QStringLiteral("确实要取消该页的书签吗？"));
    for (int page : {7, 1, 11, 3}) {
        ShowPage(page - 1);
        FQuestionAnswers.push_back(true);
        Find<QAction>("M_SetMark")->trigger();
    }
    EXPECT_EQ(PopupCaptions(), QStringList{QStringLiteral("无")});
    EXPECT_EQ(MainCaptions(), QStringList{QStringLiteral("无")});
}

TEST_F(Bookmarks, CountDownLeftToRunOutSetsTheMark)
{
    TFrmFolvane& window = Start();
    ASSERT_TRUE(window.OpenTextFile(WriteBook(QStringLiteral("book.txt"), NumberedBook(3)), false));
    Settle();
    ShowPage(1);
    FCountDownTickMs = 15;
    Find<QAction>("M_SetMark")->trigger();
    EXPECT_TRUE(window.Pages()[1].Bookmarked);
    EXPECT_EQ(PopupCaptions(), QStringList{Caption(2)});
}

TEST_F(Bookmarks, DeleteAllLeavesThePlaceholderAndCommandsNeedABook)
{
    TFrmFolvane& window = Start();
    Find<QAction>("M_SetMark")->trigger();
    Find<QAction>("M_DelAllMark")->trigger();
    EXPECT_EQ(FLog.Notices, (QStringList{QStringLiteral("请先打开一个文件"), QStringLiteral("请先打开一个文件")}));
    EXPECT_EQ(FLog.Confirms, 0);

    ASSERT_TRUE(window.OpenTextFile(WriteBook(QStringLiteral("book.txt"), NumberedBook(5)), false));
    Settle();
    for (int page : {2, 4}) {
        ShowPage(page - 1);
        MarkCurrent(true);
    }
    FQuestionAnswers.push_back(false);
    Find<QAction>("M_DelAllMark")->trigger();
    EXPECT_EQ(PopupCaptions().size(), 2);
    FQuestionAnswers.push_back(true);
    Find<QAction>("M_DelAllMark")->trigger();
    EXPECT_EQ(FLog.Questions.last(), QStringLiteral("确实要删除所有的书签吗？"));
    EXPECT_EQ(PopupCaptions(), QStringList{QStringLiteral("无")});
    EXPECT_EQ(MainCaptions(), QStringList{QStringLiteral("无")});
    for (const TOnePage& page : window.Pages())
        EXPECT_FALSE(page.Bookmarked);
}

TEST_F(Bookmarks, MarksAndReadingPointComeBackWhenTheBookIsOpenedAgain)
{
    // Page 2 begins inside a source line that runs over five display lines.
    QStringList lines;
    lines << QStringLiteral("开头");
    for (int i = 1; i < 38; ++i)
        lines << FullLine();
    lines << FullLine().repeated(5);
    for (int i = 0; i < 200; ++i)
        lines << FullLine();
    const QString path = WriteBook(QStringLiteral("long.txt"), lines.join(u'\n'));

    TFrmFolvane& first = Start();
    ASSERT_TRUE(first.OpenTextFile(path, false));
    Settle();
    ASSERT_EQ(first.Pages()[1].LinePos[0], (TLinePos{160, 38}));
    ShowPage(1);
    MarkCurrent(true);
    ShowPage(4);
    MarkCurrent(true);
    ShowPage(3);
    CloseWindow();
    const QByteArray marks = ReadFile(QStringLiteral("Data/Mark.dat"));
    EXPECT_TRUE(marks.endsWith("=160/38|0/156^0/116\r\n")) << marks.constData();

    TFrmFolvane& second = Start();
    ASSERT_TRUE(second.OpenTextFile(path, false));
    Settle();
    EXPECT_EQ(second.CurPage(), 4);
    EXPECT_TRUE(second.Pages()[1].Bookmarked);
    EXPECT_TRUE(second.Pages()[4].Bookmarked);
    EXPECT_EQ(PopupCaptions().size(), 2);
    EXPECT_EQ(PopupCaptions()[0], QStringLiteral("第002 页 (一二三四五六七八九十...)"));
}

TEST_F(Bookmarks, UnchangedMarksWriteNothingAndAnEmptyBookLeavesTheReadingPointOut)
{
    TFrmFolvane& window = Start();
    const QString book = WriteBook(QStringLiteral("book.txt"), NumberedBook(4));
    const QString empty = WriteFile(QStringLiteral("empty.txt"), QByteArray());
    ASSERT_TRUE(window.OpenTextFile(book, false));
    Settle();
    ShowPage(2);
    MarkCurrent(true);
    FQuestionAnswers.push_back(true);
    Find<QAction>("M_SetMark")->trigger();
    ShowPage(0);
    // Marked and unmarked again, read on page 1 only: the book gets no line at all.
    ASSERT_TRUE(window.OpenTextFile(empty, false));
    EXPECT_FALSE(QFileInfo::exists(StatePath(QStringLiteral("Data/Mark.dat"))));
    CloseWindow();
    EXPECT_FALSE(QFileInfo::exists(StatePath(QStringLiteral("Data/Mark.dat"))));
}

// The count-down dialog's ways of closing, shown without blocking.
TEST(CountDownDialog, EveryWayOfClosingGivesItsAnswer)
{
    struct Case {
        const char* Name;
        std::function<void(TFrmConfim&)> Act;
        bool Confirmed;
    };
    const std::vector<Case> cases{
        {"Enter", [](TFrmConfim& d) { QTest::keyClick(&d, Qt::Key_Return); }, true},
        {"Alt+O", [](TFrmConfim& d) { QTest::keyClick(&d, Qt::Key_O, Qt::AltModifier); }, true},
        {"Esc", [](TFrmConfim& d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
        {"Alt+C", [](TFrmConfim& d) { QTest::keyClick(&d, Qt::Key_C, Qt::AltModifier); }, false},
        {"close box", [](TFrmConfim& d) { d.close(); }, false},
        {"count-down", [](TFrmConfim&) {}, true},
    };
    for (const Case& c : cases) {
        // Only the count-down case may run out of time.
        const bool waits = std::string(c.Name) == "count-down";
        TFrmConfim dialog(nullptr, waits ? 20 : 60000);
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("RzButton1"))->text(),
                  QStringLiteral("3秒后自动确定(&O)"));
        c.Act(dialog);
        ASSERT_TRUE(finished.count() == 1 || finished.wait(1000)) << c.Name;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.Confirmed) << c.Name;
    }
}

TEST(CountDownDialog, ButtonCountsTheSecondsDown)
{
    TFrmConfim dialog(nullptr, 40);
    dialog.show();
    auto* button = dialog.findChild<QPushButton*>(QStringLiteral("RzButton1"));
    QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("2秒后自动确定(&O)"), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(button->text(), QStringLiteral("1秒后自动确定(&O)"), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 1000);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(Bookmarks, TwoCopiesOfABookShareTheirMarks)
{
    const QString book = NumberedBook(6);
    const QString original = WriteBook(QStringLiteral("a/book.txt"), book);
    const QString copy = WriteBook(QStringLiteral("b/another name.txt"), book);
    const QString other = WriteBook(QStringLiteral("other.txt"), NumberedBook(2));
    TFrmFolvane& window = Start();
    ASSERT_TRUE(window.OpenTextFile(original, false));
    Settle();
    ShowPage(3);
    MarkCurrent(true);
    ASSERT_TRUE(window.OpenTextFile(other, false));
    ASSERT_TRUE(window.OpenTextFile(copy, false));
    Settle();
    EXPECT_TRUE(window.Pages()[3].Bookmarked);
    EXPECT_EQ(window.CurPage(), 4);
    EXPECT_EQ(ReadFile(QStringLiteral("Data/Mark.dat")).count('\n'), 1);
}
