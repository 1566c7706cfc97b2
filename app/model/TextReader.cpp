#include "app/model/TextReader.h"

#include "common/Gbk.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <array>
#include <bit>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

namespace {

QString DigestText(const QCryptographicHash& hash)
{
    return QString::fromLatin1(hash.result().toHex().toUpper());
}

} // namespace

// Hashes the pieces of a file in the order they were read. Threaded, it runs
// beside the decoding; a piece handed over must stay unchanged until hashed.
class TDigestWorker {
public:
    enum TMode { Off, Threaded };

    explicit TDigestWorker(TMode mode) : FOn(mode != Off)
    {
        if (!FOn)
            return;
        try {
            FThread = std::thread([this] { Run(); });
        } catch (const std::system_error&) {
            // No thread to be had: hash on the caller's thread instead.
        }
    }

    ~TDigestWorker() { Stop(); }

    TDigestWorker(const TDigestWorker&) = delete;
    TDigestWorker& operator=(const TDigestWorker&) = delete;

    // Returns the piece's number, for WaitHashed.
    qint64 Feed(QByteArrayView bytes)
    {
        if (!FOn || bytes.isEmpty())
            return 0;
        if (!FThread.joinable()) {
            FHash.addData(bytes);
            return 0;
        }
        {
            std::lock_guard lock(FMutex);
            FQueue.push_back(bytes);
            ++FFed;
        }
        FCond.notify_all();
        return FFed;
    }

    void WaitHashed(qint64 piece)
    {
        if (!FThread.joinable())
            return;
        std::unique_lock lock(FMutex);
        FCond.wait(lock, [&] { return FHashed >= piece; });
    }

    QString Finish()
    {
        if (!FOn)
            return {};
        if (FThread.joinable()) {
            {
                std::lock_guard lock(FMutex);
                FClosed = true;
            }
            FCond.notify_all();
            FThread.join();
        }
        return DigestText(FHash);
    }

private:
    void Stop()
    {
        if (!FThread.joinable())
            return;
        {
            std::lock_guard lock(FMutex);
            FClosed = true;
            FAbort = true;
        }
        FCond.notify_all();
        FThread.join();
    }

    void Run()
    {
        for (;;) {
            QByteArrayView piece;
            {
                std::unique_lock lock(FMutex);
                FCond.wait(lock, [&] { return !FQueue.empty() || FClosed; });
                if (FAbort || FQueue.empty())
                    return;
                piece = FQueue.front();
                FQueue.pop_front();
            }
            FHash.addData(piece);
            {
                std::lock_guard lock(FMutex);
                ++FHashed;
            }
            FCond.notify_all();
        }
    }

    const bool FOn;
    QCryptographicHash FHash{QCryptographicHash::Md5};
    std::mutex FMutex;
    std::condition_variable FCond;
    std::deque<QByteArrayView> FQueue;
    qint64 FFed = 0;
    qint64 FHashed = 0;
    bool FClosed = false;
    bool FAbort = false;
    std::thread FThread;
};

namespace {

// Reads until count bytes are in or the file ends; -1 on a read error.
qint64 ReadFully(QFile& file, char* to, qint64 count)
{
    qint64 done = 0;
    while (done < count) {
        const qint64 n = file.read(to + done, count - done);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

// Offset of the first CR, LF or NUL in text[from, to), or to.
qsizetype FindLineBreak(const char* text, qsizetype from, qsizetype to)
{
    auto isBreak = [](char c) { return c == '\r' || c == '\n' || c == '\0'; };
#if defined(__SSE2__)
    // One compare finds every byte up to CR (0x0D); the few other control
    // bytes among them, a tab say, are passed over one by one.
    const __m128i cr = _mm_set1_epi8('\r');
    for (; from + 32 <= to; from += 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from + 16));
        uint32_t low = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(a, cr), a)))
            | uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(b, cr), b))) << 16;
        for (; low != 0; low &= low - 1) {
            const qsizetype at = from + std::countr_zero(low);
            if (isBreak(text[at]))
                return at;
        }
    }
#endif
    for (; from < to; ++from)
        if (isBreak(text[from]))
            return from;
    return to;
}

// Splits the text into lines while it arrives, so each piece is scanned once
// and while it is still in the cache. Only offsets are kept: the buffer may
// move between two pieces.
class TLineSplitter {
public:
    TLineSplitter(std::vector<TSourceLine>& lines, qsizetype expectedBytes) : FLines(lines)
    {
        FLines.clear();
        FLines.reserve(size_t(expectedBytes / 256 + 16));
    }

