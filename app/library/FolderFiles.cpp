#include "app/library/FolderFiles.h"

#include "common/AppPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>

qint64 ReadFileSize(const QString& path)
{
    // Only regular files: opening a pipe or a device for reading could block.
    if (!QFileInfo(path).isFile())
        return UnknownFileSize;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return UnknownFileSize;
    return file.size();
}

bool IsTextFileName(const QString& path)
{
    return path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
}

std::vector<TListedFile> CollectFolderFiles(const QString& folder)
{
    std::vector<TListedFile> files;
    if (folder.isEmpty())
        return files;
    const QString prefix = WithTrailingSeparator(folder);
    // No sorting flag: the directory's own order is the order the user sees.
    // Without QDir::Hidden and QDir::System, hidden files, pipes, sockets and
    // devices stay out.
    QDirIterator it(folder, {QStringLiteral("*.txt")}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isHidden() || !IsTextFileName(info.fileName()))
            continue;
        files.push_back({prefix + info.fileName(), info.size()});
    }
    return files;
}

TDropFiles CollectDroppedFiles(const QStringList& paths)
{
    TDropFiles drop;
    QStringList folders;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isFile()) {
            if (IsTextFileName(path))
                drop.Files.push_back({path, ReadFileSize(path)});
        } else if (info.isDir()) {
            folders << path;
        }
    }
    for (const QString& folder : folders) {
        std::vector<TListedFile> files = CollectFolderFiles(folder);
        if (files.empty())
            continue;
        drop.FoldersWithFiles << folder;
        drop.Files.insert(drop.Files.end(), files.begin(), files.end());
    }
    return drop;
}

QString FormatFileSize(qint64 size)
{
    if (size < 0)
        return {};
    if (size == 0)
        return QStringLiteral("0KB");
    if (size <= 1024)
        return QStringLiteral("1KB");
    const double kilobytes = std::round(static_cast<double>(size) / 1024.0);
    return QLocale().toString(static_cast<qlonglong>(kilobytes)) + QStringLiteral("KB");
}
