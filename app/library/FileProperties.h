#pragma once
// What the properties sheet of a listed file shows, gathered from the file
// system, ready to display.

#include <QFileDevice>
#include <QString>

struct TFileProperties {
    bool Exists = false;
    QString Name; // with extension, without folder
    QString Folder; // with trailing separator
    qint64 Size = 0; // bytes
    QString SizeText; // FormatFileSize, then the byte count with thousands separators
    QString Type; // the desktop's description of the type, and the extension
    QString Modified; // local time, "yyyy-MM-dd HH:mm:ss"
    QString Permissions; // what the user may do, in words, and the mode bits
};

TFileProperties ReadFileProperties(const QString& path);

// "rw-r--r--" for the owner, group and others.
QString ModeText(QFileDevice::Permissions permissions);
