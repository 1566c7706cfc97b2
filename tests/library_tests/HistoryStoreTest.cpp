#include "app/library/HistoryStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

QStringList Numbered(int count)
{
    QStringList entries;
    for (int i = 0; i < count; ++i)
        entries << QStringLiteral("/books/%1.txt").arg(i);
    return entries;
}

const QString Sep = QDir::separator();

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

class HistoryStore : public testing::Test {
protected:
    QTemporaryDir FDir;
    QString FPath = FDir.filePath(FileHistoryFileName);
};

} // namespace

TEST_F(HistoryStore, LoadDropsBlankLinesAndKeepsOthersAsRead)
{
    const char raw[] = "/a.txt\r\n\r\n   \r\n\t\x01\r\n  /b.txt \n\r/c.txt\r\0\r\n/d.txt";
    WriteFile(FPath, QByteArray(raw, sizeof(raw) - 1));
    const THistoryLoad loaded = LoadHistoryFile(FPath);
    EXPECT_TRUE(loaded.Status.Ok);
    EXPECT_EQ(loaded.Entries, (QStringList{"/a.txt", "  /b.txt ", "/c.txt", "/d.txt"}));
}

TEST_F(HistoryStore, LoadAppliesNoCountUntilTheNextAddition)
{
    ASSERT_TRUE(SaveHistoryFile(FPath, Numbered(40)).Ok);
    QStringList entries = LoadHistoryFile(FPath).Entries;
    EXPECT_EQ(entries, Numbered(40));

    AddHistoryEntry(entries, "/new.txt", 10);
    ASSERT_EQ(entries.size(), 10);
    EXPECT_EQ(entries.front(), "/new.txt");
    EXPECT_EQ(entries.back(), "/books/8.txt");
}

TEST_F(HistoryStore, MissingFileIsEmptyHistory)
{
    const THistoryLoad loaded = LoadHistoryFile(FPath);
    EXPECT_TRUE(loaded.Status.Ok);
    EXPECT_TRUE(loaded.Status.Missing);
    EXPECT_TRUE(loaded.Entries.isEmpty());
}

TEST_F(HistoryStore, GarbageFileCannotFloodTheMenu)
{
    QByteArray lines;
    for (int i = 0; i < MaxHistoryEntriesLoaded + 500; ++i)
        lines += "x\n";
    WriteFile(FPath, lines + QByteArray(MaxStateLineBytes + 1, 'y'));
    EXPECT_EQ(LoadHistoryFile(FPath).Entries.size(), MaxHistoryEntriesLoaded);
}

TEST_F(HistoryStore, SaveWritesCrLfLinesAndRoundTrips)
{
    const QStringList entries{QStringLiteral("D:\\小说\\三国演义.txt"), "/home/r/b.txt"};
    ASSERT_TRUE(SaveHistoryFile(FPath, entries).Ok);
    EXPECT_EQ(ReadAll(FPath), StringToNarrow(entries[0]) + "\r\n/home/r/b.txt\r\n");
    EXPECT_EQ(LoadHistoryFile(FPath).Entries, entries);
}

TEST_F(HistoryStore, ClearedHistoryLeavesAnEmptyFile)
{
    ASSERT_TRUE(SaveHistoryFile(FPath, Numbered(3)).Ok);
    ASSERT_TRUE(SaveHistoryFile(FPath, {}).Ok);
    EXPECT_TRUE(QFileInfo::exists(FPath));
    EXPECT_EQ(ReadAll(FPath), "");
}

TEST_F(HistoryStore, SaveIntoMissingFolderReportsError)
{
    const TSaveResult result = SaveHistoryFile(FDir.filePath("gone/Files.his"), Numbered(1));
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
}

