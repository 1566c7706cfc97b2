#include "common/Gbk.h"

#include <QtEndian>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char16_t Replacement = 0xFFFD;
// In the encoding table: a surrogate, to be paired by the caller. No GBK
// character is stored this way (0xFF is no trail byte).
constexpr uint16_t SurrogateMark = 0xFFFF;
constexpr int LeadCount = 0xFE - 0x81 + 1;

bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

struct TConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using TConverter = std::unique_ptr<UConverter, TConverterCloser>;

// Both tables are read off ICU once, so every conversion afterwards is a
// lookup and no converter state is shared between threads.
struct TGbkTables {
    // UTF-16 unit -> its GBK bytes as they lie in memory: a single byte as
    // it is, a pair as lead | trail << 8 (so above 0xFF). Characters without
    // a mapping are stored as "?".
    std::vector<uint16_t> Encode = std::vector<uint16_t>(0x10000, uint16_t('?'));
    std::array<char16_t, 256> Single{};
    // [lead - 0x81][trail]
    std::vector<char16_t> Pair = std::vector<char16_t>(LeadCount * 256, Replacement);

    TGbkTables()
    {
        UErrorCode status = U_ZERO_ERROR;
        TConverter conv(ucnv_open("windows-936-2000", &status));
        if (U_FAILURE(status) || !conv)
            qFatal("ICU converter windows-936-2000 is missing");
        BuildEncode(conv.get());
        BuildDecode(conv.get());
    }

    void BuildEncode(UConverter* conv)
    {
        // One pass over the whole BMP (surrogates left out); the offsets tell
        // which unit produced each output byte, and skipped units produce none.
        std::vector<UChar> units;
        units.reserve(0x10000);
        for (uint32_t u = 0; u < 0x10000; ++u)
            if (!IsHighSurrogate(char16_t(u)) && !IsLowSurrogate(char16_t(u)))
                units.push_back(UChar(u));
        std::vector<char> bytes(units.size() * 4);
        std::vector<int32_t> offsets(bytes.size());
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &status);
        char* out = bytes.data();
        const UChar* in = units.data();
        ucnv_fromUnicode(conv, &out, bytes.data() + bytes.size(), &in, units.data() + units.size(),
                         offsets.data(), true, &status);
        if (U_FAILURE(status))
            qFatal("ICU GBK table: %s", u_errorName(status));
        for (uint32_t u = 0xD800; u <= 0xDFFF; ++u)
            Encode[u] = SurrogateMark;
        const qsizetype n = out - bytes.data();
        for (qsizetype i = 0; i < n;) {
            const int32_t from = offsets[i];
            qsizetype j = i + 1;
            while (j < n && offsets[j] == from)
                ++j;
            const auto b0 = uchar(bytes[i]);
            if (j - i == 1)
                Encode[units[from]] = b0;
            else if (j - i == 2 && IsGbkLeadByte(b0))
                Encode[units[from]] = uint16_t(b0 | uchar(bytes[i + 1]) << 8);
            i = j;
        }
    }

    // Decodes 1 or 2 bytes; U+FFFD unless ICU maps them to exactly one unit.
    static char16_t DecodeOne(UConverter* conv, const char* bytes, int length)
    {
        UChar out[4];
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetToUnicode(conv);
        const int32_t n = ucnv_toUChars(conv, out, 4, bytes, length, &status);
        if (U_FAILURE(status) || n != 1)
            return Replacement;
        return out[0];
    }

    void BuildDecode(UConverter* conv)
    {
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            Single[b] = IsGbkLeadByte(uchar(b)) ? Replacement : DecodeOne(conv, &c, 1);
        }
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0; trail < 256; ++trail) {
                const char pair[2] = {char(lead), char(trail)};
                Pair[(lead - 0x81) * 256 + trail] = DecodeOne(conv, pair, 2);
            }
    }
};

constexpr uint64_t EvenBits = 0x5555555555555555ULL;

// std::popcount is a library call where the target lacks POPCNT.
int BitCount(uint64_t x)
{
#if defined(__POPCNT__) || !defined(__x86_64__)
    return std::popcount(x);
#else
    x -= (x >> 1) & EvenBits;
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return int((x * 0x0101010101010101ULL) >> 56);
#endif
}

