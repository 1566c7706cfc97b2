#include "app/view/AniCursor.h"

#include <QFile>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

// Little-endian reads that fail instead of reading past the end.
class TBytes {
public:
    explicit TBytes(QByteArrayView data) : FData(data) {}

    qsizetype size() const { return FData.size(); }
    bool has(qsizetype offset, qsizetype length) const
    {
        return offset >= 0 && length >= 0 && offset <= FData.size() && length <= FData.size() - offset;
    }
    std::optional<uint32_t> u32(qsizetype offset) const
    {
        if (!has(offset, 4))
            return std::nullopt;
        const auto* p = reinterpret_cast<const uint8_t*>(FData.data() + offset);
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    std::optional<uint16_t> u16(qsizetype offset) const
    {
        if (!has(offset, 2))
            return std::nullopt;
        const auto* p = reinterpret_cast<const uint8_t*>(FData.data() + offset);
        return uint16_t(p[0] | p[1] << 8);
    }
    uint8_t u8(qsizetype offset) const { return static_cast<uint8_t>(FData[offset]); } // caller checked
    bool tagAt(qsizetype offset, const char* tag) const
    {
        return has(offset, 4) && std::memcmp(FData.data() + offset, tag, 4) == 0;
    }
    QByteArrayView view(qsizetype offset, qsizetype length) const { return FData.sliced(offset, length); }

private:
    QByteArrayView FData;
};

TCursorFrameRead Failed(const QString& error)
{
    TCursorFrameRead result;
    result.Error = error;
    return result;
}

TCursorFrameRead ReadPng(QByteArrayView data)
{
    QImage image = QImage::fromData(data, "PNG");
    if (image.isNull())
        return Failed(QStringLiteral("unreadable PNG image"));
    if (image.width() > MaxCursorSide || image.height() > MaxCursorSide)
        return Failed(QStringLiteral("image too large"));
    TCursorFrameRead result;
    result.Frame.Image = image.convertToFormat(QImage::Format_ARGB32);
    return result;
}

TCursorFrameRead ReadDib(QByteArrayView data)
{
    const TBytes b(data);
    const auto headerSize = b.u32(0);
    if (!headerSize || *headerSize < 40 || !b.has(0, *headerSize))
        return Failed(QStringLiteral("bad bitmap header"));
    const auto width = static_cast<int32_t>(*b.u32(4));
    const auto doubledHeight = static_cast<int32_t>(*b.u32(8));
    const int bpp = *b.u16(14);
    const uint32_t compression = *b.u32(16);
    const uint32_t colorsUsed = *b.u32(32);
    // The height counts the colour bitmap and the mask below it.
    const int height = doubledHeight / 2;
    if (width <= 0 || width > MaxCursorSide || height <= 0 || height > MaxCursorSide)
        return Failed(QStringLiteral("bad bitmap size"));
    if (compression != 0)
        return Failed(QStringLiteral("compressed bitmap"));
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return Failed(QStringLiteral("unsupported bit depth %1").arg(bpp));

    std::vector<QRgb> palette;
    qsizetype offset = *headerSize;
    if (bpp <= 8) {
        const uint32_t maxColors = 1u << bpp;
        const uint32_t colors = colorsUsed == 0 ? maxColors : colorsUsed;
        if (colors > maxColors || !b.has(offset, qsizetype(colors) * 4))
            return Failed(QStringLiteral("bad palette"));
        for (uint32_t i = 0; i < colors; ++i, offset += 4)
            palette.push_back(qRgb(b.u8(offset + 2), b.u8(offset + 1), b.u8(offset)));
        palette.resize(maxColors, qRgb(0, 0, 0)); // indices past the palette read black
    }
    const qsizetype colorStride = ((qsizetype(width) * bpp + 31) / 32) * 4;
    const qsizetype maskStride = ((qsizetype(width) + 31) / 32) * 4;
    const qsizetype colorOffset = offset;
    const qsizetype maskOffset = colorOffset + colorStride * height;
    if (!b.has(colorOffset, colorStride * height))
        return Failed(QStringLiteral("bitmap data cut short"));
    // 32-bit images carry their transparency in alpha; the mask may be left out.
    const bool hasMask = b.has(maskOffset, maskStride * height);
    if (!hasMask && bpp != 32)
        return Failed(QStringLiteral("mask cut short"));

    QImage image(width, height, QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const qsizetype row = colorOffset + colorStride * (height - 1 - y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (bpp) {
            case 32: {
                const qsizetype p = row + qsizetype(x) * 4;
                const int alpha = b.u8(p + 3);
                anyAlpha = anyAlpha || alpha != 0;
                line[x] = qRgba(b.u8(p + 2), b.u8(p + 1), b.u8(p), alpha);
                break;
            }
            case 24: {
                const qsizetype p = row + qsizetype(x) * 3;
                line[x] = qRgb(b.u8(p + 2), b.u8(p + 1), b.u8(p));
                break;
            }
            default: {
                const qsizetype bit = qsizetype(x) * bpp;
                const int shift = 8 - bpp - int(bit % 8);
                const int index = (b.u8(row + bit / 8) >> shift) & ((1 << bpp) - 1);
                line[x] = palette[index];
                break;
            }
            }
        }
    }
    if (bpp == 32 && anyAlpha)
        return {{image, {}}, {}};
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const qsizetype row = maskOffset + maskStride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            // Set mask bits are transparent (or inverted screen, which a
            // portable cursor cannot show; transparent is the safe reading).
            const bool transparent = hasMask && (b.u8(row + x / 8) >> (7 - x % 8)) & 1;
            line[x] = transparent ? qRgba(0, 0, 0, 0) : (line[x] | 0xFF000000u);
        }
    }
    return {{image, {}}, {}};
}

