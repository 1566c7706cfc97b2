// The file list: the open dialog, folders, drops, presses on the list, the
// shell commands and the history entries that fill it.

#include "ReaderFixture.h"

#include "app/StatusPane.h"
#include "app/library/FolderFiles.h"
#include "app/view/PageView.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>

namespace {

const QString Sep = QDir::separator();

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString Lines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("第%1行 书中的一行文字").arg(i);
    return lines.join(u'\n') + u'\n';
}

QString SizeOf(const QString& path)
{
    return FormatFileSize(QFileInfo(path).size());
}

} // namespace

class Files : public ReaderFixture {
protected:
    QTreeWidget* List() { return Find<QTreeWidget>("RzListViewFiles"); }
    QString OpenPath() { return Find<TStatusPane>("RzStatusPane4")->Caption(); }
    QMenu* Popup() { return Find<QMenu>("PopupMenuFiles"); }
    void Trigger(const char* name) { Find<QAction>(name)->trigger(); }

    // Name, size text and path of every row.
    QStringList Rows()
    {
        QStringList rows;
        for (int i = 0; i < List()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = List()->topLevelItem(i);
            rows << item->text(0) + u'|' + item->text(1) + u'|' + item->data(0, FullPathRole).toString();
        }
        return rows;
    }
    static QString Row(const QString& path, const QString& size = QString())
    {
        return QFileInfo(path).fileName() + u'|' + (size.isNull() ? SizeOf(path) : size) + u'|' + path;
    }

    QString Folder(const QString& name)
    {
        QDir().mkpath(StatePath(name));
        return StatePath(name);
    }

    void OpenThroughDialog(const QStringList& paths)
    {
        FOpenFilesAnswers.push_back(paths);
        Find<QToolButton>("BtnLast")->click();
    }

    QPoint RowCenter(int row) { return List()->visualItemRect(List()->topLevelItem(row)).center(); }
    QPoint BelowRows() { return QPoint(20, List()->viewport()->height() - 5); }
    void Press(Qt::MouseButton button, const QPoint& at) { QTest::mousePress(List()->viewport(), button, {}, at); }
    void Release(Qt::MouseButton button, const QPoint& at) { QTest::mouseRelease(List()->viewport(), button, {}, at); }
    void RightClick(const QPoint& at)
    {
        Press(Qt::RightButton, at);
        Release(Qt::RightButton, at);
    }
    void DoubleClick(int row) { QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowCenter(row)); }

    // Drags the URLs over target and drops them; true when the drag was welcomed.
    static bool Drop(QWidget* target, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(10, 10);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return enter.isAccepted();
    }
    static QList<QUrl> Urls(const QStringList& paths)
    {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        return urls;
    }
};

TEST_F(Files, OpenDialogListsTheChosenFilesInItsOrderAndOpensTheFirst)
{
    const QString big = WriteBook(QStringLiteral("shelf/big.txt"), Lines(200));
    const QString a = WriteBook(QStringLiteral("shelf/a.txt"), Lines(3));
    const QString empty = WriteFile(QStringLiteral("shelf/empty.txt"), {});
    const QString gone = StatePath(QStringLiteral("shelf/gone.txt"));
    TFrmFolvane& window = Start();

    OpenThroughDialog({big, a, gone, empty});
    EXPECT_EQ(Rows(), (QStringList {Row(big), Row(a), Row(gone, QStringLiteral("")), Row(empty, "0KB")}))
        << "a size that cannot be read is left blank";
    EXPECT_NE(SizeOf(big), QStringLiteral("1KB"));
    EXPECT_EQ(List()->currentItem(), List()->topLevelItem(0));
    EXPECT_EQ(OpenPath(), big);
    EXPECT_EQ(window.FileHistory().first(), big);
    EXPECT_EQ(window.focusWidget(), Find<QWidget>("ScrollBoxPages"));

    // Cancelling changes nothing; the dialog comes back where it was left.
    Trigger("M_OpenFile");
    EXPECT_EQ(Rows().size(), 4);
    EXPECT_EQ(OpenPath(), big);
    ASSERT_EQ(FLog.Picks.size(), 2u);
    EXPECT_EQ(FLog.Picks[0].Title, QStringLiteral("打开文件"));
    EXPECT_EQ(FLog.Picks[0].Filter, QStringLiteral("文本文件(*.txt)"));
    EXPECT_EQ(FLog.Picks[0].Folder, QString());
    EXPECT_EQ(FLog.Picks[1].Folder, StatePath(QStringLiteral("shelf")));
}

