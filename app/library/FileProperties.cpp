#include "app/library/FileProperties.h"

#include "app/library/FolderFiles.h"
#include "common/AppPaths.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>

namespace {

QString TypeText(const QFileInfo& info)
{
    const QString description = QMimeDatabase().mimeTypeForFile(info).comment();
    const QString suffix = info.suffix();
    if (suffix.isEmpty())
        return description;
    return description + QStringLiteral(" (.") + suffix + u')';
}

QString PermissionText(const QFileInfo& info)
{
    QStringList may;
    if (info.isReadable())
        may << QStringLiteral("可读");
    if (info.isWritable())
        may << QStringLiteral("可写");
    if (info.isExecutable())
        may << QStringLiteral("可执行");
    const QString words = may.isEmpty() ? QStringLiteral("无权限") : may.join(QStringLiteral("、"));
    return words + QStringLiteral(" (") + ModeText(info.permissions()) + u')';
}

} // namespace

QString ModeText(QFileDevice::Permissions permissions)
{
    const QFileDevice::Permission bits[] = {
        QFileDevice::ReadOwner,
        QFileDevice::WriteOwner,
        QFileDevice::ExeOwner,
        QFileDevice::ReadGroup,
        QFileDevice::WriteGroup,
        QFileDevice::ExeGroup,
        QFileDevice::ReadOther,
        QFileDevice::WriteOther,
        QFileDevice::ExeOther,
    };
    const char letters[] = "rwx";
    QString text;
    for (int i = 0; i < 9; ++i)
        text += permissions.testFlag(bits[i]) ? QChar::fromLatin1(letters[i % 3]) : u'-';
    return text;
}

TFileProperties ReadFileProperties(const QString& path)
{
    TFileProperties properties;
    const QFileInfo info(path);
    properties.Name = info.fileName();
    properties.Folder = WithTrailingSeparator(info.absolutePath());
    properties.Exists = info.isFile();
    if (!properties.Exists)
        return properties;
    properties.Size = info.size();
    properties.SizeText = FormatFileSize(properties.Size) + QStringLiteral(" (") + QLocale().toString(properties.Size)
        + QStringLiteral(" 字节)");
    properties.Type = TypeText(info);
    properties.Modified = info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    properties.Permissions = PermissionText(info);
    return properties;
}
