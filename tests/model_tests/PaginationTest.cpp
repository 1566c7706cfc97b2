#include "app/model/Pagination.h"

#include "common/Gbk.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The wrap worked out one position at a time: the reference.
std::vector<TPiece> CutBySteps(QByteArrayView line, int n)
{
    std::vector<TPiece> pieces;
    const qsizetype length = line.size();
    if (n >= length)
        return {{0, int32_t(length)}};
    std::vector<bool> lead(size_t(length), false);
    for (qsizetype i = 0; i < length;) {
        lead[size_t(i)] = IsGbkLeadByte(uchar(line[i]));
        i += lead[size_t(i)] ? 2 : 1;
    }
    qsizetype start = 0;
    while (start + n < length) {
        const qsizetype piece = lead[size_t(start + n - 1)] ? n - 1 : n;
        pieces.push_back({int32_t(start), int32_t(piece)});
        start += piece;
    }
    if (start < length)
        pieces.push_back({int32_t(start), int32_t(length - start)});
    return pieces;
}

std::vector<TPiece> Cut(QByteArrayView line, int n)
{
    std::vector<TPiece> pieces;
    CutByBytes(pieces, line, n);
    return pieces;
}

QByteArray Hanzi(int count)
{
    // 一 is D2 BB: its trail byte lies in the lead range as well.
    return ToGbk(QString(count, QChar(u'一')));
}

// Double-byte characters with trail bytes inside and outside the lead
// range, mixed with digits that shift them onto odd offsets.
QByteArray RandomLine(std::mt19937& random, qsizetype length)
{
    static const QByteArray characters[] = {ToGbk(u"一"), ToGbk(u"丂"), ToGbk(u"　"), ToGbk(u"，"), "7"};
    QByteArray line;
    while (line.size() < length)
        line += characters[random() % 5 == 0 ? 4 : random() % 4];
    line.truncate(length);
    return line;
}

TLineFont Font(int width, int height)
{
    TLineFont font;
    font.Width = width;
    font.Height = height;
    return font;
}

// Pages of a book, with the fonts and spacing of a typical setting.
class Pagination : public ::testing::Test {
protected:
    void Build(const QByteArray& gbk)
    {
        FText = TextFromGbk(gbk);
        BuildPages(FPages, FText, FBody, FBody, FSpacing, FTotalChars);
    }

    // n lines of the given bytes, CR LF after each.
    static QByteArray Lines(int n, const QByteArray& line = "x")
    {
        QByteArray text;
        for (int i = 0; i < n; ++i)
            text += line + "\r\n";
        return text;
    }

    TLineFont FBody = Font(640, 16);
    int FSpacing = 4;
    TTextFile FText;
    TPages FPages;
    int32_t FTotalChars = -1;
};

} // namespace

TEST(CutByBytes, CutsAtMostNBytesWithoutSplittingACharacter)
{
    struct TCase {
        const char* Name;
        QByteArray Line;
        std::vector<TPiece> Pieces;
    } const cases[] = {
        {"empty line is one empty piece", "", {{0, 0}}},
        {"80 bytes", QByteArray(80, 'a'), {{0, 80}}},
        {"81 bytes", QByteArray(81, 'a'), {{0, 80}, {80, 1}}},
        {"160 single bytes", QByteArray(160, 'a'), {{0, 80}, {80, 80}}},
        {"40 double-byte characters", Hanzi(40), {{0, 80}}},
        {"41 double-byte characters", Hanzi(41), {{0, 80}, {80, 2}}},
        {"byte 80 a lead byte", "a" + Hanzi(40), {{0, 79}, {79, 2}}},
        {"long mixed line", "a" + Hanzi(80) + "b", {{0, 79}, {79, 80}, {159, 3}}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Cut(c.Line, 80), c.Pieces) << c.Name;
        QByteArrayList pieces;
        QList<int32_t> offsets;
        CutByBytes(pieces, offsets, c.Line, 80);
        ASSERT_EQ(pieces.size(), qsizetype(c.Pieces.size())) << c.Name;
        for (qsizetype j = 0; j < pieces.size(); ++j) {
            EXPECT_EQ(offsets[j], c.Pieces[size_t(j)].Offset) << c.Name;
            EXPECT_EQ(pieces[j], c.Line.sliced(offsets[j], c.Pieces[size_t(j)].Length)) << c.Name;
        }
    }
}