struct TIconEntry {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    QPoint HotSpot;
    QByteArrayView Data;
};

} // namespace

TCursorFrameRead ReadIconImage(QByteArrayView data)
{
    const TBytes b(data);
    const auto reserved = b.u16(0);
    const auto type = b.u16(2);
    const auto count = b.u16(4);
    if (!reserved || !type || !count || *reserved != 0 || (*type != 1 && *type != 2))
        return Failed(QStringLiteral("not an icon or cursor"));
    if (*count == 0 || !b.has(6, qsizetype(*count) * 16))
        return Failed(QStringLiteral("bad icon directory"));
    const bool isCursor = *type == 2;

    std::vector<TIconEntry> entries;
    for (int i = 0; i < *count; ++i) {
        const qsizetype e = 6 + qsizetype(i) * 16;
        const uint32_t length = *b.u32(e + 8);
        const uint32_t offset = *b.u32(e + 12);
        if (!b.has(offset, length) || length == 0)
            continue;
        TIconEntry entry;
        entry.Width = b.u8(e) == 0 ? 256 : b.u8(e);
        entry.Height = b.u8(e + 1) == 0 ? 256 : b.u8(e + 1);
        // Cursors keep the hot spot where icons keep planes and bit depth.
        const uint16_t field1 = *b.u16(e + 4);
        const uint16_t field2 = *b.u16(e + 6);
        entry.BitCount = isCursor ? 0 : field2;
        entry.HotSpot = isCursor ? QPoint(field1, field2) : QPoint(-1, -1);
        entry.Data = b.view(offset, length);
        entries.push_back(entry);
    }
    if (entries.empty())
        return Failed(QStringLiteral("icon images lie outside the data"));
    std::stable_sort(entries.begin(), entries.end(), [](const TIconEntry& a, const TIconEntry& c) {
        if (a.Width * a.Height != c.Width * c.Height)
            return a.Width * a.Height > c.Width * c.Height;
        return a.BitCount > c.BitCount;
    });

    QString firstError;
    for (const TIconEntry& entry : entries) {
        static constexpr char PngSignature[] = "\x89PNG\r\n\x1a\n";
        const bool isPng = entry.Data.size() >= 8 && std::memcmp(entry.Data.data(), PngSignature, 8) == 0;
        TCursorFrameRead read = isPng ? ReadPng(entry.Data) : ReadDib(entry.Data);
        if (!read.ok()) {
            if (firstError.isEmpty())
                firstError = read.Error;
            continue;
        }
        const QSize size = read.Frame.Image.size();
        QPoint hot = entry.HotSpot.x() < 0 ? QPoint(size.width() / 2, size.height() / 2) : entry.HotSpot;
        hot.setX(std::clamp(hot.x(), 0, size.width() - 1));
        hot.setY(std::clamp(hot.y(), 0, size.height() - 1));
        read.Frame.HotSpot = hot;
        return read;
    }
    return Failed(firstError);
}

