#include "app/library/FolderFiles.h"
#include "app/library/FileProperties.h"
#include "app/library/OpenWithStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

const QString Sep = QDir::separator();

// Sets the default locale for one test and puts the previous one back.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(FPrevious); }

private:
    QLocale FPrevious;
};

class FolderFiles : public testing::Test {
protected:
    QString Write(const QString& name, qint64 bytes = 1)
    {
        const QString path = FDir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
        file.write(QByteArray(bytes, 'x'));
        return path;
    }
    QString Folder(const QString& name)
    {
        const QString path = FDir.filePath(name);
        QDir().mkpath(path);
        return path;
    }
    static QStringList Paths(const std::vector<TListedFile>& files)
    {
        QStringList paths;
        for (const TListedFile& file : files)
            paths << file.Path;
        return paths;
    }

    QTemporaryDir FDir;
};

} // namespace

TEST(FormatFileSize, KilobytesRoundedHalfAwayFromZeroWithSeparators)
{
    const LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct {
        qint64 Size;
        const char* Text;
    } cases[] = {{0, "0KB"}, {1, "1KB"}, {1024, "1KB"}, {1025, "1KB"}, {1535, "1KB"}, {1536, "2KB"},
        {2047, "2KB"}, {1048576, "1,024KB"}, {1048575, "1,024KB"}, {5368709120LL, "5,242,880KB"},
        {UnknownFileSize, ""}, {-5, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatFileSize(c.Size), QString::fromLatin1(c.Text)) << c.Size;
}

TEST(FormatFileSize, ThousandsSeparatorIsTheLocales)
{
    const LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatFileSize(1048576), QStringLiteral("1.024KB"));
}

TEST_F(FolderFiles, FolderListsOnlyVisibleTextFilesInDirectoryOrder)
{
    const QString folder = Folder(QStringLiteral("shelf"));
    Write(QStringLiteral("shelf/A.TXT"), 1536);
    Write(QStringLiteral("shelf/b.txt"), 0);
    Write(QStringLiteral("shelf/.hidden.txt"));
    Write(QStringLiteral("shelf/notes.doc"));
    Write(QStringLiteral("shelf/old.txt.bak"));
    Folder(QStringLiteral("shelf/sub.txt"));
    Write(QStringLiteral("shelf/sub.txt/inner.txt"));
#ifndef _WIN32
    // A pipe would block the reader that opens it.
    ASSERT_EQ(mkfifo(QFile::encodeName(FDir.filePath(QStringLiteral("shelf/pipe.txt"))).constData(), 0600), 0);
#endif

    const std::vector<TListedFile> files = CollectFolderFiles(folder);
    const QString prefix = QDir::toNativeSeparators(folder) + Sep;
    // The listing keeps whatever order the directory gives.
    QStringList expected;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).fileName();
        if (name == QStringLiteral("A.TXT") || name == QStringLiteral("b.txt"))
            expected << prefix + name;
    }
    EXPECT_EQ(Paths(files), expected);
    for (const TListedFile& file : files)
        EXPECT_EQ(file.Size, file.Path.endsWith(QStringLiteral("A.TXT")) ? 1536 : 0);

    // A trailing separator does not double.
    EXPECT_EQ(Paths(CollectFolderFiles(folder + Sep)), expected);
}

TEST_F(FolderFiles, EmptyMissingOrNoTextFolderListsNothing)
{
    Write(QStringLiteral("docs/a.doc"));
    EXPECT_TRUE(CollectFolderFiles(QString()).empty());
    EXPECT_TRUE(CollectFolderFiles(FDir.filePath(QStringLiteral("gone"))).empty());
    EXPECT_TRUE(CollectFolderFiles(Folder(QStringLiteral("empty"))).empty());
    EXPECT_TRUE(CollectFolderFiles(FDir.filePath(QStringLiteral("docs"))).empty());
}

TEST_F(FolderFiles, DropListsFilesFirstThenEachFoldersFiles)
{
    const QString upper = Write(QStringLiteral("ONE.TXT"), 3000);
    const QString hidden = Write(QStringLiteral(".two.txt"));
    const QString doc = Write(QStringLiteral("three.doc"));
    const QString shelf = Folder(QStringLiteral("shelf"));
    const QString shelved = Write(QStringLiteral("shelf/in.txt"));
    const QString empty = Folder(QStringLiteral("empty"));
    Write(QStringLiteral("empty/readme.md"));

    const TDropFiles drop
        = CollectDroppedFiles({shelf, doc, upper, FDir.filePath(QStringLiteral("gone.txt")), empty, hidden});
    EXPECT_EQ(Paths(drop.Files), (QStringList {upper, hidden, QDir::toNativeSeparators(shelved)}));
    EXPECT_EQ(drop.Files[0].Size, 3000);
    EXPECT_EQ(drop.FoldersWithFiles, QStringList {shelf});

    const TDropFiles nothing = CollectDroppedFiles({doc, empty});
    EXPECT_TRUE(nothing.Files.empty());
    EXPECT_TRUE(nothing.FoldersWithFiles.isEmpty());
}