TEST(CutByBytes, MatchesStepByStepCutOnRandomLines)
{
    std::mt19937 random(42);
    for (int round = 0; round < 500; ++round) {
        const QByteArray line = RandomLine(random, qsizetype(random() % 700));
        for (int n : {80, 79, 7, 2})
            ASSERT_EQ(Cut(line, n), CutBySteps(line, n)) << "n " << n << " line " << line.toHex().toStdString();
    }
}

TEST(CutByBytes, WidthOneEndsOnDoubleByteCharacters)
{
    EXPECT_EQ(Cut("a" + Hanzi(2), 1), (std::vector<TPiece>{{0, 1}, {1, 2}, {3, 2}}));
    EXPECT_EQ(Cut("ab", 0), (std::vector<TPiece>{{0, 1}, {1, 1}}));
}

TEST(ClassifyLine, EveryLineIsBodyText)
{
    EXPECT_EQ(ClassifyLine(""), 1);
    EXPECT_EQ(ClassifyLine(Hanzi(3)), 1);
}

TEST_F(Pagination, FortyLinesFillOnePageAndTheFortyFirstStartsAnother)
{
    Build(Lines(40));
    ASSERT_EQ(FPages.size(), 1u);
    EXPECT_EQ(FPages[0].Lines.count(), 40);

    Build(Lines(41));
    ASSERT_EQ(FPages.size(), 2u);
    EXPECT_EQ(FPages[1].Lines.count(), 1);
    EXPECT_EQ(FPages[1].Height, FPages[0].Height);
    EXPECT_EQ(FPages[0].Height, 16 * 40 + 4 * 39 + 189);
    EXPECT_EQ(FPages[0].Width, 640 + 125);
    EXPECT_EQ(FPages[1].LinePos[0], (TLinePos{0, 40}));
}

TEST_F(Pagination, FillsEveryFieldOfAPage)
{
    Build(Lines(2, "ab") + "\r\n" + Hanzi(41));
    ASSERT_EQ(FPages.size(), 1u);
    const TOnePage& page = FPages[0];
    const TLinePos positions[] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {80, 3}};
    const QByteArray lines[] = {"ab", "ab", "", Hanzi(40), Hanzi(1)};
    ASSERT_EQ(page.Lines.count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(page.LinePos[i], positions[i]) << i;
        EXPECT_EQ(page.Lines.at(i), lines[i]) << i;
        EXPECT_EQ(page.LineKind[i], 1);
        EXPECT_EQ(page.HiStart[i], 0);
        EXPECT_EQ(page.HiEnd[i], 0);
    }
    EXPECT_EQ(page.SecondFontLines, 0);
    EXPECT_EQ(page.TopMargin, 92);
    EXPECT_EQ(page.BottomMargin, 92);
    EXPECT_EQ(page.SideMargin, 60);
    EXPECT_FALSE(page.Bookmarked);
    EXPECT_EQ(page.ConvertMode, 0);
    EXPECT_FALSE(page.PageView.has_value());
    EXPECT_EQ(FTotalChars, 2 + 2 + 0 + 41);
}

TEST_F(Pagination, PageEndingInsideALineContinuesIt)
{
    Build(Lines(39) + QByteArray(160, 'a') + "\r\nz");
    ASSERT_EQ(FPages.size(), 2u);
    EXPECT_TRUE(FPages[0].EndsInLine);
    EXPECT_EQ(FPages[1].LinePos[0], (TLinePos{80, 39}));

    Build(Lines(38) + QByteArray(160, 'a') + "\r\nz");
    ASSERT_EQ(FPages.size(), 2u);
    EXPECT_FALSE(FPages[0].EndsInLine);
    EXPECT_EQ(FPages[1].LinePos[0], (TLinePos{0, 39}));
}

TEST_F(Pagination, TotalCharsCountsUtf16UnitsOfEveryLine)
{
    Build(ToGbk(u"一二三abc\r\n"));
    EXPECT_EQ(FTotalChars, 6);

    std::mt19937 random(3);
    QByteArray book;
    int32_t expected = 0;
    for (int k = 0; k < 300; ++k) {
        const QByteArray line = RandomLine(random, qsizetype(random() % 400));
        expected += int32_t(FromGbk(line).size());
        book += line + (k % 3 ? "\r\n" : "\n");
    }
    Build(book);
    EXPECT_EQ(FTotalChars, expected);
}