namespace {

TAniCursorData AniFailed(const QString& error)
{
    TAniCursorData data;
    data.Error = error;
    return data;
}

std::vector<uint32_t> ReadDwords(const TBytes& b, qsizetype offset, qsizetype length)
{
    std::vector<uint32_t> values;
    for (qsizetype i = 0; i + 4 <= length; i += 4)
        values.push_back(*b.u32(offset + i));
    return values;
}

} // namespace

TAniCursorData ReadAniCursor(QByteArrayView data)
{
    const TBytes b(data);
    if (!b.tagAt(0, "RIFF") || !b.tagAt(8, "ACON"))
        return AniFailed(QStringLiteral("not an animated cursor"));
    const uint32_t riffSize = *b.u32(4);
    if (riffSize < 4 || !b.has(8, riffSize))
        return AniFailed(QStringLiteral("file cut short"));
    const qsizetype end = 8 + qsizetype(riffSize);

    bool haveHeader = false;
    uint32_t frameCount = 0, stepCount = 0, displayRate = 0;
    std::optional<std::vector<uint32_t>> rates, sequence;
    std::vector<QByteArrayView> icons;

    for (qsizetype pos = 12; pos + 8 <= end;) {
        const uint32_t length = *b.u32(pos + 4);
        const qsizetype body = pos + 8;
        if (length > uint64_t(end - body))
            return AniFailed(QStringLiteral("chunk runs past the end of the file"));
        if (b.tagAt(pos, "anih") && !haveHeader) {
            if (length < 36)
                return AniFailed(QStringLiteral("header too short"));
            haveHeader = true;
            frameCount = *b.u32(body + 4);
            stepCount = *b.u32(body + 8);
            displayRate = *b.u32(body + 28);
        } else if (b.tagAt(pos, "rate")) {
            rates = ReadDwords(b, body, std::min<qsizetype>(length, qsizetype(MaxAniSteps) * 4));
        } else if (b.tagAt(pos, "seq ")) {
            sequence = ReadDwords(b, body, std::min<qsizetype>(length, qsizetype(MaxAniSteps) * 4));
        } else if (b.tagAt(pos, "LIST") && length >= 4 && b.tagAt(body, "fram")) {
            const qsizetype listEnd = body + length;
            for (qsizetype sub = body + 4; sub + 8 <= listEnd;) {
                const uint32_t subLength = *b.u32(sub + 4);
                if (subLength > uint64_t(listEnd - sub - 8))
                    return AniFailed(QStringLiteral("frame runs past the end of its list"));
                if (b.tagAt(sub, "icon")) {
                    if (icons.size() >= size_t(MaxAniFrames))
                        return AniFailed(QStringLiteral("too many frames"));
                    icons.push_back(b.view(sub + 8, subLength));
                }
                sub += 8 + qsizetype(subLength) + (subLength & 1);
            }
        }
        pos = body + qsizetype(length) + (length & 1);
    }

    if (!haveHeader)
        return AniFailed(QStringLiteral("no header"));
    if (frameCount == 0)
        return AniFailed(QStringLiteral("no frames"));
    if (frameCount > uint32_t(MaxAniFrames) || stepCount > uint32_t(MaxAniSteps))
        return AniFailed(QStringLiteral("absurd frame or step count"));
    if (icons.size() < frameCount)
        return AniFailed(QStringLiteral("%1 of %2 frames present").arg(icons.size()).arg(frameCount));
    if (stepCount == 0)
        stepCount = frameCount;
    if (sequence && sequence->size() < stepCount)
        return AniFailed(QStringLiteral("sequence shorter than the steps"));
    if (rates && rates->size() < stepCount)
        return AniFailed(QStringLiteral("rates shorter than the steps"));

    TAniCursorData result;
    for (uint32_t i = 0; i < frameCount; ++i) {
        TCursorFrameRead frame = ReadIconImage(icons[i]);
        if (!frame.ok())
            return AniFailed(QStringLiteral("frame %1: %2").arg(i).arg(frame.Error));
        result.Frames.push_back(std::move(frame.Frame));
    }
    // A zero rate would spin the timer; an hour per step is as still as a cursor gets.
    auto clampRate = [](uint32_t jiffies) { return int(std::clamp<uint32_t>(jiffies, 1, 60 * 60 * 60)); };
    for (uint32_t i = 0; i < stepCount; ++i) {
        const uint32_t frame = sequence ? (*sequence)[i] : i % frameCount;
        if (frame >= frameCount)
            return AniFailed(QStringLiteral("step %1 names frame %2").arg(i).arg(frame));
        result.Steps.push_back({int(frame), clampRate(rates ? (*rates)[i] : displayRate)});
    }
    return result;
}

