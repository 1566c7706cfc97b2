#pragma once
// Line wrapping and pagination: every source line is cut into display lines
// of at most MaxBytes bytes (80) that never split a double-byte character,
// and the display lines are laid onto pages of 40. Wrapping counts bytes,
// never pixels, so the font changes only the page geometry. Also the lookups
// that read the laid-out pages: the page of a stored position, and the text
// the page list shows for a page.

#include "app/model/PageModel.h"
#include "app/model/TextReader.h"

#include <QByteArrayList>
#include <QList>

#include <cstdint>
#include <vector>

// One display line as a byte range of its source line.
struct TPiece {
    int32_t Offset = 0;
    int32_t Length = 0;

    friend bool operator==(const TPiece&, const TPiece&) = default;
};

// Empties both lists and fills them with the display lines cut from line and
// the byte offset of each. A line of at most n bytes, the empty line
// included, is one piece. An n below 1 counts as 1; with n = 1 a double-byte
// character is a piece of its own.
void CutByBytes(QByteArrayList& pieces, QList<int32_t>& offsets, QByteArrayView line, int n);
// The same cut as byte ranges; pieces keeps its capacity, so a reused vector
// costs no allocation.
void CutByBytes(std::vector<TPiece>& pieces, QByteArrayView line, int n);

// The kind of every display line cut from line: 1, body text.
int ClassifyLine(QByteArrayView line);

// Replaces the content of pages by the pages of text. Page records up to the
// old count are reused (their PageView kept), surplus records are removed.
// Lines are views into text.Text. totalChars gets the characters of all
// source lines (their Chars), line ends not counted.
void BuildPages(TPages& pages, const TTextFile& text, const TLineFont& bodyFont, const TLineFont& secondFont,
                int lineSpacing, int32_t& totalChars);

// Drops the last page; nothing when there is none.
void RemoveLastPage(TPages& pages);

// Adds to target the source text from (startOffset, startLine) to
// (endOffset, endLine), the end offset included: one entry per source line
// touched, without line ends. Nothing when startLine > endLine.
void GatherPageText(QByteArrayList& target, const TTextFile& text, int32_t startOffset, int32_t startLine,
                    int32_t endLine, int32_t endOffset);
// The source text page covers, gathered from the text it was laid out from
// (the last page included, complete or not). maxBytes must be the one the
// pages were built with.
QByteArrayList SourceTextOf(const TOnePage& page, const TTextFile& text, int maxBytes = MaxLineBytes);

// 0-based index of the page that holds position ("offset/line"), or -1: no
// "/", no such page, or past the last display line of the document. Text
// that is no integer counts as 0.
int FindPageOfPos(const TPages& pages, const QString& position);

// The first display line of page that is not blank once trimmed
// (TrimBytes), trimmed; empty when all are blank.
QByteArray PageFirstText(const TOnePage& page);