// Bit i set when byte i of the 64 at p lies in the lead byte range.
uint64_t LeadRange(const uchar* p)
{
#if defined(__SSE2__)
    // As signed bytes the range 0x81..0xFE is -127..-2.
    const __m128i below = _mm_set1_epi8(char(0x80));
    const __m128i above = _mm_set1_epi8(char(0xFF));
    auto mask = [&](int k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p) + k);
        return uint64_t(uint32_t(_mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi8(v, below), _mm_cmplt_epi8(v, above)))));
    };
    return mask(0) | mask(1) << 16 | mask(2) << 32 | mask(3) << 48;
#else
    uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= uint64_t(IsGbkLeadByte(p[i])) << i;
    return mask;
#endif
}

// Writes the stored form of one character; out needs room for two bytes.
inline char* Put(char* out, uint16_t stored)
{
    const uint16_t bytes = qToLittleEndian(stored);
    std::memcpy(out, &bytes, 2);
    return out + 1 + (stored > 0xFF);
}

const TGbkTables& Tables()
{
    static const TGbkTables tables;
    return tables;
}

} // namespace

uint64_t TGbkLeadBits::NextFromRange(uint64_t range)
{
    // Words of double-byte text only, or of single bytes only, are the
    // common case and need no run arithmetic.
    if (range == ~uint64_t(0)) {
        const bool evenStart = !FRunGoesOn || FNextIsEven;
        FRunGoesOn = true;
        FNextIsEven = evenStart;
        FLeadCount += 32;
        return evenStart ? EvenBits : ~EvenBits;
    }
    if (range == 0) {
        FRunGoesOn = false;
        return 0;
    }
    uint64_t starts = range & ~(range << 1);
    if (FRunGoesOn)
        starts &= ~uint64_t(1);
    uint64_t evenStarts = starts & EvenBits;
    // A run carried over from the last word counts from where it began.
    if (FRunGoesOn && FNextIsEven)
        evenStarts |= range & 1;
    // Adding a run's start bit clears the whole run: those are the runs that
    // begin on an even bit.
    const uint64_t evenRuns = range & ~(range + evenStarts);
    const uint64_t leads = (evenRuns & EvenBits) | (range & ~evenRuns & ~EvenBits);
    FRunGoesOn = range >> 63;
    FNextIsEven = !(leads >> 63);
    FLeadCount += BitCount(leads);
    return leads;
}

uint64_t TGbkLeadBits::Next(const uchar* p)
{
    return NextFromRange(LeadRange(p));
}

uint64_t TGbkLeadBits::NextTail(const uchar* p, qsizetype count)
{
    uchar tail[64] = {};
    std::memcpy(tail, p, size_t(count));
    return NextFromRange(LeadRange(tail));
}

int32_t GbkCharCount(QByteArrayView line)
{
    const auto* p = reinterpret_cast<const uchar*>(line.data());
    const qsizetype length = line.size();
    if (length == 0)
        return 0;
    TGbkLeadBits bits;
    uint64_t leads = 0;
    qsizetype at = 0;
    for (; at + 64 <= length; at += 64)
        leads = bits.Next(p + at);
    if (at < length)
        leads = bits.NextTail(p + at, length - at);
    // A lead byte in the last place has no trail byte: a character by itself.
    const int64_t lonely = leads >> ((length - 1) & 63) & 1;
    return int32_t(length - (bits.LeadCount() - lonely));
}

char* TGbkEncoder::Encode(QStringView text, char* out)
{
    const uint16_t* table = Tables().Encode.data();
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    if (FPendingHigh && p < end) {
        FPendingHigh = false;
        *out++ = '?';
        if (IsLowSurrogate(*p))
            ++p;
    }
    while (p < end) {
        const char16_t u = *p++;
        const uint16_t stored = table[u];
        if (stored != SurrogateMark) {
            out = Put(out, stored);
            continue;
        }
        if (IsHighSurrogate(u) && p == end) {
            FPendingHigh = true;
            break;
        }
        // A pair, or a surrogate on its own: one character GBK cannot hold.
        *out++ = '?';
        if (IsHighSurrogate(u) && IsLowSurrogate(*p))
            ++p;
    }
    return out;
}

char* TGbkEncoder::Finish(char* out)
{
    if (FPendingHigh)
        *out++ = '?';
    FPendingHigh = false;
    return out;
}

