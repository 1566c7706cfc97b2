#include "common/AtomicFile.h"

#include <QDir>
#include <QSaveFile>

namespace {

TSaveResult Failed(const QString& path, const QString& why)
{
    return {false, QDir::toNativeSeparators(path) + QStringLiteral(": ") + why};
}

} // namespace

TSaveResult WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    // QSaveFile never falls back to writing the target in place unless asked
    // to, so a folder without write access fails here and touches nothing.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failed(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return Failed(path, why);
    }
    if (!file.commit())
        return Failed(path, file.errorString());
    return {};
}