    // Scans the bytes below upTo that have not been seen yet.
    void Feed(const char* text, qsizetype upTo)
    {
        qsizetype pos = FScanned;
        if (FEnded || pos >= upTo)
            return;
        if (FAfterCr) {
            FAfterCr = false;
            if (text[pos] == '\n')
                FLineStart = ++pos;
        }
        while (pos < upTo) {
            const qsizetype at = FindLineBreak(text, pos, upTo);
            if (at == upTo)
                break;
            if (text[at] == '\0') {
                FEnded = true;
                FEnd = at;
                return;
            }
            FLines.push_back({int32_t(FLineStart), int32_t(at - FLineStart)});
            pos = at + 1;
            if (text[at] == '\r') {
                if (pos == upTo)
                    FAfterCr = true;
                else if (text[pos] == '\n')
                    ++pos;
            }
            FLineStart = pos;
        }
        FScanned = upTo;
    }

    // Closes the last line; returns the length of the text, which ends at
    // its first NUL.
    qsizetype Finish(const char* text, qsizetype length)
    {
        Feed(text, length);
        const qsizetype end = FEnded ? FEnd : length;
        if (FLineStart < end)
            FLines.push_back({int32_t(FLineStart), int32_t(end - FLineStart)});
        if (FLines.capacity() > FLines.size() + FLines.size() / 4 + 64)
            FLines.shrink_to_fit();
        return end;
    }

private:
    std::vector<TSourceLine>& FLines;
    qsizetype FLineStart = 0;
    qsizetype FScanned = 0;
    qsizetype FEnd = 0;
    bool FAfterCr = false;
    bool FEnded = false;
};

void ShrinkText(QByteArray& text, qsizetype length)
{
    text.truncate(length);
    if (text.capacity() - length > length / 8 + 4096)
        text.squeeze();
}

// The growing GBK form of a UTF-16 or UTF-8 book, written in place. Text is
// encoded in slices, each given the room its worst case needs, so the buffer
// sized for the whole book plus one slice never has to grow: neither form
// gives more GBK bytes than it had bytes itself.
class TGbkSink {
public:
    static constexpr qsizetype Slice = 64 * 1024;

    TGbkSink(QByteArray& text, qint64 expected) : FText(text)
    {
        FText = QByteArray(std::max<qint64>(expected, 0) + 2 * Slice + 16, Qt::Uninitialized);
        AdviseLargeBuffer(FText.data(), FText.size());
    }

    void Append(TGbkEncoder& encoder, QStringView text)
    {
        for (qsizetype from = 0; from < text.size(); from += Slice) {
            const QStringView slice = text.sliced(from, std::min(Slice, text.size() - from));
            Commit(encoder.Encode(slice, Reserve(2 * slice.size() + 2)));
        }
    }

    void Append(TUtf8ToGbk& decoder, QByteArrayView bytes)
    {
        for (qsizetype from = 0; from < bytes.size(); from += Slice) {
            const QByteArrayView slice = bytes.sliced(from, std::min(Slice, bytes.size() - from));
            Commit(decoder.Decode(slice, Reserve(2 * slice.size() + 2)));
        }
    }

    template <typename TConverter>
    void Finish(TConverter& converter)
    {
        Commit(converter.Finish(Reserve(2)));
    }
    qsizetype Used() const { return FUsed; }
    const char* Data() const { return FText.constData(); }

private:
    char* Reserve(qsizetype count)
    {
        if (FText.size() - FUsed < count)
            FText.resize(std::max(FUsed + count, FText.size() + FText.size() / 4));
        return FText.data() + FUsed;
    }

    void Commit(const char* end) { FUsed = end - FText.constData(); }

    QByteArray& FText;
    qsizetype FUsed = 0;
};

// A few read buffers in turn: one is decoded while the digest thread still
// hashes the one before.
class TChunkRing {
public:
    static constexpr int Slots = 3;

    // The buffer for the next read, once the digest is done with its last use.
    char* Next(TDigestWorker& digest)
    {
        FCurrent = (FCurrent + 1) % Slots;
        digest.WaitHashed(FPiece[FCurrent]);
        auto& slot = FSlots[FCurrent];
        if (!slot)
            slot = std::make_unique_for_overwrite<char16_t[]>(TextReadChunk / 2);
        return reinterpret_cast<char*>(slot.get());
    }