TEST(HistoryList, ReopenedEntryMovesToTopInItsNewLetterCase)
{
    QStringList entries{"/books/a.txt", "/books/B.txt", "/books/c.txt"};
    EXPECT_TRUE(AddHistoryEntry(entries, "/BOOKS/b.TXT", 10));
    EXPECT_EQ(entries, (QStringList{"/BOOKS/b.TXT", "/books/a.txt", "/books/c.txt"}));

    QStringList accented{QStringLiteral("/书/Äpfel.txt"), "/x.txt"};
    AddHistoryEntry(accented, QStringLiteral("/书/äPFEL.txt"), 10);
    EXPECT_EQ(accented, (QStringList{QStringLiteral("/书/äPFEL.txt"), "/x.txt"}));
}

TEST(HistoryList, AdditionKeepsAtMostTheMaximumCount)
{
    const struct {
        int Start;
        int Max;
        int Expected;
    } cases[] = {{5, 5, 5}, {4, 5, 5}, {0, 5, 1}, {10, 3, 3}, {3, 0, 0}, {3, -2, 0}};
    for (const auto& c : cases) {
        QStringList entries = Numbered(c.Start);
        AddHistoryEntry(entries, "/sixth.txt", c.Max);
        EXPECT_EQ(entries.size(), c.Expected) << c.Start << " entries, max " << c.Max;
        if (c.Expected > 1) {
            EXPECT_EQ(entries.front(), "/sixth.txt");
            EXPECT_EQ(entries.mid(1), Numbered(c.Expected - 1)) << "the oldest entries go first";
        }
    }
}

TEST(HistoryList, DuplicatesFromAHandEditedFileAllGo)
{
    QStringList entries{"/a.txt", "/A.txt", "/b.txt", "/a.TXT"};
    AddHistoryEntry(entries, "/a.txt", 10);
    EXPECT_EQ(entries, (QStringList{"/a.txt", "/b.txt"}));
}

TEST(HistoryList, EntriesTheFileCannotHoldAreRefused)
{
    for (const QString& entry : {QString(), QStringLiteral("  "), QStringLiteral("\t\x01"),
                                 QStringLiteral("/a\nb.txt"), QStringLiteral("/a\rb.txt")}) {
        QStringList entries{"/a.txt"};
        EXPECT_FALSE(AddHistoryEntry(entries, entry, 10));
        EXPECT_FALSE(AddFolderHistoryEntry(entries, entry, 10));
        EXPECT_EQ(entries, QStringList{"/a.txt"});
    }
}

TEST(HistoryList, TrimCutsOnlyWhenCountIsLower)
{
    QStringList entries = Numbered(10);
    TrimHistory(entries, 30);
    EXPECT_EQ(entries, Numbered(10));
    TrimHistory(entries, 5);
    EXPECT_EQ(entries, Numbered(5));
    TrimHistory(entries, -1);
    EXPECT_TRUE(entries.isEmpty());
}

TEST(HistoryList, FolderEntriesEndWithOneSeparator)
{
    EXPECT_EQ(FolderHistoryEntry("/books"), Native("/books/"));
    EXPECT_EQ(FolderHistoryEntry("/books/"), Native("/books/"));
    EXPECT_EQ(FolderHistoryEntry("/"), Native("/"));
}

TEST(HistoryList, FolderInAnotherCaseAndWithSeparatorIsOneEntry)
{
    QStringList entries;
    AddFolderHistoryEntry(entries, Native("/data/Books"), 10);
    AddFolderHistoryEntry(entries, Native("/other"), 10);
    AddFolderHistoryEntry(entries, Native("/DATA/books/"), 10);
    EXPECT_EQ(entries, (QStringList{Native("/DATA/books/"), Native("/other/")}));

    // A hand-edited file may hold a folder without its separator.
    QStringList edited{Native("/data/books"), Native("/x/")};
    AddFolderHistoryEntry(edited, Native("/Data/Books"), 10);
    EXPECT_EQ(edited, (QStringList{Native("/Data/Books/"), Native("/x/")}));
}
