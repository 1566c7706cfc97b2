#include "app/library/HistoryStore.h"

#include <QDir>
#include <QLocale>

#include <algorithm>

namespace {

bool IsBlankEntry(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; });
}

bool IsStorableEntry(const QString& text)
{
    return !IsBlankEntry(text) && !text.contains(u'\r') && !text.contains(u'\n');
}

} // namespace

THistoryLoad LoadHistoryFile(const QString& path)
{
    THistoryLoad result;
    result.Status = ForEachFileLine(path, [&](QByteArrayView line) {
        if (result.Entries.size() >= MaxHistoryEntriesLoaded)
            return;
        QString entry = NarrowToString(line);
        if (!IsBlankEntry(entry))
            result.Entries.append(std::move(entry));
    });
    return result;
}

TSaveResult SaveHistoryFile(const QString& path, const QStringList& entries)
{
    QString text;
    for (const QString& entry : entries)
        if (IsStorableEntry(entry))
            text += entry + QStringLiteral("\r\n");
    return WriteFileAtomically(path, StringToNarrow(text));
}

bool SameHistoryEntry(const QString& a, const QString& b)
{
    const QLocale locale;
    return locale.toLower(a) == locale.toLower(b);
}

void TrimHistory(QStringList& entries, int maxCount)
{
    const qsizetype keep = std::max(maxCount, 0);
    if (entries.size() > keep)
        entries.resize(keep);
}

bool AddHistoryEntry(QStringList& entries, const QString& entry, int maxCount)
{
    if (!IsStorableEntry(entry))
        return false;
    entries.removeIf([&](const QString& listed) { return SameHistoryEntry(listed, entry); });
    entries.prepend(entry);
    TrimHistory(entries, maxCount);
    return true;
}

QString FolderHistoryEntry(const QString& folder)
{
    QString entry = QDir::toNativeSeparators(folder);
    if (!entry.endsWith(QDir::separator()))
        entry += QDir::separator();
    return entry;
}

bool AddFolderHistoryEntry(QStringList& entries, const QString& folder, int maxCount)
{
    if (!IsStorableEntry(folder))
        return false;
    const QString entry = FolderHistoryEntry(folder);
    entries.removeIf([&](const QString& listed) { return SameHistoryEntry(FolderHistoryEntry(listed), entry); });
    return AddHistoryEntry(entries, entry, maxCount);
}
