#include "app/model/Pagination.h"

#include "common/FolvaneFun.h"
#include "common/Gbk.h"

#include <algorithm>
#include <bit>

namespace {

// Answers, for positions that only move forward, whether a byte of a line
// begins a double-byte character; the words are made as the queries move on,
// so a line needs no buffer of its own.
class TLeadScan {
public:
    TLeadScan(const uchar* line, qsizetype length) : FLine(line), FLength(length) {}

    bool IsLead(qsizetype i)
    {
        while (FWord < (i >> 6)) {
            const qsizetype at = ++FWord * 64;
            FLeads = at + 64 <= FLength ? FBits.Next(FLine + at) : FBits.NextTail(FLine + at, FLength - at);
        }
        return FLeads >> (i & 63) & 1;
    }

private:
    const uchar* FLine;
    qsizetype FLength;
    qsizetype FWord = -1;
    uint64_t FLeads = 0;
    TGbkLeadBits FBits;
};

// The same over a whole text: lead bits of lines whose bytes follow a line
// end are those of the text, since a line end is no lead byte and a run of
// lead-range bytes cannot reach across it. So one pass over the text serves
// every line, and the characters of a line follow from the lead bits before
// its start and its end.
class TTextLeadScan {
public:
    TTextLeadScan(const uchar* text, qsizetype length) : FText(text), FLength(length) {}

    bool IsLead(qsizetype i)
    {
        MoveTo(i >> 6);
        return FLeads >> (i & 63) & 1;
    }

    // Lead bits at positions below i (i at most the text's length).
    int64_t LeadsBefore(qsizetype i)
    {
        if (i >= FLength) {
            MoveTo((FLength - 1) >> 6);
            return FBits.LeadCount();
        }
        MoveTo(i >> 6);
        return FBefore + std::popcount(FLeads & ((uint64_t(1) << (i & 63)) - 1));
    }

private:
    void MoveTo(qsizetype word)
    {
        while (FWord < word) {
            FBefore = FBits.LeadCount();
            const qsizetype at = ++FWord * 64;
            FLeads = at + 64 <= FLength ? FBits.Next(FText + at) : FBits.NextTail(FText + at, FLength - at);
        }
    }

    const uchar* FText;
    qsizetype FLength;
    qsizetype FWord = -1;
    uint64_t FLeads = 0;
    int64_t FBefore = 0;
    TGbkLeadBits FBits;
};

int PieceBytes(int n)
{
    // A page keeps the length of each line in one byte.
    return std::clamp(n, 1, 255);
}

// Length of a piece that is not the last of its line: n bytes, one less
// when byte n begins a double-byte character. With n = 1 that character is
// the piece.
int32_t PieceLength(bool endsOnLeadByte, int n)
{
    if (!endsOnLeadByte)
        return n;
    return n > 1 ? n - 1 : 2;
}

void ForEachPiece(QByteArrayView line, int n, auto&& add)
{
    n = PieceBytes(n);
    const qsizetype length = line.size();
    if (n >= length) {
        add(0, int32_t(length));
        return;
    }
    TLeadScan scan(reinterpret_cast<const uchar*>(line.data()), length);
    qsizetype start = 0;
    while (start + n < length) {
        const int32_t piece = PieceLength(scan.IsLead(start + n - 1), n);
        add(int32_t(start), piece);
        start += piece;
    }
    if (start < length)
        add(int32_t(start), int32_t(length - start));
}

void BeginPage(TPages& pages, qsizetype i, const QByteArray& buffer, int32_t width, int32_t height)
{
    if (i == qsizetype(pages.size()))
        pages.emplace_back();
    TOnePage& page = pages[i];
    page.Lines.clear();
    page.Lines.setBuffer(buffer);
    // A reused record would otherwise keep the flag of its last document.
    page.EndsInLine = false;
    page.SecondFontLines = 0;
    page.Height = height;
    page.Width = width;
    page.TopMargin = PageTopMargin;
    page.BottomMargin = PageBottomMargin;
    page.SideMargin = PageSideMargin;
    page.Bookmarked = false;
    page.ConvertMode = 0;
}

// An upper bound of the pages text will need: every piece but the last of a
// line has at least n - 1 bytes.
qsizetype PagesNeeded(const TTextFile& text, int n)
{
    const qsizetype least = std::max(n - 1, 1);
    qsizetype lines = 0;
    for (const TSourceLine& line : text.Lines)
        lines += std::max<qsizetype>(1, (line.Length + least - 1) / least);
    return lines / LinesPerPage + 1;
}

} // namespace