TEST_F(FolderFiles, DroppedPathsLongerThanTheOldBufferAreTaken)
{
    QString name = QStringLiteral("deep");
    for (int i = 0; i < 6; ++i)
        name += u'/' + QString(50, QChar(u'a' + i));
    const QString path = Write(name + QStringLiteral("/book.txt"), 10);
    ASSERT_GT(path.size(), 300);
    const TDropFiles drop = CollectDroppedFiles({path, FDir.filePath(QStringLiteral("deep"))});
    EXPECT_EQ(Paths(drop.Files), QStringList {path});
}

TEST_F(FolderFiles, SizeThatCannotBeReadIsUnknown)
{
    EXPECT_EQ(ReadFileSize(Write(QStringLiteral("a.txt"), 77)), 77);
    EXPECT_EQ(ReadFileSize(FDir.filePath(QStringLiteral("gone.txt"))), UnknownFileSize);
    EXPECT_EQ(ReadFileSize(Folder(QStringLiteral("dir.txt"))), UnknownFileSize);
#ifndef _WIN32
    const QString pipe = FDir.filePath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(ReadFileSize(pipe), UnknownFileSize) << "must not block on a pipe";
#endif
}

TEST_F(FolderFiles, PropertiesShowNameFolderSizesAndMode)
{
    const LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString path = Write(QStringLiteral("shelf/book.txt"), 1048576);
    QFile::setPermissions(
        path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const TFileProperties properties = ReadFileProperties(path);
    ASSERT_TRUE(properties.Exists);
    EXPECT_EQ(properties.Name, QStringLiteral("book.txt"));
    EXPECT_EQ(properties.Folder, QDir::toNativeSeparators(FDir.filePath(QStringLiteral("shelf"))) + Sep);
    EXPECT_EQ(properties.Size, 1048576);
    EXPECT_EQ(properties.SizeText, QStringLiteral("1,024KB (1,048,576 字节)"));
    EXPECT_TRUE(properties.Type.endsWith(QStringLiteral("(.txt)"))) << qPrintable(properties.Type);
    EXPECT_EQ(properties.Modified, QFileInfo(path).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
#ifndef _WIN32
    EXPECT_TRUE(properties.Permissions.endsWith(QStringLiteral("(rw-r--r--)"))) << qPrintable(properties.Permissions);
#endif
    EXPECT_FALSE(ReadFileProperties(FDir.filePath(QStringLiteral("gone.txt"))).Exists);
}

TEST(ModeText, LettersForEachBit)
{
    EXPECT_EQ(ModeText({}), QStringLiteral("---------"));
    EXPECT_EQ(ModeText(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ExeGroup
                  | QFileDevice::WriteOther),
        QStringLiteral("rwx--x-w-"));
}

TEST_F(FolderFiles, ChosenProgramIsKeptForTheNextRun)
{
    const QString store = FDir.filePath(QLatin1String(OpenWithFileName));
    EXPECT_EQ(LoadOpenWithProgram(store), QString());
    ASSERT_TRUE(SaveOpenWithProgram(store, QStringLiteral("/opt/阅读器/bin/view")).Ok);
    EXPECT_EQ(LoadOpenWithProgram(store), QStringLiteral("/opt/阅读器/bin/view"));
    EXPECT_FALSE(SaveOpenWithProgram(store, QStringLiteral("/a\nb")).Ok);
    EXPECT_EQ(LoadOpenWithProgram(store), QStringLiteral("/opt/阅读器/bin/view")) << "a refused save keeps the old one";
}

#ifndef _WIN32
TEST_F(FolderFiles, OnlyExecutablesAreAcceptedAsPrograms)
{
    const QString script = Write(QStringLiteral("bin/run"));
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString plain = Write(QStringLiteral("bin/plain"));
    EXPECT_EQ(ResolveProgram(script), script);
    EXPECT_EQ(ResolveProgram(QStringLiteral("  ") + script + QStringLiteral(" ")), script);
    EXPECT_EQ(ResolveProgram(QStringLiteral("sh")), QStandardPaths::findExecutable(QStringLiteral("sh")));
    EXPECT_FALSE(ResolveProgram(QStringLiteral("sh")).isEmpty());
    for (const QString& refused : {plain, FDir.filePath(QStringLiteral("bin")), FDir.filePath(QStringLiteral("gone")),
             QString(), QStringLiteral("no-such-command-anywhere")})
        EXPECT_EQ(ResolveProgram(refused), QString()) << qPrintable(refused);
}
#endif
