#pragma once
// Collecting the text files of a folder or of a drop for the file list.

#include <QString>
#include <QStringList>

#include <vector>

struct TListedFile {
    QString Path;
    qint64 Size = 0;
};

// True for a name ending in ".txt" in any letter case.
bool IsTextFileName(const QString& path);

// The folder's "*.txt" files (any letter case), hidden and system entries and
// sub-folders left out, read-only files kept, in the order the directory
// listing gives them: the reader never sorts a folder.
std::vector<TListedFile> CollectFolderFiles(const QString& folder);

// What a drop (or a command line) brings: its text files first, in drop
// order, then the text files of each folder; FoldersWithFiles names the
// folders that brought at least one file.
struct TDropFiles {
    std::vector<TListedFile> Files;
    QStringList FoldersWithFiles;
};
TDropFiles CollectDroppedFiles(const QStringList& paths);

// "0KB", "1KB" up to 1024 bytes, then kilobytes rounded half away from zero
// with the user's locale's thousands separator.
QString FormatFileSize(qint64 size);