TEST_F(Files, FolderListsItsVisibleTextFilesAndGoesToTheHistory)
{
    const QString shelf = Folder(QStringLiteral("shelf"));
    const QString upper = WriteBook(QStringLiteral("shelf/A.TXT"), Lines(5));
    const QString lower = WriteBook(QStringLiteral("shelf/b.txt"), Lines(2000));
    WriteBook(QStringLiteral("shelf/.hidden.txt"), Lines(5));
    WriteBook(QStringLiteral("shelf/notes.doc"), Lines(5));
    WriteBook(QStringLiteral("shelf/sub.txt/inner.txt"), Lines(5));
    const QString empty = Folder(QStringLiteral("empty"));
    WriteFile(QStringLiteral("empty/readme.md"), "x");
    TFrmFolvane& window = Start();

    FFolderAnswers.push_back(shelf);
    Find<QToolButton>("BtnOpenFolder")->click();
    QStringList rows = Rows();
    ASSERT_EQ(rows.size(), 2);
    // The directory's order stays; only the set of rows is fixed.
    const QStringList expected {Row(upper), Row(lower)};
    EXPECT_TRUE((rows == expected || rows == QStringList {expected[1], expected[0]})) << qPrintable(rows.join(u'\n'));
    EXPECT_EQ(OpenPath(), List()->topLevelItem(0)->data(0, FullPathRole).toString());
    EXPECT_EQ(window.FolderHistory(), QStringList {Native(shelf) + Sep});
    EXPECT_EQ(window.focusWidget(), Find<QWidget>("ScrollBoxPages"));

    // No text files: a message, and the list and the history stay.
    const QString open = OpenPath();
    FFolderAnswers.push_back(empty);
    Trigger("M_OpenFolder");
    EXPECT_EQ(FLog.Notices, QStringList {empty + QStringLiteral("\r\n文件夹中没有TXT文本文件")});
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(OpenPath(), open);
    EXPECT_EQ(window.FolderHistory().size(), 1);

    // Cancelled: nothing at all.
    Trigger("M_OpenFolder");
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(FLog.Notices.size(), 1);

    ASSERT_EQ(FLog.Picks.size(), 3u);
    EXPECT_EQ(FLog.Picks[0].Title, QStringLiteral("选择文件夹"));
    EXPECT_EQ(FLog.Picks[0].Folder, QString()) << "no book open: the default folder";
    EXPECT_EQ(FLog.Picks[1].Folder, Native(shelf) + Sep) << "the folder of the open book";
}

TEST_F(Files, FolderBrowserStartsAtTheDefaultWhenTheBooksFolderIsGone)
{
    const QString book = WriteBook(QStringLiteral("gone/a.txt"), Lines(3));
    Start();
    OpenThroughDialog({book});
    ASSERT_EQ(OpenPath(), book);
    QDir(StatePath(QStringLiteral("gone"))).removeRecursively();
    Trigger("M_OpenFolder");
    ASSERT_EQ(FLog.Picks.size(), 2u);
    EXPECT_EQ(FLog.Picks[1].Folder, QString());
}