    void Handed(qint64 piece) { FPiece[FCurrent] = piece; }

private:
    std::array<std::unique_ptr<char16_t[]>, Slots> FSlots;
    std::array<qint64, Slots> FPiece{};
    int FCurrent = -1;
};

bool ReadAnsi(QFile& file, qint64 size, QByteArrayView head, TTextFile& result, TDigestWorker& digest,
              bool leaveDigestRunning)
{
    size = std::max(size, head.size());
    result.Text = QByteArray(size, Qt::Uninitialized);
    char* data = result.Text.data();
    AdviseLargeBuffer(data, size);
    std::memcpy(data, head.data(), head.size());
    TLineSplitter lines(result.Lines, size);
    qint64 done = head.size();
    qint64 hashed = 0;
    while (done < size) {
        const qint64 n = ReadFully(file, data + done, std::min(TextReadChunk, size - done));
        if (n < 0)
            return false;
        if (n == 0)
            break;
        done += n;
        digest.Feed(QByteArrayView(data + hashed, done - hashed));
        hashed = done;
        lines.Feed(data, done);
    }
    digest.Feed(QByteArrayView(data + hashed, done - hashed));
    lines.Feed(data, done);
    const qsizetype length = lines.Finish(data, done);
    // Until the digest is through with the buffer, it must not move: a text
    // cut at a NUL waits for the digest before giving back the rest.
    if (length < size || !leaveDigestRunning) {
        result.Digest = digest.Finish();
        ShrinkText(result.Text, length);
    }
    return true;
}

bool ReadUtf16(QFile& file, qint64 size, bool bigEndian, TTextFile& result, TChunkRing& ring,
               TDigestWorker& digest)
{
    const bool swap = bigEndian != (Q_BYTE_ORDER == Q_BIG_ENDIAN);
    std::unique_ptr<char16_t[]> swapped;
    if (swap)
        swapped = std::make_unique_for_overwrite<char16_t[]>(TextReadChunk / 2);
    TGbkSink sink(result.Text, size - 2);
    TGbkEncoder encoder;
    TLineSplitter lines(result.Lines, size);
    for (;;) {
        char* buffer = ring.Next(digest);
        const qint64 n = ReadFully(file, buffer, TextReadChunk);
        if (n < 0)
            return false;
        ring.Handed(digest.Feed(QByteArrayView(buffer, n)));
        // An odd last byte is no code unit and is dropped.
        const qsizetype units = n / 2;
        const auto* from = reinterpret_cast<const char16_t*>(buffer);
        if (swap) {
            SwapWideBytes({from, size_t(units)}, {swapped.get(), size_t(units)});
            from = swapped.get();
        }
        sink.Append(encoder, QStringView(from, units));
        lines.Feed(sink.Data(), sink.Used());
        if (n < TextReadChunk)
            break;
    }
    sink.Finish(encoder);
    lines.Feed(sink.Data(), sink.Used());
    const qsizetype length = lines.Finish(sink.Data(), sink.Used());
    result.Digest = digest.Finish();
    ShrinkText(result.Text, length);
    return true;
}

bool ReadUtf8(QFile& file, qint64 size, TTextFile& result, TChunkRing& ring, TDigestWorker& digest)
{
    TGbkSink sink(result.Text, size - 3);
    TUtf8ToGbk decoder;
    TLineSplitter lines(result.Lines, size);
    for (;;) {
        char* buffer = ring.Next(digest);
        const qint64 n = ReadFully(file, buffer, TextReadChunk);
        if (n < 0)
            return false;
        ring.Handed(digest.Feed(QByteArrayView(buffer, n)));
        sink.Append(decoder, QByteArrayView(buffer, n));
        lines.Feed(sink.Data(), sink.Used());
        if (n < TextReadChunk)
            break;
    }
    sink.Finish(decoder);
    lines.Feed(sink.Data(), sink.Used());
    const qsizetype length = lines.Finish(sink.Data(), sink.Used());
    result.Digest = digest.Finish();
    ShrinkText(result.Text, length);
    return true;
}

TTextFile Failed(const QString& error)
{
    TTextFile result;
    result.Encoding = EncodingError;
    result.Error = error;
    return result;
}

