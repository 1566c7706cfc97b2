#include "app/library/BookmarkStore.h"

#include "common/NarrowText.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// The value of line when its name is key, compared without regard to case.
std::optional<QByteArrayView> ValueForKey(QByteArrayView line, const QString& key)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    if (NarrowToString(line.first(equals)).compare(key, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return line.sliced(equals + 1);
}

bool HoldsLineBreak(const QString& text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

TMarkWrite SkippedBecause(const QString& why)
{
    return {false, true, why};
}

TMarkWrite FailedBecause(const QString& why)
{
    return {false, false, why};
}

struct TMarkLines {
    std::vector<QByteArray> Lines;
    TReadResult Status;
};

// Only the first MaxMarkLines lines can survive a write, so only they are kept.
TMarkLines LoadMarkLines(const QString& markFile)
{
    TMarkLines result;
    result.Status = ForEachFileLine(markFile, [&](QByteArrayView line) {
        if (result.Lines.size() < MaxMarkLines)
            result.Lines.emplace_back(line.toByteArray());
    });
    return result;
}

QByteArray JoinLines(const std::vector<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

} // namespace

QString ReadBookmarks(const QString& markFile, const QString& key)
{
    if (key.isEmpty())
        return {};
    std::optional<QString> found;
    ForEachFileLine(markFile, [&](QByteArrayView line) {
        if (found)
            return;
        if (const auto value = ValueForKey(line, key))
            found = NarrowToString(*value);
    });
    // Lines before a read error are whole, so a value found there is sound.
    return found.value_or(QString());
}

QString BuildMarkValue(const TPages& pages, int curPage)
{
    QString value;
    for (const TOnePage& page : pages) {
        if (!page.Bookmarked)
            continue;
        if (!value.isEmpty())
            value += u'|';
        value += PositionText(page.LinePos[0]);
    }
    // The current page may still name a page of the previous book.
    if (curPage > 1 && static_cast<size_t>(curPage) <= pages.size())
        value += u'^' + PositionText(pages[curPage - 1].LinePos[0]);
    return value;
}

TMarkWrite StoreBookmarks(const QString& markFile, const QString& key, const QString& value,
                          std::chrono::milliseconds lockWait)
{
    if (key.isEmpty() || key.contains(u'=') || HoldsLineBreak(key) || HoldsLineBreak(value))
        return SkippedBecause(QStringLiteral("bookmark key or value cannot be stored: ") + key);

    const QString folder = QFileInfo(markFile).absolutePath();
    if (!QDir().mkpath(folder))
        return FailedBecause(QDir::toNativeSeparators(folder) + QStringLiteral(": cannot create the folder"));

    QLockFile lock(markFile + QStringLiteral(".lock"));
    lock.setStaleLockTime(MarkLockStaleTime);
    if (!lock.tryLock(lockWait))
        return SkippedBecause(QDir::toNativeSeparators(markFile) +
                              QStringLiteral(": another copy of the program holds it locked"));

    // Rewriting from a partial read would drop the other books' lines.
    TMarkLines loaded = LoadMarkLines(markFile);
    if (!loaded.Status.Ok)
        return SkippedBecause(QDir::toNativeSeparators(markFile) + QStringLiteral(": ") + loaded.Status.Error);

    std::vector<QByteArray>& lines = loaded.Lines;
    const QByteArray newLine = StringToNarrow(key + u'=' + value);
    const auto found = std::find_if(lines.begin(), lines.end(),
                                    [&](const QByteArray& line) { return ValueForKey(line, key).has_value(); });
    if (found == lines.end()) {
        if (value.isEmpty())
            return SkippedBecause({});
        lines.insert(lines.begin(), newLine);
    } else if (value.isEmpty()) {
        lines.erase(found);
    } else {
        if (NarrowToString(*ValueForKey(*found, key)) == value)
            return SkippedBecause({});
        *found = newLine;
    }
    if (lines.size() > MaxMarkLines)
        lines.resize(MaxMarkLines);

    const TSaveResult saved = WriteFileAtomically(markFile, JoinLines(lines));
    if (!saved)
        return FailedBecause(saved.Error);
    return {true, false, {}};
}