void CutByBytes(QByteArrayList& pieces, QList<int32_t>& offsets, QByteArrayView line, int n)
{
    pieces.clear();
    offsets.clear();
    ForEachPiece(line, n, [&](int32_t offset, int32_t length) {
        pieces.append(line.sliced(offset, length).toByteArray());
        offsets.append(offset);
    });
}

void CutByBytes(std::vector<TPiece>& pieces, QByteArrayView line, int n)
{
    pieces.clear();
    ForEachPiece(line, n, [&](int32_t offset, int32_t length) { pieces.push_back({offset, length}); });
}

int ClassifyLine(QByteArrayView)
{
    return 1;
}

void BuildPages(TPages& pages, const TTextFile& text, const TLineFont& bodyFont, const TLineFont& secondFont,
                int lineSpacing, int32_t& totalChars)
{
    const int n = PieceBytes(bodyFont.MaxBytes);
    const int32_t width = PageWidthFor(bodyFont);
    const int32_t height = PageHeightFor(bodyFont, secondFont, 0, lineSpacing);
    const qsizetype needed = PagesNeeded(text, n);
    if (needed > qsizetype(pages.capacity())) {
        pages.reserve(needed);
        const qsizetype unused = qsizetype(pages.capacity() - pages.size());
        AdviseLargeBuffer(pages.data() + pages.size(), unused * qsizetype(sizeof(TOnePage)));
    }

    qsizetype i = 0;
    BeginPage(pages, i, text.Text, width, height);
    TOnePage* page = &pages[i];
    int64_t chars = 0;
    const auto* bytes = reinterpret_cast<const uchar*>(text.Text.constData());
    TTextLeadScan textScan(bytes, text.Text.size());
    const qsizetype lineCount = text.LineCount();
    for (qsizetype k = 0; k < lineCount; ++k) {
        const TSourceLine& source = text.Lines[k];
        const qsizetype end = source.Start + source.Length;
        const int kind = ClassifyLine(text.Line(k));
        // Lines not made by the reader may follow a lead byte; they get a scan of their own.
        const bool ownScan = source.Start > 0 && IsGbkLeadByte(bytes[source.Start - 1]);
        TLeadScan lineScan(bytes + source.Start, source.Length);
        auto isLead = [&](qsizetype at) { return ownScan ? lineScan.IsLead(at) : textScan.IsLead(source.Start + at); };
        const int64_t leadsBefore = ownScan || source.Length == 0 ? 0 : textScan.LeadsBefore(source.Start);
        qsizetype start = 0;
        for (;;) {
            const bool lastPiece = start + n >= source.Length;
            const int32_t length =
                lastPiece ? int32_t(source.Length - start) : PieceLength(isLead(start + n - 1), n);
            const int idx = page->Lines.append(source.Start + start, length);
            page->LinePos[idx] = {int32_t(start), int32_t(k)};
            page->LineKind[idx] = int8_t(kind);
            page->HiStart[idx] = 0;
            page->HiEnd[idx] = 0;
            if (kind != 1) {
                ++page->SecondFontLines;
                page->Height += secondFont.Height - bodyFont.Height;
            }
            if (idx >= LinesPerPage - 1) {
                page->EndsInLine = !lastPiece;
                BeginPage(pages, ++i, text.Text, width, height);
                page = &pages[i];
            }
            if (lastPiece)
                break;
            start += length;
        }
        if (ownScan) {
            chars += GbkCharCount(text.Line(k));
        } else if (source.Length > 0) {
            // A lead byte in the last place has no trail byte: a character by itself.
            const int64_t lonely = textScan.IsLead(end - 1) ? 1 : 0;
            chars += source.Length - (textScan.LeadsBefore(end) - leadsBefore - lonely);
        }
    }
    totalChars = int32_t(chars);

    const qsizetype inUse = i + (page->Lines.isEmpty() ? 0 : 1);
    while (qsizetype(pages.size()) > inUse)
        RemoveLastPage(pages);
    // Records of a long book read before are not kept for a short one.
    if (pages.capacity() > 2 * pages.size() + 64)
        pages.shrink_to_fit();
}

