#include "common/NarrowText.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

QString NarrowToString(QByteArrayView bytes)
{
    // Qt takes the 8-bit local encoding to be UTF-8 on Unix and CP_ACP on Windows.
    return QString::fromLocal8Bit(bytes);
}

QByteArray StringToNarrow(const QString& text)
{
    return text.toLocal8Bit();
}

namespace {

// Cuts a stream of chunks into lines. A CR LF split across two chunks is one
// line end; a line that grows past the limit is dropped as it streams past.
class TLineSplitter {
public:
    TLineSplitter(const TLineSink& sink, qsizetype maxLineBytes) : FSink(sink), FMax(maxLineBytes) {}

    void feed(QByteArrayView chunk)
    {
        qsizetype pos = 0;
        if (FPendingCR && !chunk.isEmpty() && chunk.front() == '\n')
            pos = 1;
        FPendingCR = false;
        const qsizetype n = chunk.size();
        while (pos < n) {
            qsizetype end = pos;
            while (end < n && chunk[end] != '\r' && chunk[end] != '\n')
                ++end;
            keep(chunk.sliced(pos, end - pos));
            if (end == n)
                return;
            finishLine();
            if (chunk[end] == '\r') {
                if (end + 1 == n)
                    FPendingCR = true;
                else if (chunk[end + 1] == '\n')
                    ++end;
            }
            pos = end + 1;
        }
    }

    void finish()
    {
        if (FSkipping || !FCarry.isEmpty())
            finishLine();
    }

private:
    void keep(QByteArrayView piece)
    {
        if (FSkipping)
            return;
        if (FCarry.size() + piece.size() > FMax) {
            FSkipping = true;
            FCarry = QByteArray();
            return;
        }
        FCarry.append(piece);
    }

    void finishLine()
    {
        if (!FSkipping)
            FSink(FCarry);
        FCarry.clear();
        FSkipping = false;
    }

    const TLineSink& FSink;
    const qsizetype FMax;
    QByteArray FCarry;
    bool FSkipping = false;
    bool FPendingCR = false;
};

} // namespace

bool ForEachLine(QIODevice& device, const TLineSink& sink, qsizetype maxLineBytes, qsizetype chunkBytes)
{
    TLineSplitter splitter(sink, maxLineBytes);
    QByteArray chunk(chunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.read(chunk.data(), chunkBytes);
        if (got < 0)
            return false; // the line cut short by the error is not passed on
        if (got == 0)
            break;
        splitter.feed(QByteArrayView(chunk.constData(), got));
    }
    splitter.finish();
    return true;
}

TReadResult ForEachFileLine(const QString& path, const TLineSink& sink, qsizetype maxLineBytes)
{
    TReadResult result;
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        result.Missing = true;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.Ok = false;
        result.Error = file.errorString();
        return result;
    }
    if (!ForEachLine(file, sink, maxLineBytes)) {
        result.Ok = false;
        result.Error = file.errorString();
    }
    return result;
}
