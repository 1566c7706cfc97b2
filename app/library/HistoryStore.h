#pragma once
// The lists of recently opened files and folders, most recent first, and
// their files "Files.his" and "Folders.his": one entry a line in the narrow
// code page, CR LF line ends, rewritten whole and atomically. Entries are
// compared without regard to letter case under the user's locale, so a list
// the program builds never holds one entry twice. Folder entries end with the
// platform's separator. The maximum count is applied on every addition, not
// on loading: a longer file shows all its entries until the next addition.
// To empty a history at exit but keep it listed during the run, save an
// empty list and leave the one in memory alone.

#include "common/AtomicFile.h"
#include "common/NarrowText.h"

#include <QString>
#include <QStringList>

inline constexpr char FileHistoryFileName[] = "Files.his";
inline constexpr char FolderHistoryFileName[] = "Folders.his";

// A damaged file cannot flood the menu: lines past this many entries are ignored.
constexpr int MaxHistoryEntriesLoaded = 1000;

struct THistoryLoad {
    QStringList Entries; // blank lines dropped, other lines exactly as read
    TReadResult Status;  // a missing file is an empty history, not an error
};

THistoryLoad LoadHistoryFile(const QString& path);
TSaveResult SaveHistoryFile(const QString& path, const QStringList& entries);

// Same entry for the history: equal when letter case is ignored.
bool SameHistoryEntry(const QString& a, const QString& b);

// Cuts the list to maxCount entries from its end; a negative count is 0.
void TrimHistory(QStringList& entries, int maxCount);

// Puts entry at the top in its letter case as given, dropping earlier
// occurrences, then trims. False, and the list unchanged, for an entry the
// file cannot hold: blank, or with a line break in it.
bool AddHistoryEntry(QStringList& entries, const QString& entry, int maxCount);

// The folder with the platform's separators and a trailing separator.
QString FolderHistoryEntry(const QString& folder);

// AddHistoryEntry for the folder, in its FolderHistoryEntry form; an entry
// already listed without its trailing separator counts as the same.
bool AddFolderHistoryEntry(QStringList& entries, const QString& folder, int maxCount);