TEST_F(Pagination, LinesNotSplitAtLineEndsAreScannedOnTheirOwn)
{
    // Line 1 begins right after a lead byte, so the lead bytes of the text
    // as a whole say nothing about it: on its own it begins with BB as a
    // lead byte, and its byte 80 is a trail byte.
    TTextFile text;
    text.Encoding = EncodingAnsi;
    text.Text = QByteArray::fromHex("D2BB") + Hanzi(40) + "z";
    text.Lines = {{0, 1}, {1, 82}};
    BuildPages(FPages, text, FBody, FBody, FSpacing, FTotalChars);
    ASSERT_EQ(FPages.size(), 1u);
    ASSERT_EQ(FPages[0].Lines.count(), 3);
    EXPECT_EQ(FPages[0].LinePos[2], (TLinePos{80, 1}));
    EXPECT_EQ(FTotalChars, 1 + 41);
}

TEST_F(Pagination, EmptyTextHasNoPages)
{
    Build(Lines(12));
    Build("");
    EXPECT_TRUE(FPages.empty());
    EXPECT_EQ(FTotalChars, 0);
}

TEST_F(Pagination, PositionsIncreaseAndPagesAreFull)
{
    std::mt19937 random(9);
    QByteArray book;
    for (int k = 0; k < 400; ++k)
        book += RandomLine(random, qsizetype(random() % 500)) + "\r\n";
    Build(book);
    ASSERT_GT(FPages.size(), 5u);
    TLinePos last{-1, -1};
    qsizetype lines = 0;
    for (size_t p = 0; p < FPages.size(); ++p) {
        const TOnePage& page = FPages[p];
        if (p + 1 < FPages.size())
            EXPECT_EQ(page.Lines.count(), LinesPerPage);
        for (int i = 0; i < page.Lines.count(); ++i) {
            EXPECT_GT(page.LinePos[i], last);
            last = page.LinePos[i];
            EXPECT_EQ(page.Lines.at(i), FText.Line(last.LineIndex).sliced(last.Offset, page.Lines.at(i).size()));
            ++lines;
        }
    }
    qsizetype expected = 0;
    for (qsizetype k = 0; k < FText.LineCount(); ++k)
        expected += qsizetype(Cut(FText.Line(k), 80).size());
    EXPECT_EQ(lines, expected);
}

// Page records are reused from one book to the next; what belongs to the old
// book must not stay behind in them.
TEST_F(Pagination, RebuildReusesRecordsAndReleasesTheOldBook)
{
    Build(Lines(400));
    ASSERT_EQ(FPages.size(), 10u);
    for (TOnePage& page : FPages) {
        page.PageView = TPageBox{10, 20, 30, 40};
        page.Bookmarked = true;
        page.ConvertMode = 2;
        page.Lines.replace(0, "converted");
    }
    const TTextFile oldText = FText;
    Build(Lines(39) + QByteArray(100, 'b') + "\r\n" + Lines(78));
    ASSERT_EQ(FPages.size(), 3u);
    for (const TOnePage& page : FPages) {
        EXPECT_TRUE(page.PageView.has_value());
        EXPECT_FALSE(page.Bookmarked);
        EXPECT_EQ(page.ConvertMode, 0);
    }
    EXPECT_EQ(FPages[0].Lines.at(0), "x");
    EXPECT_TRUE(FPages[0].EndsInLine);
    EXPECT_FALSE(FPages[1].EndsInLine);
    // Neither the reused nor the removed records keep the old text alive.
    EXPECT_TRUE(oldText.Text.isDetached());
}

TEST_F(Pagination, SourceTextOfAPageSpansItsLines)
{
    Build(Lines(39, "ab") + QByteArray(100, 'c') + "\r\n" + Lines(39, "de") + "fg");
    ASSERT_EQ(FPages.size(), 3u);
    QByteArrayList first(39, "ab");
    first.append(QByteArray(80, 'c'));
    EXPECT_EQ(SourceTextOf(FPages[0], FText), first);
    QByteArrayList second{QByteArray(20, 'c')};
    second.append(QByteArrayList(39, "de"));
    EXPECT_EQ(SourceTextOf(FPages[1], FText), second);
    EXPECT_EQ(SourceTextOf(FPages[2], FText), QByteArrayList({"fg"}));
}