// Drops work the same on the reading area and on the file list.
class FileDrops : public Files, public testing::WithParamInterface<const char*> {
protected:
    QWidget* Target()
    {
        const QString name = QString::fromLatin1(GetParam());
        if (name == QStringLiteral("ScrollBoxPages"))
            return Find<TPageView>("ScrollBoxPages")->viewport();
        return List()->viewport();
    }
};

TEST_P(FileDrops, DroppedFilesComeFirstThenTheFoldersFiles)
{
    const QString one = WriteBook(QStringLiteral("drop/one.txt"), Lines(10));
    const QString two = WriteBook(QStringLiteral("drop/TWO.TXT"), Lines(20));
    const QString doc = WriteBook(QStringLiteral("drop/three.doc"), Lines(5));
    const QString shelf = Folder(QStringLiteral("shelf"));
    const QString shelved = WriteBook(QStringLiteral("shelf/in.txt"), Lines(7));
    const QString empty = Folder(QStringLiteral("empty"));
    TFrmFolvane& window = Start();

    EXPECT_TRUE(Drop(Target(), Urls({one, doc, shelf, two, empty})));
    EXPECT_EQ(Rows(), (QStringList {Row(one), Row(two), Row(shelved)}));
    EXPECT_EQ(OpenPath(), one);
    EXPECT_EQ(window.FolderHistory(), QStringList {Native(shelf) + Sep});
    EXPECT_EQ(window.focusWidget(), Find<QWidget>("ScrollBoxPages"));

    // Nothing readable in the drop: nothing changes, and nothing is said.
    const QString key = window.FileKey();
    for (const QStringList& paths : {QStringList {doc}, QStringList {empty}, QStringList {doc, empty}}) {
        Drop(Target(), Urls(paths));
        EXPECT_EQ(Rows().size(), 3);
        EXPECT_EQ(OpenPath(), one);
        EXPECT_EQ(window.FileKey(), key);
        EXPECT_EQ(window.FolderHistory().size(), 1);
    }
    Drop(Target(), {QUrl(QStringLiteral("https://example.com/book.txt"))});
    EXPECT_EQ(Rows().size(), 3);
    EXPECT_TRUE(FLog.Notices.isEmpty());
    EXPECT_TRUE(FLog.Errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(PageAreaAndFileList, FileDrops, testing::Values("ScrollBoxPages", "RzListViewFiles"));

TEST_F(Files, OnlyThePageAreaAndTheFileListTakeDrops)
{
    TFrmFolvane& window = Start();
    EXPECT_FALSE(Drop(List()->viewport(), {QUrl(QStringLiteral("https://example.com/a.txt"))}))
        << "the file list takes local files only";
    EXPECT_TRUE(List()->viewport()->acceptDrops());
    EXPECT_TRUE(Find<TPageView>("ScrollBoxPages")->acceptDrops());
    EXPECT_FALSE(window.acceptDrops());
    auto* pages = Find<QTreeView>("RzListViewPages");
    EXPECT_FALSE(pages->acceptDrops());
    EXPECT_FALSE(pages->viewport()->acceptDrops());
}

TEST_F(Files, ListedFilesOpenByDoubleClickAndGoToTheShellFromThePopup)
{
    const QString a = WriteBook(QStringLiteral("a.txt"), Lines(50));
    const QString b = WriteBook(QStringLiteral("b.txt"), Lines(60));
    const QString c = WriteBook(QStringLiteral("c.txt"), Lines(70));
    TFrmFolvane& window = Start();
    OpenThroughDialog({a, b, c});
    const QStringList rows = Rows();
    const QString keyOfA = window.FileKey();

    // The open book's row does nothing, even when the file has changed since.
    WriteBook(QStringLiteral("a.txt"), Lines(500));
    DoubleClick(0);
    EXPECT_EQ(window.FileKey(), keyOfA);

    DoubleClick(1);
    EXPECT_EQ(OpenPath(), b);
    EXPECT_EQ(Rows(), rows) << "opening a listed file leaves the list alone";

    RightClick(RowCenter(2));
    EXPECT_TRUE(Popup()->isVisible());
    Popup()->hide();
    Trigger("PM_OpenShell");
    Trigger("PM_OpenShellEx");
    Trigger("PM_Prop");
    EXPECT_EQ(FShellCalls, (std::vector<TShellCall> {{"OpenFile", c}, {"OpenWith", c}, {"ShowProperties", c}}));
    Trigger("PM_OpenTxt");
    EXPECT_EQ(OpenPath(), c);

    // A press beside the rows lets go of the row: no menu, and the commands do nothing.
    RightClick(BelowRows());
    EXPECT_FALSE(Popup()->isVisible());
    Trigger("PM_Prop");
    Trigger("PM_OpenShell");
    Trigger("PM_OpenShellEx");
    EXPECT_EQ(FShellCalls.size(), 3u);
    Press(Qt::LeftButton, RowCenter(0));
    Release(Qt::LeftButton, RowCenter(0));
    Trigger("PM_OpenTxt");
    EXPECT_EQ(OpenPath(), a);
}

TEST_F(Files, PressesOnTheListAreIgnoredWhileAutoScrollRuns)
{
    const QString a = WriteBook(QStringLiteral("a.txt"), Lines(50));
    const QString b = WriteBook(QStringLiteral("b.txt"), Lines(60));
    Start();
    OpenThroughDialog({a, b});
    Press(Qt::LeftButton, RowCenter(0));
    Release(Qt::LeftButton, RowCenter(0));

    auto* autoScroll = Find<QToolButton>("BtnAutoScroll");
    autoScroll->setChecked(true);
    RightClick(RowCenter(1));
    EXPECT_FALSE(Popup()->isVisible());
    DoubleClick(1);
    EXPECT_EQ(OpenPath(), a);
    Trigger("PM_OpenTxt");
    EXPECT_EQ(OpenPath(), a);
    autoScroll->setChecked(false);

    // The row of the last press before auto-scroll is still the one the commands use.
    Trigger("PM_Prop");
    EXPECT_EQ(FShellCalls, (std::vector<TShellCall> {{"ShowProperties", a}}));
}

TEST_F(Files, FileHistoryShowsAllLoadedEntriesUntilTheNextAddition)
{
    const QString book = WriteBook(QStringLiteral("shelf/book.txt"), Lines(10));
    QByteArray his;
    QStringList loaded;
    for (int i = 0; i < 40; ++i) {
        // One entry names the book in another letter case.
        const QString entry = i == 3 ? book.toUpper() : QStringLiteral("/old/%1.txt").arg(i);
        loaded << entry;
        his += entry.toUtf8() + "\r\n" + (i % 10 == 0 ? "\r\n  \r\n" : "");
    }
    WriteFile(QStringLiteral("Files.his"), his);
    WriteFile(QStringLiteral("Options.ini"), "[VIEWER]\r\nHisFileCount=5\r\nClearFileHis=1\r\n");
    TFrmFolvane& window = Start();
    EXPECT_EQ(window.FileHistory(), loaded) << "blank lines dropped, no count applied on loading";
    EXPECT_EQ(Find<QMenu>("M_HisFile")->actions().size(), 40);

    OpenThroughDialog({book});
    const QStringList expected {book, loaded[0], loaded[1], loaded[2], loaded[4]};
    EXPECT_EQ(window.FileHistory(), expected) << "moved to the top in its new case, the oldest dropped";
    const QList<QAction*> items = Find<QMenu>("M_HisFile")->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0]->text(), book);

    // Cleared on exit only: listed for the whole run, an empty file afterwards.
    CloseWindow();
    EXPECT_TRUE(QFileInfo::exists(StatePath(QStringLiteral("Files.his"))));
    EXPECT_EQ(ReadFile(QStringLiteral("Files.his")), QByteArray());
}

