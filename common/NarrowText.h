#pragma once
// Text of the state files (settings, histories): the system's narrow code
// page, which is UTF-8 on Linux and the ANSI code page on Windows. Files are
// read as a stream of lines ended by CR, LF or CR LF; a damaged file with a
// huge line costs neither much time nor much memory, because over-long lines
// are skipped as they stream past instead of being collected.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

class QIODevice;

// No path or setting comes near this; a longer line is damage, not data.
constexpr qsizetype MaxStateLineBytes = 64 * 1024;

// Outcome of reading a state file. A missing file is not an error: the
// caller's defaults apply.
struct TReadResult {
    bool Ok = true;       // false when the file exists but could not be read
    bool Missing = false; // no file at the path
    QString Error;        // what went wrong, for the window to show or drop
};

QString NarrowToString(QByteArrayView bytes);
// Characters the code page cannot hold come out as '?' (Windows only).
QByteArray StringToNarrow(const QString& text);

using TLineSink = std::function<void(QByteArrayView line)>;

// Passes every line of the device to sink, without its line end, and skips
// lines longer than maxLineBytes. False when the device reports a read error;
// the complete lines before it have been passed on.
bool ForEachLine(QIODevice& device, const TLineSink& sink, qsizetype maxLineBytes = MaxStateLineBytes,
                 qsizetype chunkBytes = 1 << 20);

// ForEachLine over the file at path.
TReadResult ForEachFileLine(const QString& path, const TLineSink& sink,
                            qsizetype maxLineBytes = MaxStateLineBytes);
