#pragma once
// Reading a book file into the working form: one GBK buffer holding the whole
// decoded text, and its source lines as byte ranges of that buffer. The file
// is read once, in chunks; UTF-16 and UTF-8 books are converted chunk by
// chunk, so no second copy of the book is ever held. The digest of the file's
// bytes can be taken on a second thread while the text is decoded and split.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Encoding results, as the status bar shows them.
constexpr int EncodingError = -1;
constexpr int EncodingAnsi = 0;      // no byte order mark: GBK bytes taken unchanged
constexpr int EncodingUtf16Le = 1;   // FF FE
constexpr int EncodingUtf16Be = 2;   // FE FF
constexpr int EncodingUtf8 = 3;      // EF BB, the third byte skipped whatever it is

// Offsets are 32-bit: files of 2 GiB or more are refused, and decoding never
// makes the text longer than the file.
constexpr qint64 MaxTextFileBytes = (qint64(1) << 31) - 1;
// The unit in which files are read and converted.
constexpr qint64 TextReadChunk = qint64(1) << 20;

class TDigestWorker;

// One source line: a byte range of TTextFile::Text, line end excluded.
struct TSourceLine {
    int32_t Start = 0;
    int32_t Length = 0;
};

struct TTextFile {
    int Encoding = EncodingError;
    // The decoded text, cut at its first NUL byte.
    QByteArray Text;
    // Lines end at CR, LF or CR LF; a final line end adds no empty line.
    std::vector<TSourceLine> Lines;
    // What went wrong, when Encoding is EncodingError.
    QString Error;
    // Document key of the file's bytes; only the readers with a digest fill it.
    QString Digest;
    // The digest still being taken on its own thread (ReadTextFileDigestPending).
    // Declared after Text, so it stops before the buffer it reads goes away.
    std::shared_ptr<TDigestWorker> PendingDigest;

    qsizetype LineCount() const { return qsizetype(Lines.size()); }
    QByteArrayView Line(qsizetype k) const { return {Text.constData() + Lines[k].Start, Lines[k].Length}; }
};

TTextFile ReadTextFile(const QString& fileName);
// ReadTextFile and FileDigest of the same bytes, the file read only once.
// On failure Digest is empty.
TTextFile ReadTextFileWithDigest(const QString& fileName);

// ReadTextFileWithDigest, except that an ANSI book's digest may still be
// running when it returns, so the caller can paginate meanwhile; FinishDigest
// waits for it. The text must not be changed until then.
TTextFile ReadTextFileDigestPending(const QString& fileName);
QString FinishDigest(TTextFile& text);

// MD5 of all the file's bytes as 32 upper-case hexadecimal digits; empty when
// the file cannot be read.
QString FileDigest(const QString& fileName);

// A text of GBK bytes as ReadTextFile leaves it: cut at its first NUL and
// split into lines. Encoding is EncodingAnsi.
TTextFile TextFromGbk(QByteArray text);

// " ANSI编码 " and its kin; empty for EncodingError.
QString EncodingText(int encoding);

// Asks the system to back a large buffer with huge pages where it can:
// faulting in a 100 MB book 4 KiB at a time costs more than reading it.
void AdviseLargeBuffer(void* data, qsizetype bytes);

uint16_t SwapBytes(uint16_t unit);
// from and to may be the same span; to must be at least as long as from.
void SwapWideBytes(std::span<const char16_t> from, std::span<char16_t> to);
