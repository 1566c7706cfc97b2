#include "common/AppPaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

const QString Sep = QDir::separator();

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool Writable(const QString& folder)
{
    return QTemporaryFile(QDir(folder).filePath("probe-XXXXXX")).open();
}

} // namespace

TEST(AppPaths, TrailingSeparatorIsAddedOnce)
{
    const struct {
        QString In;
        QString Out;
    } cases[] = {
        {"/a/b", Native("/a/b/")}, {"/a/b/", Native("/a/b/")}, {"/a/b//", Native("/a/b/")},
        {"/", Native("/")},        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithTrailingSeparator(c.In), c.Out) << c.In.toStdString();
}

TEST(AppPaths, TestFoldersOverrideAndReset)
{
    QTemporaryDir program;
    QTemporaryDir state;
    SetAppDirsForTesting(program.path(), state.path());
    EXPECT_EQ(ProgramDir(), Native(program.path()) + Sep);
    EXPECT_EQ(StateDir(), Native(state.path()) + Sep);

    SetAppDirsForTesting({}, {});
    EXPECT_NE(ProgramDir(), Native(program.path()) + Sep);
    EXPECT_TRUE(ProgramDir().endsWith(Sep));
}

TEST(AppPaths, WritableProgramFolderHoldsTheState)
{
    QTemporaryDir program;
    QTemporaryDir user;
    const QString fallback = user.filePath("Quillmere");
    EXPECT_EQ(ChooseStateDir(program.path(), fallback), Native(program.path()) + Sep);
    EXPECT_TRUE(QDir(program.path()).isEmpty()) << "the write probe was left behind";
    EXPECT_FALSE(QDir(fallback).exists());
}

TEST(AppPaths, MissingProgramFolderFallsBackToUserFolder)
{
    QTemporaryDir user;
    const QString fallback = user.filePath("data/Quillmere");
    EXPECT_EQ(ChooseStateDir(user.filePath("gone"), fallback), Native(fallback) + Sep);
    EXPECT_TRUE(QDir(fallback).exists());
}

TEST(AppPaths, ReadOnlyProgramFolderFallsBackToUserFolder)
{
    QTemporaryDir program;
    QTemporaryDir user;
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (Writable(program.path())) {
        QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "folder permissions do not bind this user (root)";
    }
    const QString fallback = user.filePath("Quillmere");
    const QString chosen = ChooseStateDir(program.path(), fallback);
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(chosen, Native(fallback) + Sep);
}

TEST(AppPaths, NoUsableFolderGivesEmpty)
{
    QTemporaryDir user;
    QFile blocker(user.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // A folder below a plain file can be neither written nor created.
    EXPECT_EQ(ChooseStateDir(user.filePath("file/program"), user.filePath("file/data")), "");
}