void RemoveLastPage(TPages& pages)
{
    if (!pages.empty())
        pages.pop_back();
}

void GatherPageText(QByteArrayList& target, const TTextFile& text, int32_t startOffset, int32_t startLine,
                    int32_t endLine, int32_t endOffset)
{
    if (startLine > endLine || startLine < 0 || endLine >= text.LineCount())
        return;
    // Bytes from..to of line k, to included, kept within the line.
    auto add = [&](int32_t k, int32_t from, int32_t to) {
        const QByteArrayView line = text.Line(k);
        from = std::clamp<int32_t>(from, 0, int32_t(line.size()));
        to = std::clamp<int32_t>(to, from - 1, int32_t(line.size()) - 1);
        target.append(line.sliced(from, to - from + 1).toByteArray());
    };
    if (startLine == endLine) {
        add(startLine, startOffset, endOffset);
        return;
    }
    add(startLine, startOffset, INT32_MAX - 1);
    for (int32_t k = startLine + 1; k < endLine; ++k)
        target.append(text.Line(k).toByteArray());
    add(endLine, 0, endOffset);
}

QByteArrayList SourceTextOf(const TOnePage& page, const TTextFile& text, int maxBytes)
{
    QByteArrayList result;
    const int count = page.Lines.count();
    if (count == 0)
        return result;
    const TLinePos first = page.LinePos[0];
    const TLinePos last = page.LinePos[count - 1];
    if (last.LineIndex < 0 || last.LineIndex >= text.LineCount())
        return result;
    // The page's own copy of its last line may have been converted; the
    // source tells where that line really ends.
    int32_t lastLength = 0;
    ForEachPiece(text.Line(last.LineIndex), maxBytes, [&](int32_t offset, int32_t length) {
        if (offset == last.Offset)
            lastLength = length;
    });
    GatherPageText(result, text, first.Offset, first.LineIndex, last.LineIndex, last.Offset + lastLength - 1);
    return result;
}

int FindPageOfPos(const TPages& pages, const QString& position)
{
    const qsizetype slash = position.indexOf(u'/');
    if (slash < 0)
        return -1;
    bool ok = false;
    int32_t offset = position.first(slash).toInt(&ok);
    if (!ok)
        offset = 0;
    int32_t lineIndex = position.sliced(slash + 1).toInt(&ok);
    if (!ok)
        lineIndex = 0;
    const TLinePos pos{offset, lineIndex};

    // Pages begin in increasing order: the last one that begins at or before pos.
    const auto after = std::upper_bound(pages.begin(), pages.end(), pos,
                                        [](const TLinePos& p, const TOnePage& page) { return p < page.LinePos[0]; });
    if (after == pages.begin())
        return -1;
    const auto found = after - 1;
    if (after == pages.end()) {
        const int count = found->Lines.count();
        if (count > 0) {
            const TLinePos line = found->LinePos[count - 1];
            const qsizetype lineEnd = line.Offset + found->Lines.at(count - 1).size();
            const bool inside = pos.LineIndex == line.LineIndex && pos.Offset < lineEnd;
            if (pos > line && !inside)
                return -1;
        }
    }
    return int(found - pages.begin());
}

QByteArray PageFirstText(const TOnePage& page)
{
    for (int i = 0; i < page.Lines.count(); ++i) {
        const QByteArrayView trimmed = TrimBytes(page.Lines.at(i));
        if (!trimmed.isEmpty())
            return trimmed.toByteArray();
    }
    return {};
}
