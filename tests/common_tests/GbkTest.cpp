#include "common/Gbk.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// One character at a time, as the wrap rule reads GBK.
int32_t CharsByWalking(QByteArrayView bytes)
{
    int32_t chars = 0;
    for (qsizetype i = 0; i < bytes.size(); ++chars)
        i += IsGbkLeadByte(uchar(bytes[i])) ? 2 : 1;
    return chars;
}

// Bytes in which lead-range bytes come in runs of every length, broken now
// and then by ASCII, line ends and trail-only values.
QByteArray RandomGbkish(std::mt19937& random, qsizetype length)
{
    static const uchar others[] = {'a', '0', ' ', '\r', '\n', 0x40, 0x7E, 0x80, 0xFF};
    QByteArray bytes;
    while (bytes.size() < length) {
        // Mostly short runs, now and then one over several whole words.
        const qsizetype run = random() % 8 ? qsizetype(random() % 6) : 60 + qsizetype(random() % 200);
        for (qsizetype i = 0; i < run; ++i)
            bytes += char(0x81 + random() % 0x7E);
        bytes += char(others[random() % sizeof(others)]);
    }
    bytes.truncate(length);
    return bytes;
}

} // namespace

TEST(Gbk, LeadBytesAre81ToFE)
{
    EXPECT_FALSE(IsGbkLeadByte(0x80));
    EXPECT_TRUE(IsGbkLeadByte(0x81));
    EXPECT_TRUE(IsGbkLeadByte(0xFE));
    EXPECT_FALSE(IsGbkLeadByte(0xFF));
    EXPECT_FALSE(IsGbkLeadByte('A'));
}

TEST(Gbk, ConvertsBothWays)
{
    struct TCase {
        QString Text;
        QByteArray Gbk;
    } const cases[] = {
        {u"abc 123"_qs, "abc 123"},
        {u"一"_qs, Hex("D2BB")},
        {u"第一章"_qs, Hex("B5DAD2BBD5C2")},
        {u"　"_qs, Hex("A1A1")},
        {u"，。！？“”"_qs, Hex("A3ACA1A3A3A1A3BFA1B0A1B1")},
        {u"€"_qs, Hex("80")},
        {u"a一b"_qs, Hex("61D2BB62")},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ToGbk(c.Text), c.Gbk) << c.Text.toStdString();
        EXPECT_EQ(FromGbk(c.Gbk), c.Text) << c.Text.toStdString();
    }
}

TEST(Gbk, AsciiIsUnchanged)
{
    QString ascii;
    for (char16_t u = 1; u < 0x80; ++u)
        ascii += QChar(u);
    EXPECT_EQ(ToGbk(ascii), ascii.toLatin1());
    EXPECT_EQ(FromGbk(ascii.toLatin1()), ascii);
}