class FileHistory : public Files {
protected:
    void SetUp() override
    {
        Files::SetUp();
        FBook = WriteBook(QStringLiteral("shelf/book.txt"), Lines(10));
        FGone = StatePath(QStringLiteral("gone.txt"));
        FGoneFolder = Native(StatePath(QStringLiteral("nowhere"))) + Sep;
        FShelf = Native(StatePath(QStringLiteral("shelf"))) + Sep;
        WriteFile(QStringLiteral("Files.his"), (FGone + "\r\n" + FBook + "\r\n").toUtf8());
        WriteFile(QStringLiteral("Folders.his"), (FGoneFolder + "\r\n" + FShelf + "\r\n").toUtf8());
    }
    void Click(const char* menu, int item) { Find<QMenu>(menu)->actions()[item]->trigger(); }

    QString FBook;
    QString FGone;
    QString FGoneFolder;
    QString FShelf;
};

TEST_F(FileHistory, FirstItemsThatBeganAsThePlaceholdersAnswerClicks)
{
    TFrmFolvane& window = Start();
    Click("M_HisFile", 0);
    Click("M_HisFolder", 0);
    EXPECT_EQ(FLog.Notices, (QStringList{QStringLiteral("文件不存在\r\n") + FGone,
                                         QStringLiteral("文件夹不存在\r\n") + FGoneFolder}));
    // Entries whose file or folder is gone stay.
    EXPECT_EQ(window.FileHistory(), (QStringList{FGone, FBook}));
    EXPECT_EQ(window.FolderHistory(), (QStringList{FGoneFolder, FShelf}));
    EXPECT_TRUE(Rows().isEmpty());
}

