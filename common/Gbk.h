#pragma once
// The working form of all book text: code page 936 (GBK) bytes, converted
// both ways through tables taken once from ICU's "windows-936-2000"
// converter. A lead byte (0x81 to 0xFE) and the byte after it, whatever its
// value, are one character: the same rule the line wrap uses, so a line of n
// characters decodes to n UTF-16 code units.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>

constexpr bool IsGbkLeadByte(uchar b)
{
    return b >= 0x81 && b <= 0xFE;
}

// Characters GBK cannot hold become one "?" each (a surrogate pair is one character).
QByteArray ToGbk(QStringView text);
// A pair or single byte without a mapping becomes U+FFFD.
QString FromGbk(QByteArrayView bytes);

// Characters of a GBK line, that is the UTF-16 code units FromGbk gives.
int32_t GbkCharCount(QByteArrayView line);

// Finds the bytes of a GBK text that begin a double-byte character, 64 bytes
// at a time, without walking the text character by character. A byte
// outside the lead range always ends a character (it is a single byte or a
// trail byte), so every run of lead-range bytes begins a character, and
// within a run the bytes at even distance from its start are lead bytes.
// Words are fed in order, beginning at a character boundary.
class TGbkLeadBits {
public:
    // Bit i set when byte i of the 64 bytes at p begins a double-byte character.
    uint64_t Next(const uchar* p);
    // The same for the last count (below 64) bytes at p.
    uint64_t NextTail(const uchar* p, qsizetype count);
    // The same for a word whose bytes in the lead range the caller has
    // found itself (bit i set when byte i lies in 0x81..0xFE).
    uint64_t NextFromRange(uint64_t range);
    // Lead bits of all the words so far.
    int64_t LeadCount() const { return FLeadCount; }

private:
    int64_t FLeadCount = 0;
    bool FRunGoesOn = false;
    bool FNextIsEven = false;
};

// Encodes text that arrives in pieces, so a surrogate pair split between two
// pieces still becomes a single "?".
class TGbkEncoder {
public:
    // Writes the GBK form of text at out, which must have room for
    // 2 * text.size() + 2 bytes; returns the end of what was written.
    char* Encode(QStringView text, char* out);
    // Ends the text: a high surrogate still waiting for its pair becomes "?".
    char* Finish(char* out);

private:
    bool FPendingHigh = false;
};

// Decodes UTF-8 straight into GBK, in pieces that may cut a sequence. Each
// ill-formed part (the longest start of a valid sequence, or a single byte)
// becomes one "?", as does every character GBK cannot hold.
class TUtf8ToGbk {
public:
    // out must have room for 2 * bytes.size() + 2 bytes; returns the end.
    char* Decode(QByteArrayView bytes, char* out);
    // Ends the text: a sequence left unfinished becomes "?".
    char* Finish(char* out);

private:
    char* Emit(char* out, uint32_t codePoint);
    void Reset();

    uint32_t FCodePoint = 0;
    int FNeeded = 0;
    int FSeen = 0;
    uchar FLower = 0x80;
    uchar FUpper = 0xBF;
};