TEST(Gbk, UnrepresentableCharacterBecomesOneQuestionMark)
{
    const char16_t loneHigh[] = {u'a', 0xD83D, u'b'};
    const char16_t loneLow[] = {u'a', 0xDE00, u'b'};
    const char16_t highAtEnd[] = {u'a', 0xD83D};
    struct TCase {
        QString Text;
        QByteArray Gbk;
    } const cases[] = {
        {u"a😀b"_qs, "a?b"},          // a surrogate pair is one character
        {u"😀😀"_qs, "??"},
        {u"ก"_qs, "?"},               // Thai
        {QString(QChar(0xFFFD)), "?"},
        {QString::fromUtf16(loneHigh, 3), "a?b"},
        {QString::fromUtf16(loneLow, 3), "a?b"},
        {QString::fromUtf16(highAtEnd, 2), "a?"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ToGbk(c.Text), c.Gbk) << c.Text.toStdString();
}

TEST(Gbk, EncoderPairsSurrogatesSplitBetweenPieces)
{
    const QString text = u"一😀二"_qs;
    for (qsizetype cut = 0; cut <= text.size(); ++cut) {
        QByteArray out(2 * text.size() + 4, '\0');
        TGbkEncoder encoder;
        char* end = encoder.Encode(QStringView(text).first(cut), out.data());
        end = encoder.Finish(encoder.Encode(QStringView(text).sliced(cut), end));
        out.truncate(end - out.constData());
        EXPECT_EQ(out, ToGbk(text)) << "cut at " << cut;
    }
    EXPECT_EQ(ToGbk(text), Hex("D2BB") + "?" + Hex("B6FE"));
}

TEST(Gbk, EveryCharacterGbkHoldsComesBack)
{
    int held = 0;
    for (char32_t u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        const QString text{QChar(char16_t(u))};
        const QByteArray gbk = ToGbk(text);
        if (gbk == "?" && u != u'?')
            continue;
        ++held;
        EXPECT_EQ(FromGbk(gbk), text) << "U+" << std::hex << uint32_t(u);
    }
    // GBK holds some 21,000 ideographs besides symbols and ASCII.
    EXPECT_GT(held, 21000);
}

TEST(Gbk, BrokenBytesDecodeAsOneReplacementEach)
{
    struct TCase {
        QByteArray Gbk;
        QString Text;
    } const cases[] = {
        {Hex("8130"), QString(QChar(0xFFFD))},          // a lead byte takes the next byte whatever it is
        {Hex("61D2"), u"a"_qs + QChar(0xFFFD)},          // lead byte with nothing after it
        {Hex("FF"), QString(QChar(0xF8F5))},             // what windows-936-2000 maps 0xFF to
        {Hex("D2BBD2"), u"一"_qs + QChar(0xFFFD)},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FromGbk(c.Gbk), c.Text) << c.Gbk.toHex().toStdString();
}

// The word-at-a-time lead scan against a walk character by character, on
// lines long enough to carry runs across several 64-byte words.
TEST(Gbk, CharCountMatchesDecodingCharacterByCharacter)
{
    std::mt19937 random(20240601);
    for (int round = 0; round < 400; ++round) {
        const QByteArray line = RandomGbkish(random, qsizetype(random() % 300));
        EXPECT_EQ(GbkCharCount(line), CharsByWalking(line)) << line.toHex().toStdString();
        EXPECT_EQ(GbkCharCount(line), FromGbk(line).size()) << line.toHex().toStdString();
    }
    EXPECT_EQ(GbkCharCount(QByteArray(200, char(0xD2))), 100);
    EXPECT_EQ(GbkCharCount(QByteArray(201, char(0xD2))), 101);
    EXPECT_EQ(GbkCharCount(""), 0);
}

TEST(Gbk, LeadBitsMatchWalkingAcrossWords)
{
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        const QByteArray text = RandomGbkish(random, 64 * 8 + qsizetype(random() % 64));
        const auto* p = reinterpret_cast<const uchar*>(text.constData());
        TGbkLeadBits bits;
        qsizetype next = 0; // where the walk says the next character begins
        for (qsizetype at = 0; at < text.size(); at += 64) {
            const qsizetype count = std::min<qsizetype>(64, text.size() - at);
            const uint64_t leads = count == 64 ? bits.Next(p + at) : bits.NextTail(p + at, count);
            for (qsizetype i = at; i < at + count; ++i) {
                const bool lead = i == next && IsGbkLeadByte(p[i]);
                if (i == next)
                    next += lead ? 2 : 1;
                ASSERT_EQ(bool(leads >> (i - at) & 1), lead) << "byte " << i << " of " << text.toHex().toStdString();
            }
        }
    }
}

namespace {

QByteArray Utf8ToGbk(QByteArrayView bytes)
{
    QByteArray out(2 * bytes.size() + 2, '\0');
    TUtf8ToGbk decoder;
    char* end = decoder.Finish(decoder.Decode(bytes, out.data()));
    out.truncate(end - out.constData());
    return out;
}

} // namespace

TEST(Gbk, Utf8DecodesStraightToGbk)
{
    struct TCase {
        const char* Name;
        QByteArray Utf8;
        QByteArray Gbk;
    } const cases[] = {
        {"ascii", "abc\r\n", "abc\r\n"},
        {"three-byte", u"第一章"_qs.toUtf8(), Hex("B5DAD2BBD5C2")},
        {"two-byte", "\xC2\xA7", Hex("A1EC")},                       // §
        {"four-byte is one character", "a\xF0\x9F\x98\x80" "b", "a?b"},
        {"signature inside the text stays a character", "\xEF\xBB\xBF" "a", "?a"},
        {"lone continuation", "a\x80" "b", "a?b"},
        {"cut sequence then ascii", "\xE4\xB8" "A", "?A"},
        {"cut sequence at the end", "a\xE4\xB8", "a?"},
        {"overlong two-byte", "\xC0\x80", "??"},
        {"overlong three-byte", "\xE0\x80\x80", "???"},
        {"surrogate", "\xED\xA0\x80", "???"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"invalid lead", "\xFF" "a", "?a"},
        {"nul", QByteArray("a\0b", 3), QByteArray("a\0b", 3)},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Utf8ToGbk(c.Utf8), c.Gbk) << c.Name;
}

TEST(Gbk, Utf8InPiecesDecodesAsWhole)
{
    const QByteArray text = u"　　第一章，😀"_qs.toUtf8() + "\xE4\xB8" "x\xC2\xA7\xF0\x9F";
    const QByteArray whole = Utf8ToGbk(text);
    for (qsizetype cut = 0; cut <= text.size(); ++cut) {
        QByteArray out(2 * text.size() + 4, '\0');
        TUtf8ToGbk decoder;
        char* end = decoder.Decode(QByteArrayView(text).first(cut), out.data());
        end = decoder.Finish(decoder.Decode(QByteArrayView(text).sliced(cut), end));
        out.truncate(end - out.constData());
        EXPECT_EQ(out, whole) << "cut at " << cut;
    }
}
