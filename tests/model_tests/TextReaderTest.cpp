#include "app/model/TextReader.h"

#include "common/Gbk.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray Utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    if (bigEndian)
        qToBigEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    else
        qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

const QByteArray Le("\xFF\xFE", 2);
const QByteArray Be("\xFE\xFF", 2);
const QByteArray Utf8Mark("\xEF\xBB\xBF", 3);

QList<QByteArray> LinesOf(const TTextFile& text)
{
    QList<QByteArray> lines;
    for (qsizetype k = 0; k < text.LineCount(); ++k)
        lines.append(text.Line(k).toByteArray());
    return lines;
}

class TextReader : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("book.txt"))
    {
        const QString path = FDir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }

    QTemporaryDir FDir;
};

} // namespace

TEST_F(TextReader, DetectsEncodingFromFirstBytes)
{
    const QString text = u"第一章 开始\r\n　　他说：“你好。”\r\nabc"_qs;
    const QList<QByteArray> lines = {ToGbk(u"第一章 开始"), ToGbk(u"　　他说：“你好。”"), "abc"};
    struct TCase {
        const char* Name;
        QByteArray Bytes;
        int Encoding;
        QList<QByteArray> Lines;
    } const cases[] = {
        {"gbk", ToGbk(text), EncodingAnsi, lines},
        {"utf-16 le", Le + Utf16(text, false), EncodingUtf16Le, lines},
        {"utf-16 be equals le", Be + Utf16(text, true), EncodingUtf16Be, lines},
        {"utf-8 with signature", Utf8Mark + text.toUtf8(), EncodingUtf8, lines},
        {"utf-8 without signature is taken as it is", text.toUtf8(), EncodingAnsi,
         {u"第一章 开始"_qs.toUtf8(), u"　　他说：“你好。”"_qs.toUtf8(), "abc"}},
        {"third byte after EF BB is skipped whatever it is", "\xEF\xBB" "AB", EncodingUtf8, {"B"}},
        {"empty file", "", EncodingAnsi, {}},
        {"one byte", "A", EncodingAnsi, {"A"}},
        {"mark only", Le, EncodingUtf16Le, {}},
        {"odd last byte of utf-16 is dropped", Le + QByteArray("A\0B", 3), EncodingUtf16Le, {"A"}},
        {"unrepresentable utf-16 becomes ?", Le + Utf16(u"a😀ก"_qs, false), EncodingUtf16Le, {"a??"}},
        {"broken utf-8 becomes ?", Utf8Mark + "a\xE4\xB8" "b\x80", EncodingUtf8, {"a?b?"}},
    };
    for (const TCase& c : cases) {
        const TTextFile file = ReadTextFile(Write(c.Bytes));
        EXPECT_EQ(file.Encoding, c.Encoding) << c.Name;
        EXPECT_EQ(LinesOf(file), c.Lines) << c.Name;
        EXPECT_TRUE(file.Error.isEmpty()) << c.Name;
    }
}

TEST(TextReaderLines, LfCrAndCrLfEndLinesAlike)
{
    struct TCase {
        QByteArray Text;
        QList<QByteArray> Lines;
    } const cases[] = {
        {"a\r\nb\r\nc", {"a", "b", "c"}},
        {"a\nb\nc", {"a", "b", "c"}},
        {"a\rb\rc", {"a", "b", "c"}},
        {"a\r\nb\r\n", {"a", "b"}}, // a final line end adds no empty line
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}}, // LF then CR is two line ends
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n", {""}},
        {"", {}},
        {"\t a \t", {"\t a \t"}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(LinesOf(TextFromGbk(c.Text)), c.Lines) << c.Text.toStdString();
}

TEST(TextReaderLines, TextEndsAtFirstNul)
{
    const TTextFile text = TextFromGbk(QByteArray("ab\r\ncd\0ef\r\ngh", 13));
    EXPECT_EQ(LinesOf(text), QList<QByteArray>({"ab", "cd"}));
    EXPECT_EQ(text.Text, "ab\r\ncd");
    EXPECT_TRUE(TextFromGbk(QByteArray("\0abc", 4)).Lines.empty());
}

TEST_F(TextReader, NulEndsTheTextInEveryEncoding)
{
    const QString text = QStringLiteral("ab\r\ncd") + QChar(0) + QStringLiteral("ef\r\ngh");
    for (const QByteArray& bytes : {ToGbk(text), Le + Utf16(text, false), Be + Utf16(text, true),
                                    Utf8Mark + text.toUtf8()}) {
        const TTextFile file = ReadTextFile(Write(bytes));
        EXPECT_EQ(LinesOf(file), QList<QByteArray>({"ab", "cd"})) << file.Encoding;
        EXPECT_EQ(file.Text, "ab\r\ncd") << file.Encoding;
    }
}

