#pragma once
// The laid-out document: pages of at most 40 display lines, each line a byte
// view into one shared buffer of the decoded text (code page 936), so a book
// costs little more memory than its text.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

constexpr int LinesPerPage = 40;
constexpr int MaxLineBytes = 80;
constexpr int PageGap = 20;
constexpr int PageTopMargin = 92;
constexpr int PageBottomMargin = 92;
constexpr int PageSideMargin = 60;
constexpr int ShadowSize = 5;

// Position of a display line in the source text.
struct TLinePos {
    int32_t Offset = 0;    // byte offset within the source line
    int32_t LineIndex = 0; // index of the source line in the document

    friend bool operator==(const TLinePos&, const TLinePos&) = default;
    friend auto operator<=>(const TLinePos& a, const TLinePos& b)
    {
        if (a.LineIndex != b.LineIndex)
            return a.LineIndex <=> b.LineIndex;
        return a.Offset <=> b.Offset;
    }
};

// "offset/line", what bookmarks and the reading point store.
QString PositionText(const TLinePos& pos);

// Font and metrics of one line kind.
struct TLineFont {
    QString Name;
    int32_t Size = 11;
    int32_t Color = 0; // 0x00BBGGRR
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int32_t MaxBytes = MaxLineBytes;
    int32_t Width = 0;  // pixel width of the 40-character sample
    int32_t Height = 0; // pixel height of one text line
};

// Where a page sits in the reading area, once it has a slot there: unscrolled
// content coordinates, so scrolling moves no box. 64-bit, because 100,000 tall
// pages come close to overflowing 32 bits of pixels.
struct TPageBox {
    int Left = 0;
    qint64 Top = 0;
    int Width = 0;
    int Height = 0;
};

// The display lines of one page. Lines are views into the document buffer;
// a line rewritten in place (script conversion) gets storage of its own.
class TPageLines {
public:
    int count() const { return FCount; }
    bool isEmpty() const { return FCount == 0; }
    QByteArrayView at(int i) const;
    QByteArray line(int i) const { return at(i).toByteArray(); }

    void setBuffer(const QByteArray& buffer) { FBuffer = buffer; }
    const QByteArray& buffer() const { return FBuffer; }
    // Appends buffer bytes [start, start + length); returns the line's index.
    int append(qsizetype start, int length);
    void replace(int i, const QByteArray& text);
    void clear();

private:
    QByteArray FBuffer;
    std::array<uint32_t, LinesPerPage> FStart{};
    std::array<uint8_t, LinesPerPage> FLength{};
    std::vector<std::pair<int, QByteArray>> FReplaced;
    int FCount = 0;
};

struct TOnePage {
    std::optional<TPageBox> PageView;
    TPageLines Lines;
    // The page's source text is not copied: it is gathered on demand from the
    // buffer (SourceTextOf), since nothing but the export reads it.
    bool EndsInLine = false;
    std::array<TLinePos, LinesPerPage> LinePos{};
    // A kind is 1 or 2 and a highlight lies within a line of 80 bytes: a byte
    // each is enough, and saves a tenth of a big book's memory.
    std::array<int8_t, LinesPerPage> LineKind{};
    std::array<int8_t, LinesPerPage> HiStart{};
    std::array<int8_t, LinesPerPage> HiEnd{};
    int32_t SecondFontLines = 0;
    int32_t Height = 0;
    int32_t Width = 0;
    int32_t TopMargin = PageTopMargin;
    int32_t BottomMargin = PageBottomMargin;
    int32_t SideMargin = PageSideMargin;
    bool Bookmarked = false;
    int32_t ConvertMode = 0; // 0 none, 1 to Simplified, 2 to Traditional
};

using TPages = std::vector<TOnePage>;

// Page width and height, shadow included, for the given line metrics.
int32_t PageWidthFor(const TLineFont& body);
int32_t PageHeightFor(const TLineFont& body, const TLineFont& second, int secondFontLines, int lineSpacing);
