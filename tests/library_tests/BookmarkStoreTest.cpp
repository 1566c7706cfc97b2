#include "app/library/BookmarkStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <latch>
#include <thread>

using namespace std::chrono_literals;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A book key as the program writes it: 32 upper-case hex digits, letters among them.
QString Key(int n)
{
    return QStringLiteral("D41D8CD98F00B204E98%1").arg(n, 13, 16, QLatin1Char('0')).toUpper();
}

QByteArray NumberedLines(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += Key(i).toLatin1() + "=0/" + QByteArray::number(i) + "\r\n";
    return bytes;
}

QList<QByteArray> LinesOf(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

struct TPageShape {
    TLinePos First;
    bool Marked = false;
};

TPages MakePages(std::initializer_list<TPageShape> shapes)
{
    TPages pages;
    for (const TPageShape& shape : shapes) {
        TOnePage page;
        page.LinePos[0] = shape.First;
        page.Bookmarked = shape.Marked;
        pages.push_back(std::move(page));
    }
    return pages;
}

// Pages starting at source lines 0, 14, 51 and 96; the worked example marks
// the second and the fourth and reads on the third.
TPages WorkedExamplePages(bool markSecond, bool markFourth)
{
    return MakePages({{{0, 0}, false}, {{0, 14}, markSecond}, {{160, 51}, false}, {{240, 96}, markFourth}});
}

class BookmarkStore : public testing::Test {
protected:
    QTemporaryDir FDir;
    QString FPath = FDir.filePath(QStringLiteral("Mark.dat"));
};

} // namespace

// --- Building the value ---------------------------------------------------

struct TBuildCase {
    const char* Name;
    bool MarkSecond;
    bool MarkFourth;
    int CurPage;
    const char* Expected;
};

class BuildMarkValueCases : public testing::TestWithParam<TBuildCase> {};

