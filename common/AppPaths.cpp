#include "common/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

struct TAppDirs {
    QMutex Lock;
    QString TestProgramDir;
    QString TestStateDir;
    QString StateDir; // chosen on first use
};

TAppDirs& Dirs()
{
    static TAppDirs dirs;
    return dirs;
}

// Folder permissions lie on Windows (ACLs, virtualised Program Files), so the
// only trustworthy test is to create a file there.
bool CanCreateFileIn(const QString& folder)
{
    if (!QDir(folder).exists())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("write-probe-XXXXXX")));
    return probe.open();
}

QString RealProgramDir()
{
    // Without an application object Qt cannot tell; the working folder is the best guess.
    if (!QCoreApplication::instance())
        return WithTrailingSeparator(QDir::currentPath());
    return WithTrailingSeparator(QCoreApplication::applicationDirPath());
}

} // namespace

QString WithTrailingSeparator(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    QString native = QDir::toNativeSeparators(folder);
    const QChar separator = QDir::separator();
    while (native.size() > 1 && native.endsWith(separator))
        native.chop(1);
    if (!native.endsWith(separator))
        native += separator;
    return native;
}

QString ChooseStateDir(const QString& programDir, const QString& fallbackDir)
{
    if (!programDir.isEmpty() && CanCreateFileIn(programDir))
        return WithTrailingSeparator(programDir);
    if (fallbackDir.isEmpty() || !QDir().mkpath(fallbackDir))
        return {};
    return WithTrailingSeparator(fallbackDir);
}

QString ProgramDir()
{
    TAppDirs& dirs = Dirs();
    QMutexLocker locker(&dirs.Lock);
    if (!dirs.TestProgramDir.isEmpty())
        return dirs.TestProgramDir;
    return RealProgramDir();
}

QString StateDir()
{
    TAppDirs& dirs = Dirs();
    QMutexLocker locker(&dirs.Lock);
    if (!dirs.TestStateDir.isEmpty())
        return dirs.TestStateDir;
    if (dirs.StateDir.isEmpty()) {
        dirs.StateDir = ChooseStateDir(RealProgramDir(),
                                       QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        // With nowhere to write, saves fail with a message; reads find nothing.
        if (dirs.StateDir.isEmpty())
            dirs.StateDir = RealProgramDir();
    }
    return dirs.StateDir;
}

void SetAppDirsForTesting(const QString& programDir, const QString& stateDir)
{
    TAppDirs& dirs = Dirs();
    QMutexLocker locker(&dirs.Lock);
    dirs.TestProgramDir = programDir.isEmpty() ? QString() : WithTrailingSeparator(programDir);
    dirs.TestStateDir = stateDir.isEmpty() ? QString() : WithTrailingSeparator(stateDir);
}
