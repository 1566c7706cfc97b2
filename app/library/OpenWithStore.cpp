#include "app/library/OpenWithStore.h"

#include "common/NarrowText.h"

#include <QFileInfo>
#include <QStandardPaths>

QString LoadOpenWithProgram(const QString& path)
{
    QString program;
    ForEachFileLine(path, [&](QByteArrayView line) {
        if (program.isEmpty())
            program = NarrowToString(line).trimmed();
    });
    return program;
}

TSaveResult SaveOpenWithProgram(const QString& path, const QString& program)
{
    if (program.contains(u'\r') || program.contains(u'\n'))
        return {false, QStringLiteral("line break in the program path")};
    return WriteFileAtomically(path, StringToNarrow(program) + "\r\n");
}

QString ResolveProgram(const QString& text)
{
    const QString program = text.trimmed();
    if (program.isEmpty())
        return {};
    const QFileInfo info(program);
    if (info.isAbsolute() || program.contains(u'/'))
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    return QStandardPaths::findExecutable(program);
}
