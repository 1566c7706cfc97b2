#pragma once
// Writes a whole state file so that readers see either the old content or
// the new one, never a mixture: the bytes go to a temporary file in the same
// folder, which then replaces the target by a rename. On any failure the
// temporary file is removed and the target is left as it was.

#include <QByteArray>
#include <QString>

struct TSaveResult {
    bool Ok = true;
    QString Error; // what went wrong, empty on success

    explicit operator bool() const { return Ok; }
};

TSaveResult WriteFileAtomically(const QString& path, const QByteArray& bytes);