TEST(GatherPageText, TakesTheSpanInclusive)
{
    const TTextFile text = TextFromGbk("abcdef\r\nghi\r\njklmn");
    struct TCase {
        int32_t StartOffset, StartLine, EndLine, EndOffset;
        QByteArrayList Expected;
    } const cases[] = {
        {2, 0, 2, 1, {"cdef", "ghi", "jk"}},
        {1, 1, 1, 1, {"h"}},
        {0, 0, 0, 5, {"abcdef"}},
        {0, 1, 2, -1, {"ghi", ""}},
        {0, 2, 1, 0, {}},
    };
    for (const TCase& c : cases) {
        QByteArrayList target;
        GatherPageText(target, text, c.StartOffset, c.StartLine, c.EndLine, c.EndOffset);
        EXPECT_EQ(target, c.Expected) << c.StartLine << "/" << c.EndLine;
    }
}

namespace {

// The lookup as a plain scan from the first page: the reference.
int FindPageByScan(const TPages& pages, TLinePos pos)
{
    int found = -1;
    for (size_t p = 0; p < pages.size() && !(pos < pages[p].LinePos[0]); ++p)
        found = int(p);
    if (found < 0 || size_t(found) + 1 < pages.size())
        return found;
    const TOnePage& page = pages[size_t(found)];
    const int last = page.Lines.count() - 1;
    const TLinePos line = page.LinePos[last];
    const bool inside = pos.LineIndex == line.LineIndex && pos.Offset < line.Offset + page.Lines.at(last).size();
    return pos > line && !inside ? -1 : found;
}

} // namespace

TEST_F(Pagination, FindPageOfPosFindsThePageOfEveryStoredPosition)
{
    // Short lines, then one source line long enough for several pages, then more lines.
    Build(Lines(30, "ab") + Hanzi(40 * 100 + 7) + "\r\n" + Lines(50, "cd") + "ef");
    ASSERT_GT(FPages.size(), 4u);
    for (size_t p = 0; p < FPages.size(); ++p)
        EXPECT_EQ(FindPageOfPos(FPages, PositionText(FPages[p].LinePos[0])), int(p)) << p;
    // A page that begins in the middle of the long line.
    EXPECT_EQ(FPages[2].LinePos[0].LineIndex, 30);
    EXPECT_GT(FPages[2].LinePos[0].Offset, 0);

    for (int line = 0; line < 83; ++line)
        for (int offset : {0, 1, 79, 80, 81, 799, 800, 4000, 8013, 8014, 100000}) {
            const TLinePos pos{offset, line};
            ASSERT_EQ(FindPageOfPos(FPages, PositionText(pos)), FindPageByScan(FPages, pos))
                << offset << "/" << line;
        }
}

TEST_F(Pagination, FindPageOfPosRejectsWhatNoPageHolds)
{
    Build(Lines(50, "abc") + "xyz");
    ASSERT_EQ(FPages.size(), 2u);
    struct TCase {
        const char* Position;
        int Page;
    } const cases[] = {
        {"0/0", 0},
        {"0/45", 1},
        {"2/50", 1},  // inside the last display line
        {"3/50", -1}, // just past the end
        {"0/51", -1},
        {"0/99999", -1},
        {"", -1},
        {"12", -1},   // no "/"
        {"abc/def", 0}, // text that is no integer counts as 0
        {"0/40/7", 0},  // "40/7" is no integer
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FindPageOfPos(FPages, QString::fromLatin1(c.Position)), c.Page) << c.Position;
    EXPECT_EQ(FindPageOfPos(TPages(), u"0/0"_qs), -1);
}

TEST_F(Pagination, FindPageOfPosOnEmptyLastLineHoldsOnlyItsOwnPosition)
{
    Build("a\r\n\r\n");
    ASSERT_EQ(FPages.size(), 1u);
    EXPECT_EQ(FindPageOfPos(FPages, u"0/1"_qs), 0);
    EXPECT_EQ(FindPageOfPos(FPages, u"1/1"_qs), -1);
}

TEST_F(Pagination, PageFirstTextSkipsBlankLines)
{
    Build("\r\n \t \r\n" + ToGbk(u"　　第一章") + "  \r\nrest");
    ASSERT_EQ(FPages.size(), 1u);
    EXPECT_EQ(PageFirstText(FPages[0]), ToGbk(u"　　第一章"));

    Build(" \r\n\r\n  a b  \r\n");
    EXPECT_EQ(PageFirstText(FPages[0]), "a b");

    Build(" \r\n\t\r\n");
    EXPECT_TRUE(PageFirstText(FPages[0]).isEmpty());
}

TEST(RemoveLastPage, DropsOnePageOrNothing)
{
    TPages pages(2);
    RemoveLastPage(pages);
    EXPECT_EQ(pages.size(), 1u);
    RemoveLastPage(pages);
    RemoveLastPage(pages);
    EXPECT_TRUE(pages.empty());
}