TEST_F(FileHistory, EntriesListWhatTheyNameAndComeToTheTop)
{
    const QString other = WriteBook(QStringLiteral("other.txt"), Lines(11));
    TFrmFolvane& window = Start();

    // A file entry lists only that file.
    OpenThroughDialog({other, FBook});
    Click("M_HisFile", 2);
    EXPECT_EQ(Rows(), QStringList{Row(FBook)});
    EXPECT_EQ(OpenPath(), FBook);
    EXPECT_EQ(window.FileHistory(), (QStringList{FBook, other, FGone}));

    // A folder entry lists the folder's files and comes to the top again.
    OpenThroughDialog({other});
    Click("M_HisFolder", 1);
    EXPECT_EQ(Rows(), QStringList{Row(FShelf + QStringLiteral("book.txt"))});
    EXPECT_EQ(OpenPath(), FBook);
    EXPECT_EQ(window.FolderHistory(), (QStringList{FShelf, FGoneFolder}));
    EXPECT_TRUE(FLog.Notices.isEmpty());
}

TEST_F(Files, HistoryPlaceholdersDoNothing)
{
    TFrmFolvane& window = Start();
    for (const char* menu : {"M_HisFile", "M_HisFolder"}) {
        const QList<QAction*> items = Find<QMenu>(menu)->actions();
        ASSERT_EQ(items.size(), 1);
        EXPECT_EQ(items[0]->text(), QStringLiteral("无"));
        items[0]->trigger();
    }
    EXPECT_TRUE(FLog.Notices.isEmpty());
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_TRUE(window.FileHistory().isEmpty());
}

TEST_F(Files, FolderInAnotherLetterCaseIsOneHistoryEntry)
{
    const QString upper = Folder(QStringLiteral("x/Books"));
    WriteBook(QStringLiteral("x/Books/a.txt"), Lines(3));
    const QString lower = Folder(QStringLiteral("x/books"));
    WriteBook(QStringLiteral("x/books/b.txt"), Lines(3));
    TFrmFolvane& window = Start();
    FFolderAnswers = {upper, lower + u'/'};
    Trigger("M_OpenFolder");
    Trigger("M_OpenFolder");
    EXPECT_EQ(window.FolderHistory(), QStringList {Native(lower) + Sep});
}