TAniCursorData LoadAniCursor(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return AniFailed(QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (file.size() > MaxAniFileSize)
        return AniFailed(QStringLiteral("%1: too large for a cursor").arg(path));
    const QByteArray bytes = file.read(MaxAniFileSize);
    TAniCursorData data = ReadAniCursor(bytes);
    if (!data.Error.isEmpty())
        data.Error = path + QStringLiteral(": ") + data.Error;
    return data;
}

int JiffiesToMs(int jiffies)
{
    return std::max(1, (jiffies * 1000 + 30) / 60);
}

TAnimatedCursor::TAnimatedCursor(QObject* parent) : QObject(parent)
{
    FTimer.setSingleShot(true);
    connect(&FTimer, &QTimer::timeout, this, &TAnimatedCursor::Advance);
}

QString TAnimatedCursor::Load(const QString& path)
{
    TAniCursorData data = LoadAniCursor(path);
    SetData(data);
    return data.Error;
}

void TAnimatedCursor::SetData(const TAniCursorData& data)
{
    FTimer.stop();
    FCursors.clear();
    FSteps.clear();
    FStep = 0;
    if (data.Frames.empty() || data.Steps.empty())
        return;
    for (const TCursorFrame& frame : data.Frames)
        FCursors.emplace_back(QPixmap::fromImage(frame.Image), frame.HotSpot.x(), frame.HotSpot.y());
    FSteps = data.Steps;
    Show();
    Schedule();
}

QCursor TAnimatedCursor::Cursor() const
{
    if (FCursors.empty())
        return QCursor(Qt::ArrowCursor);
    return FCursors[FSteps[FStep].Frame];
}

void TAnimatedCursor::Attach(QWidget* widget)
{
    if (!widget)
        return;
    if (std::find(FWidgets.begin(), FWidgets.end(), widget) == FWidgets.end())
        FWidgets.emplace_back(widget);
    if (HasFrames())
        widget->setCursor(Cursor());
    if (!FTimer.isActive())
        Schedule();
}

void TAnimatedCursor::Detach(QWidget* widget)
{
    std::erase_if(FWidgets, [&](const QPointer<QWidget>& w) { return w.isNull() || w == widget; });
    if (FWidgets.empty())
        FTimer.stop();
}

void TAnimatedCursor::Advance()
{
    if (FSteps.empty())
        return;
    FStep = (FStep + 1) % static_cast<int>(FSteps.size());
    Show();
    Schedule();
}

void TAnimatedCursor::Show()
{
    std::erase_if(FWidgets, [](const QPointer<QWidget>& w) { return w.isNull(); });
    if (!HasFrames())
        return;
    const QCursor cursor = Cursor();
    for (const QPointer<QWidget>& widget : FWidgets)
        widget->setCursor(cursor);
}

void TAnimatedCursor::Schedule()
{
    // Nothing to animate with one step, and nobody to show it to without widgets.
    if (FSteps.size() < 2 || FWidgets.empty()) {
        FTimer.stop();
        return;
    }
    FTimer.start(JiffiesToMs(FSteps[FStep].Jiffies));
}
