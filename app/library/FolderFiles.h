#pragma once
// Collecting the text files of a folder or of a drop for the file list.

#include <QString>
#include <QStringList>

#include <vector>

// A size that could not be read: the file list shows no size text for it.
constexpr qint64 UnknownFileSize = -1;

struct TListedFile {
    QString Path;
    qint64 Size = 0; // bytes, or UnknownFileSize
};

// The size of a file, read by opening it for reading; UnknownFileSize when it
// is not a regular file or cannot be opened.
qint64 ReadFileSize(const QString& path);

// True for a name ending in ".txt" in any letter case.
bool IsTextFileName(const QString& path);

// The folder's "*.txt" files (any letter case), hidden and system entries and
// sub-folders left out, read-only files kept, in the order the directory
// listing gives them: the reader never sorts a folder. Each path is the folder
// with its trailing separator (WithTrailingSeparator) followed by the name.
std::vector<TListedFile> CollectFolderFiles(const QString& folder);

// What a drop (or a command line) brings: its text files first, in drop
// order, with sizes read by opening them, then the text files of each folder;
// FoldersWithFiles names the folders that brought at least one file. Paths
// of any length are taken as they come.
struct TDropFiles {
    std::vector<TListedFile> Files;
    QStringList FoldersWithFiles;
};
TDropFiles CollectDroppedFiles(const QStringList& paths);

// "0KB", "1KB" up to 1024 bytes, then kilobytes rounded half away from zero
// with the user's locale's thousands separator; empty for UnknownFileSize
// (any negative size).
QString FormatFileSize(qint64 size);
