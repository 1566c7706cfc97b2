#pragma once
// "Data/Mark.dat": one line per book, "KEY=marks^readingpoint", where KEY is
// the book's content digest and every position is "offset/line" of a page's
// first display line. The file is read afresh for every lookup and every
// write, so other running copies of the reader keep their books' lines.

#include "app/model/PageModel.h"
#include "common/AtomicFile.h"

#include <QString>

#include <chrono>

inline constexpr char MarkFolderName[] = "Data";
inline constexpr char MarkFileName[] = "Mark.dat";
constexpr int MaxMarkLines = 1000;

// A write takes milliseconds; a lock older than this was left by a copy that
// died on another machine or whose process id was reused.
constexpr std::chrono::milliseconds MarkLockStaleTime{10000};
// Long enough to outwait another copy's write, short enough for window close.
constexpr std::chrono::milliseconds MarkLockWait{5000};

// The stored value of a book, or empty when the key is empty, has no line, or
// the file cannot be read. Names are compared without regard to letter case.
QString ReadBookmarks(const QString& markFile, const QString& key);

// The value of the open book: its marked pages, then "^" and the first
// position of the current page when that is page 2 or later and exists.
QString BuildMarkValue(const TPages& pages, int curPage);

// What a write did. Written: the file holds the new value. Skipped: the file
// was left alone, either because nothing had to change (no Error) or because
// writing would risk other books' lines (Error says why: the file exists but
// could not be read, or another copy held the lock too long). Neither: the
// write failed and Error says why.
struct TMarkWrite {
    bool Written = false;
    bool Skipped = false;
    QString Error;
};

// Stores value under key: a new book goes to the top, a changed one keeps its
// place, an empty value deletes the line; at most MaxMarkLines lines are
// kept, and every other line is written back byte for byte. Creates the
// folder when missing; atomic, and guarded by the lock file markFile + ".lock"
// so two copies writing at once both keep their lines.
TMarkWrite StoreBookmarks(const QString& markFile, const QString& key, const QString& value,
                          std::chrono::milliseconds lockWait = MarkLockWait);
