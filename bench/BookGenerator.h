#pragma once
// Novel-like Chinese books to measure the reader with: chapter headings
// ("第N章 ..."), paragraphs of 50 to 400 characters led by two full-width
// blanks, CR LF line ends and now and then a blank line. The same seed gives
// the same book on every platform.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <random>

enum class TBookEncoding { Gbk, Utf16Le, Utf8 };

// Hands out the book one line at a time (heading, paragraph or blank line),
// CR LF included.
class TBookGenerator {
public:
    explicit TBookGenerator(uint32_t seed);
    QString NextLine();

private:
    uint32_t Below(uint32_t n);
    QChar Hanzi();
    QString Heading();
    QString Paragraph();

    std::mt19937 FRandom;
    int FChapter = 0;
    int FParagraphsLeft = 0;
    bool FBlankDue = false;
};

struct TBookResult {
    bool Ok = false;
    QString Error;
    qint64 Bytes = 0; // written, byte order mark or signature included
};

// The book in the given form, at least targetBytes long; it ends with a whole
// line. UTF-16 gets FF FE in front, UTF-8 EF BB BF.
QByteArray MakeBook(qint64 targetBytes, TBookEncoding encoding, uint32_t seed);
TBookResult WriteBook(const QString& fileName, qint64 targetBytes, TBookEncoding encoding, uint32_t seed);