TTextFile Read(const QString& fileName, TDigestWorker::TMode digestMode, bool leaveDigestRunning = false)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Failed(file.errorString());
    const qint64 size = file.size();
    if (size > MaxTextFileBytes)
        return Failed(QStringLiteral("The file is 2 GiB or larger"));
    TTextFile result;
    try {
        std::array<char, 3> head{};
        qint64 headLength = ReadFully(file, head.data(), 2);
        if (headLength < 0)
            return Failed(file.errorString());
        const uint16_t mark = SwapBytes(uint16_t(uchar(head[1]) << 8 | uchar(head[0])));
        if (mark == 0xEFBB) {
            const qint64 third = ReadFully(file, head.data() + 2, 1);
            if (third < 0)
                return Failed(file.errorString());
            headLength += third;
        }
        TChunkRing ring;
        // Declared after every buffer it may be reading (head, ring, the
        // result's text), so it is stopped before any of them goes away.
        // Only an ANSI book's worker outlives this function, and it reads
        // nothing but the result's own text.
        auto worker = std::make_shared<TDigestWorker>(digestMode);
        TDigestWorker& digest = *worker;
        bool ok = false;
        if (mark == 0xFFFE || mark == 0xFEFF) {
            digest.Feed(QByteArrayView(head.data(), headLength));
            result.Encoding = mark == 0xFFFE ? EncodingUtf16Le : EncodingUtf16Be;
            ok = ReadUtf16(file, size, mark == 0xFEFF, result, ring, digest);
        } else if (mark == 0xEFBB) {
            digest.Feed(QByteArrayView(head.data(), headLength));
            result.Encoding = EncodingUtf8;
            ok = ReadUtf8(file, size, result, ring, digest);
        } else {
            result.Encoding = EncodingAnsi;
            ok = ReadAnsi(file, size, QByteArrayView(head.data(), headLength), result, digest, leaveDigestRunning);
            if (ok && result.Digest.isEmpty() && digestMode != TDigestWorker::Off)
                result.PendingDigest = worker;
        }
        if (!ok)
            return Failed(file.errorString());
    } catch (const std::bad_alloc&) {
        return Failed(QStringLiteral("Not enough memory to hold the file"));
    }
    return result;
}

} // namespace

TTextFile ReadTextFile(const QString& fileName)
{
    return Read(fileName, TDigestWorker::Off);
}

TTextFile ReadTextFileWithDigest(const QString& fileName)
{
    return Read(fileName, TDigestWorker::Threaded);
}

TTextFile ReadTextFileDigestPending(const QString& fileName)
{
    return Read(fileName, TDigestWorker::Threaded, true);
}

QString FinishDigest(TTextFile& text)
{
    if (text.PendingDigest) {
        text.Digest = text.PendingDigest->Finish();
        text.PendingDigest.reset();
    }
    return text.Digest;
}

QString FileDigest(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&file))
        return {};
    return DigestText(hash);
}

TTextFile TextFromGbk(QByteArray text)
{
    TTextFile result;
    result.Encoding = EncodingAnsi;
    result.Text = std::move(text);
    TLineSplitter lines(result.Lines, result.Text.size());
    lines.Feed(result.Text.constData(), result.Text.size());
    result.Text.truncate(lines.Finish(result.Text.constData(), result.Text.size()));
    return result;
}

QString EncodingText(int encoding)
{
    switch (encoding) {
    case EncodingAnsi:
        return QStringLiteral(" ANSI编码 ");
    case EncodingUtf16Le:
        return QStringLiteral(" UNICODE编码 ");
    case EncodingUtf16Be:
        return QStringLiteral(" Unicode Big Endian编码 ");
    case EncodingUtf8:
        return QStringLiteral(" UTF8编码 ");
    default:
        return {};
    }
}

void AdviseLargeBuffer(void* data, qsizetype bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t huge = uintptr_t(2) << 20;
    if (bytes < qsizetype(4 * huge))
        return;
    const auto begin = (reinterpret_cast<uintptr_t>(data) + huge - 1) & ~(huge - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + uintptr_t(bytes)) & ~(huge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

uint16_t SwapBytes(uint16_t unit)
{
    return uint16_t(unit << 8 | unit >> 8);
}

void SwapWideBytes(std::span<const char16_t> from, std::span<char16_t> to)
{
    std::transform(from.begin(), from.end(), to.begin(), [](char16_t u) { return char16_t(SwapBytes(u)); });
}