// Books larger than one read, with the awkward cases placed on the seams
// between reads: a CR LF, a surrogate pair, a UTF-8 sequence and a NUL.
TEST_F(TextReader, ReadsSeamsBetweenChunksLikeTheWhole)
{
    const QString line = u"　　第一章，他说。abc\r\n"_qs;
    QString text;
    while (text.size() < 3 * TextReadChunk / 2)
        text += line;
    // UTF-16: unit i lies at file byte 2 + 2i, so the first read ends after unit TextReadChunk / 2 - 1.
    QString utf16Text = text;
    utf16Text.insert(TextReadChunk / 2 - 1, u"😀"_qs);
    utf16Text.insert(TextReadChunk / 2 - 1 + TextReadChunk / 2, u"\r\n"_qs);
    const TTextFile utf16 = ReadTextFile(Write(Le + Utf16(utf16Text, false)));
    EXPECT_EQ(utf16.Text, ToGbk(utf16Text));
    EXPECT_EQ(LinesOf(utf16), LinesOf(TextFromGbk(ToGbk(utf16Text))));

    // UTF-8: the first read ends at file byte 3 + TextReadChunk.
    const QByteArray utf8Text = QByteArray(TextReadChunk - 1, 'a') + text.toUtf8();
    const TTextFile utf8 = ReadTextFile(Write(Utf8Mark + utf8Text));
    EXPECT_EQ(utf8.Text, ToGbk(QString::fromUtf8(utf8Text)));

    // GBK: reads end at file bytes 2 + k * TextReadChunk; a CR LF on the
    // first seam, a NUL on the second.
    QByteArray gbkText = ToGbk(text);
    gbkText.replace(2 + TextReadChunk - 1, 2, "\r\n");
    gbkText[2 + 2 * TextReadChunk] = '\0';
    const TTextFile gbk = ReadTextFile(Write(gbkText));
    EXPECT_EQ(gbk.Text, gbkText.first(2 + 2 * TextReadChunk));
    EXPECT_EQ(LinesOf(gbk), LinesOf(TextFromGbk(gbkText)));
}

TEST_F(TextReader, DigestIsUpperCaseMd5OfAllBytes)
{
    EXPECT_EQ(FileDigest(Write("abc")), u"900150983CD24FB0D6963F7D28E17F72"_qs);
    EXPECT_EQ(FileDigest(Write("")), u"D41D8CD98F00B204E9800998ECF8427E"_qs);
    // The byte order mark and what follows a NUL count too.
    const QByteArray bytes = Le + Utf16(u"a"_qs, false) + QByteArray(3, '\0') + "tail";
    EXPECT_EQ(FileDigest(Write(bytes)),
              QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper()));
}

TEST_F(TextReader, DigestWhileReadingEqualsDigestAlone)
{
    QString text;
    while (text.size() < 5 * TextReadChunk / 2)
        text += u"　　第一章，他说。abc\r\n"_qs;
    const QByteArray cases[] = {
        ToGbk(text) + QByteArray(1, '\0') + "after the end",
        Le + Utf16(text, false),
        Be + Utf16(text, true),
        Utf8Mark + text.toUtf8(),
        "",
        "x",
    };
    for (const QByteArray& bytes : cases) {
        const QString path = Write(bytes);
        const TTextFile plain = ReadTextFile(path);
        const TTextFile withDigest = ReadTextFileWithDigest(path);
        EXPECT_EQ(withDigest.Digest, FileDigest(path)) << bytes.size();
        EXPECT_EQ(withDigest.Encoding, plain.Encoding);
        EXPECT_EQ(withDigest.Text, plain.Text);
        EXPECT_EQ(LinesOf(withDigest), LinesOf(plain));
        EXPECT_TRUE(plain.Digest.isEmpty());

        // Taken while the caller goes on with the text, the digest is the same.
        TTextFile pending = ReadTextFileDigestPending(path);
        EXPECT_EQ(pending.Text, plain.Text);
        EXPECT_EQ(FinishDigest(pending), FileDigest(path)) << bytes.size();
        EXPECT_FALSE(pending.PendingDigest);
    }
}

TEST_F(TextReader, PendingDigestMayBeDroppedUnfinished)
{
    const QString path = Write(QByteArray(8 * TextReadChunk, 'a'));
    for (int i = 0; i < 5; ++i) {
        TTextFile pending = ReadTextFileDigestPending(path);
        EXPECT_EQ(pending.Encoding, EncodingAnsi);
    }
}

TEST_F(TextReader, MissingFileIsAnErrorWithItsReason)
{
    const QString missing = FDir.filePath(QStringLiteral("missing.txt"));
    for (const TTextFile& file : {ReadTextFile(missing), ReadTextFileWithDigest(missing), ReadTextFile(FDir.path())}) {
        EXPECT_EQ(file.Encoding, EncodingError);
        EXPECT_FALSE(file.Error.isEmpty());
        EXPECT_TRUE(file.Lines.empty());
        EXPECT_TRUE(file.Digest.isEmpty());
    }
    EXPECT_TRUE(FileDigest(missing).isEmpty());
    EXPECT_TRUE(FileDigest(FDir.path()).isEmpty());
}

TEST_F(TextReader, FileOf2GiBIsRefusedInsteadOfCrashing)
{
    const QString path = FDir.filePath(QStringLiteral("huge.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Sparse: no disk space is taken.
    if (!file.resize(MaxTextFileBytes + 1))
        GTEST_SKIP() << "no sparse file here";
    file.close();
    for (const TTextFile& text : {ReadTextFile(path), ReadTextFileWithDigest(path)}) {
        EXPECT_EQ(text.Encoding, EncodingError);
        EXPECT_FALSE(text.Error.isEmpty());
        EXPECT_TRUE(text.Text.isEmpty());
    }
}

TEST(TextReaderText, EncodingTexts)
{
    EXPECT_EQ(EncodingText(EncodingAnsi), u" ANSI编码 "_qs);
    EXPECT_EQ(EncodingText(EncodingUtf16Le), u" UNICODE编码 "_qs);
    EXPECT_EQ(EncodingText(EncodingUtf16Be), u" Unicode Big Endian编码 "_qs);
    EXPECT_EQ(EncodingText(EncodingUtf8), u" UTF8编码 "_qs);
    EXPECT_TRUE(EncodingText(EncodingError).isEmpty());
}
