#include "common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

class AtomicFile : public testing::Test {
protected:
    QTemporaryDir FDir;
    QString FPath = FDir.filePath("Files.his");
};

} // namespace

TEST_F(AtomicFile, WritesNewFileAndLeavesNoTemporaryFile)
{
    const TSaveResult result = WriteFileAtomically(FPath, "a\r\nb\r\n");
    EXPECT_TRUE(result.Ok);
    EXPECT_TRUE(result.Error.isEmpty());
    EXPECT_EQ(ReadAll(FPath), "a\r\nb\r\n");
    EXPECT_EQ(Entries(FDir.path()), QStringList{"Files.his"});
}

TEST_F(AtomicFile, ReplacesExistingFileWhole)
{
    ASSERT_TRUE(WriteFileAtomically(FPath, QByteArray(1000, 'x')).Ok);
    ASSERT_TRUE(WriteFileAtomically(FPath, "short").Ok);
    EXPECT_EQ(ReadAll(FPath), "short");
    ASSERT_TRUE(WriteFileAtomically(FPath, "").Ok);
    EXPECT_TRUE(QFileInfo::exists(FPath));
    EXPECT_EQ(ReadAll(FPath), "");
    EXPECT_EQ(Entries(FDir.path()), QStringList{"Files.his"});
}

TEST_F(AtomicFile, MissingFolderIsAnErrorAndCreatesNothing)
{
    const TSaveResult result = WriteFileAtomically(FDir.filePath("Data/Mark.dat"), "x");
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_TRUE(Entries(FDir.path()).isEmpty());
}

TEST_F(AtomicFile, FolderInPlaceOfTargetIsAnErrorAndStaysAsItWas)
{
    ASSERT_TRUE(QDir(FDir.path()).mkdir("Options.ini"));
    const TSaveResult result = WriteFileAtomically(FDir.filePath("Options.ini"), "x");
    EXPECT_FALSE(result.Ok);
    EXPECT_TRUE(QFileInfo(FDir.filePath("Options.ini")).isDir());
    EXPECT_EQ(Entries(FDir.path()), QStringList{"Options.ini"});
}

TEST_F(AtomicFile, ReadOnlyFolderIsAnErrorAndOriginalStaysUnchanged)
{
    ASSERT_TRUE(WriteFileAtomically(FPath, "original").Ok);
    QFile::setPermissions(FDir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool stillWritable = QTemporaryFile(FDir.filePath("probe-XXXXXX")).open();
    if (stillWritable) {
        QFile::setPermissions(FDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "folder permissions do not bind this user (root)";
    }

    const TSaveResult result = WriteFileAtomically(FPath, "replacement");
    QFile::setPermissions(FDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_EQ(ReadAll(FPath), "original");
    EXPECT_EQ(Entries(FDir.path()), QStringList{"Files.his"});
}