char* TUtf8ToGbk::Emit(char* out, uint32_t codePoint)
{
    if (codePoint > 0xFFFF)
        return Put(out, uint16_t('?'));
    return Put(out, Tables().Encode[codePoint]);
}

char* TUtf8ToGbk::Decode(QByteArrayView bytes, char* out)
{
    const uint16_t* table = Tables().Encode.data();
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    // The state lives in locals: every byte written through out could
    // otherwise be a write to it, as far as the compiler knows.
    uint32_t codePoint = FCodePoint;
    int needed = FNeeded;
    int seen = FSeen;
    uchar lower = FLower;
    uchar upper = FUpper;
    auto putChar = [&](uint32_t c) { out = Put(out, c > 0xFFFF ? uint16_t('?') : table[c]); };
    while (p < end) {
        // Whole characters first: ASCII, and the three-byte form of all CJK text.
        while (needed == 0 && end - p >= 4) {
            const uint32_t w = qFromLittleEndian<uint32_t>(p);
            if ((w & 0x80) == 0) {
                *out++ = char(w);
                ++p;
                continue;
            }
            // 1110xxxx 10xxxxxx 10xxxxxx
            if ((w & 0xC0C0F0) != 0x8080E0)
                break;
            const uint32_t c = (w & 0x0F) << 12 | (w & 0x3F00) >> 2 | (w & 0x3F0000) >> 16;
            // Overlong forms and surrogates are ill-formed.
            if (c < 0x800 || (c & 0xF800) == 0xD800)
                break;
            out = Put(out, table[c]);
            p += 3;
        }
        if (p == end)
            break;
        const uchar b = *p;
        if (needed == 0) {
            ++p;
            if (b < 0x80) {
                *out++ = char(b);
            } else if (b >= 0xC2 && b <= 0xDF) {
                needed = 1;
                codePoint = b & 0x1F;
            } else if (b >= 0xE0 && b <= 0xEF) {
                lower = b == 0xE0 ? 0xA0 : 0x80;
                upper = b == 0xED ? 0x9F : 0xBF;
                needed = 2;
                codePoint = b & 0x0F;
            } else if (b >= 0xF0 && b <= 0xF4) {
                lower = b == 0xF0 ? 0x90 : 0x80;
                upper = b == 0xF4 ? 0x8F : 0xBF;
                needed = 3;
                codePoint = b & 0x07;
            } else {
                putChar(Replacement);
            }
            continue;
        }
        const bool fits = b >= lower && b <= upper;
        lower = 0x80;
        upper = 0xBF;
        if (!fits) {
            // The sequence broke off: one replacement for it, and b starts afresh.
            needed = 0;
            seen = 0;
            putChar(Replacement);
            continue;
        }
        ++p;
        codePoint = codePoint << 6 | (b & 0x3F);
        if (++seen == needed) {
            putChar(codePoint);
            needed = 0;
            seen = 0;
        }
    }
    FCodePoint = codePoint;
    FNeeded = needed;
    FSeen = seen;
    FLower = lower;
    FUpper = upper;
    return out;
}

char* TUtf8ToGbk::Finish(char* out)
{
    if (FNeeded != 0)
        out = Emit(out, Replacement);
    Reset();
    return out;
}

void TUtf8ToGbk::Reset()
{
    FCodePoint = 0;
    FNeeded = 0;
    FSeen = 0;
    FLower = 0x80;
    FUpper = 0xBF;
}

QByteArray ToGbk(QStringView text)
{
    QByteArray result(2 * text.size() + 2, Qt::Uninitialized);
    TGbkEncoder encoder;
    char* end = encoder.Finish(encoder.Encode(text, result.data()));
    result.truncate(end - result.constData());
    return result;
}

QString FromGbk(QByteArrayView bytes)
{
    const TGbkTables& tables = Tables();
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    char16_t* const begin = out;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    while (p < end) {
        const uchar b = *p++;
        if (!IsGbkLeadByte(b)) {
            *out++ = tables.Single[b];
        } else if (p == end) {
            *out++ = Replacement;
        } else {
            *out++ = tables.Pair[(b - 0x81) * 256 + *p++];
        }
    }
    result.truncate(out - begin);
    return result;
}