TEST_P(BuildMarkValueCases, WritesMarksThenReadingPoint)
{
    const TBuildCase& c = GetParam();
    EXPECT_EQ(BuildMarkValue(WorkedExamplePages(c.MarkSecond, c.MarkFourth), c.CurPage),
              QString::fromLatin1(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    BookmarkStore, BuildMarkValueCases,
    testing::Values(TBuildCase{"WorkedExample", true, true, 3, "0/14|240/96^160/51"},
                    TBuildCase{"OneMarkNoTrailingBar", false, true, 4, "240/96^240/96"},
                    TBuildCase{"ReadingPointWithoutMarks", false, false, 2, "^0/14"},
                    TBuildCase{"ReadingPointOnPageOneNeverStored", true, true, 1, "0/14|240/96"},
                    TBuildCase{"NoPageShownYet", true, false, 0, "0/14"},
                    TBuildCase{"NothingToStore", false, false, 1, ""},
                    TBuildCase{"CurPageBeyondThePagesLeavesTheReadingPointOut", true, true, 5, "0/14|240/96"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(BookmarkStoreBuild, CurPageOfThePreviousBookOnAnEmptyBookLeavesTheReadingPointOut)
{
    EXPECT_EQ(BuildMarkValue({}, 7), QString());
}

// --- Reading --------------------------------------------------------------

struct TReadCase {
    const char* Name;
    QByteArray File;
    const char* Key;
    const char* Expected;
};

class ReadBookmarksCases : public BookmarkStore, public testing::WithParamInterface<TReadCase> {};

TEST_P(ReadBookmarksCases, FindsTheFirstLineWithTheKey)
{
    const TReadCase& c = GetParam();
    WriteFile(FPath, c.File);
    EXPECT_EQ(ReadBookmarks(FPath, QString::fromLatin1(c.Key)), QString::fromLatin1(c.Expected));
}

const QByteArray K1 = Key(1).toLatin1();
const QByteArray K2 = Key(2).toLatin1();

INSTANTIATE_TEST_SUITE_P(
    BookmarkStore, ReadBookmarksCases,
    testing::Values(
        TReadCase{"LowerCaseKeyInFileMatches", K1.toLower() + "=0/14\r\n", K1.constData(), "0/14"},
        TReadCase{"FirstOfTwoLinesWins", K1 + "=1/1\r\n" + K1 + "=2/2\r\n", K1.constData(), "1/1"},
        TReadCase{"ValueIsAllAfterTheFirstEquals", K1 + "=^0/3=x\r\n", K1.constData(), "^0/3=x"},
        TReadCase{"OtherBookOnly", K2 + "=0/1\r\n", K1.constData(), ""},
        TReadCase{"LineWithoutEqualsNeverMatches", K1 + "\r\n" + K1 + "x=0/1\r\n", K1.constData(), ""},
        TReadCase{"CrOnlyAndLfOnlyLineEnds", "note\r" + K2 + "=0/2\n" + K1 + "=0/9", K1.constData(), "0/9"},
        TReadCase{"EmptyKeyNeverMatchesANamelessLine", "=0/5\r\n", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(BookmarkStore, ReadOfMissingOrUnreadableFileIsEmpty)
{
    EXPECT_EQ(ReadBookmarks(FPath, Key(1)), QString());
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("Mark.dat")));
    EXPECT_EQ(ReadBookmarks(FPath, Key(1)), QString());
}

// --- Storing --------------------------------------------------------------

struct TStoreCase {
    const char* Name;
    QByteArray Before; // empty: no file
    const char* Value;
    QByteArray After; // empty: no file
    bool Written;
};

class StoreBookmarksCases : public BookmarkStore, public testing::WithParamInterface<TStoreCase> {};

TEST_P(StoreBookmarksCases, RewritesOnlyTheBooksLine)
{
    const TStoreCase& c = GetParam();
    if (!c.Before.isEmpty())
        WriteFile(FPath, c.Before);
    const TMarkWrite result = StoreBookmarks(FPath, Key(1), QString::fromLatin1(c.Value));
    EXPECT_EQ(result.Written, c.Written) << result.Error.toStdString();
    EXPECT_EQ(result.Skipped, !c.Written);
    EXPECT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    if (c.After.isEmpty())
        EXPECT_FALSE(QFileInfo::exists(FPath));
    else
        EXPECT_EQ(ReadAll(FPath), c.After);
    EXPECT_FALSE(QFileInfo::exists(FPath + QStringLiteral(".lock")));
}

// Lines of other books, lines without "=" (one with a stray non-ASCII byte)
// and blank lines, in an order the store must keep.
const QByteArray Others = "# notes \xB0\r\n\r\n" + K2 + "=0/7|0/9\r\n   \r\n";

INSTANTIATE_TEST_SUITE_P(
    BookmarkStore, StoreBookmarksCases,
    testing::Values(
        TStoreCase{"FirstWriteCreatesTheFile", "", "0/14", K1 + "=0/14\r\n", true},
        TStoreCase{"NewBookGoesToTheTop", Others, "0/14^5/6", K1 + "=0/14^5/6\r\n" + Others, true},
        TStoreCase{"ChangedBookKeepsItsPlace", Others + K1 + "=0/1\r\nlast\r\n", "^0/2",
                   Others + K1 + "=^0/2\r\nlast\r\n", true},
        TStoreCase{"LowerCaseKeyIsReplacedByTheKeyAsGiven", "x\r\n" + K1.toLower() + "=0/1\r\n", "0/2",
                   "x\r\n" + K1 + "=0/2\r\n", true},
        TStoreCase{"EmptyValueDeletesTheLine", Others + K1 + "=0/1\r\n" + Others, "", Others + Others, true},
        TStoreCase{"OnlyTheFirstOfTwoLinesChanges", K1 + "=1/1\r\n" + K1 + "=2/2\r\n", "3/3",
                   K1 + "=3/3\r\n" + K1 + "=2/2\r\n", true},
        TStoreCase{"AnyLineEndIsWrittenBackAsCrLf", "a\rb\nc", "0/1", K1 + "=0/1\r\na\r\nb\r\nc\r\n", true},
        // Lone LF line ends show that the file was not rewritten.
        TStoreCase{"SameValueLeavesTheFileAlone", "a\n" + K1.toLower() + "=0/1\n", "0/1",
                   "a\n" + K1.toLower() + "=0/1\n", false},
        TStoreCase{"EmptyValueOfAnAbsentBookLeavesTheFileAlone", "a\n", "", "a\n", false},
        TStoreCase{"EmptyValueOfAnAbsentBookCreatesNoFile", "", "", "", false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(BookmarkStore, StoredValueReadsBack)
{
    const QString value = BuildMarkValue(WorkedExamplePages(true, true), 3);
    ASSERT_TRUE(StoreBookmarks(FPath, Key(1), value).Written);
    EXPECT_EQ(ReadBookmarks(FPath, Key(1).toLower()), value);
}

TEST_F(BookmarkStore, NewBookPushesOutTheLastOfAThousandLines)
{
    WriteFile(FPath, NumberedLines(MaxMarkLines));
    ASSERT_TRUE(StoreBookmarks(FPath, Key(5000), QStringLiteral("0/1")).Written);
    const QList<QByteArray> lines = LinesOf(ReadAll(FPath));
    ASSERT_EQ(lines.size(), MaxMarkLines);
    EXPECT_EQ(lines.front(), Key(5000).toLatin1() + "=0/1\r");
    EXPECT_EQ(lines.back(), Key(MaxMarkLines - 2).toLatin1() + "=0/998\r");
}

TEST_F(BookmarkStore, UpdateOfOneOfAThousandLinesMovesNothing)
{
    WriteFile(FPath, NumberedLines(MaxMarkLines));
    ASSERT_TRUE(StoreBookmarks(FPath, Key(500), QStringLiteral("7/7")).Written);
    QByteArray expected = NumberedLines(MaxMarkLines);
    expected.replace(Key(500).toLatin1() + "=0/500", Key(500).toLatin1() + "=7/7");
    EXPECT_EQ(ReadAll(FPath), expected);
}

TEST_F(BookmarkStore, LongerFileIsCutToAThousandLinesOnWrite)
{
    WriteFile(FPath, NumberedLines(MaxMarkLines + 200));
    ASSERT_TRUE(StoreBookmarks(FPath, Key(3), QStringLiteral("7/7")).Written);
    const QList<QByteArray> lines = LinesOf(ReadAll(FPath));
    ASSERT_EQ(lines.size(), MaxMarkLines);
    EXPECT_EQ(lines[3], Key(3).toLatin1() + "=7/7\r");
}

TEST_F(BookmarkStore, MissingDataFolderIsCreatedInsteadOfLosingTheWrite)
{
    const QString path = FDir.filePath(QStringLiteral("program/Data/Mark.dat"));
    const TMarkWrite result = StoreBookmarks(path, Key(1), QStringLiteral("0/3"));
    EXPECT_TRUE(result.Written) << result.Error.toStdString();
    EXPECT_EQ(ReadAll(path), K1 + "=0/3\r\n");
}

TEST_F(BookmarkStore, UnreadableFileIsSkippedNotReplaced)
{
    // Tests may run as root, whom permissions do not stop; a folder can never be read as a file.
    ASSERT_TRUE(QDir(FDir.path()).mkpath(QStringLiteral("Mark.dat/inside")));
    const TMarkWrite result = StoreBookmarks(FPath, Key(1), QStringLiteral("0/3"));
    EXPECT_FALSE(result.Written);
    EXPECT_TRUE(result.Skipped);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_TRUE(QFileInfo(FPath).isDir());
    EXPECT_TRUE(QFileInfo::exists(FPath + QStringLiteral("/inside")));
}

TEST_F(BookmarkStore, LockHeldByAnotherCopyIsSkippedNotOverwritten)
{
    WriteFile(FPath, Others);
    QLockFile other(FPath + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock());
    const TMarkWrite result = StoreBookmarks(FPath, Key(1), QStringLiteral("0/3"), 100ms);
    EXPECT_FALSE(result.Written);
    EXPECT_TRUE(result.Skipped);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_EQ(ReadAll(FPath), Others);
}

TEST_F(BookmarkStore, KeyOrValueThatWouldBreakTheFileIsRefused)
{
    WriteFile(FPath, Others);
    for (const auto& [key, value] : {std::pair{Key(1), QStringLiteral("0/1\r\nX=1")},
                                     std::pair{QStringLiteral("A=B"), QStringLiteral("0/1")}}) {
        const TMarkWrite result = StoreBookmarks(FPath, key, value);
        EXPECT_TRUE(result.Skipped) << key.toStdString();
        EXPECT_FALSE(result.Error.isEmpty());
    }
    EXPECT_EQ(ReadAll(FPath), Others);
}

TEST_F(BookmarkStore, TwoCopiesWritingAtOnceBothKeepTheirLines)
{
    constexpr int PerWriter = 60;
    WriteFile(FPath, Others);
    std::latch start(2);
    auto writer = [&](int first) {
        start.arrive_and_wait();
        for (int i = first; i < first + PerWriter; ++i)
            StoreBookmarks(FPath, Key(i), QStringLiteral("0/%1").arg(i));
    };
    std::thread a(writer, 1000);
    std::thread b(writer, 2000);
    a.join();
    b.join();
    for (int first : {1000, 2000})
        for (int i = first; i < first + PerWriter; ++i)
            EXPECT_EQ(ReadBookmarks(FPath, Key(i)), QStringLiteral("0/%1").arg(i)) << i;
    EXPECT_TRUE(ReadAll(FPath).endsWith(Others));
}
