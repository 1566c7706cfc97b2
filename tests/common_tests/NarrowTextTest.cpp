#include "common/NarrowText.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QList<QByteArray> Lines(const QByteArray& bytes, qsizetype maxLineBytes, qsizetype chunkBytes)
{
    QList<QByteArray> lines;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_TRUE(ForEachLine(buffer, [&](QByteArrayView line) { lines.append(line.toByteArray()); }, maxLineBytes,
                            chunkBytes));
    return lines;
}

struct TSplitCase {
    const char* Name;
    QByteArray Bytes;
    QList<QByteArray> Expected;
};

} // namespace

TEST(NarrowText, SplitsOnEveryLineEndAtAnyChunkSize)
{
    const TSplitCase cases[] = {
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"lf", "a\nb", {"a", "b"}},
        {"cr", "a\rb\r", {"a", "b"}},
        {"mixed with empty lines", "a\r\n\nb\r\rc", {"a", "", "b", "", "c"}},
        {"lf cr is two line ends", "a\n\rb", {"a", "", "b"}},
        {"nul bytes stay in the line", QByteArray("a\0b\r\nc", 6), {QByteArray("a\0b", 3), "c"}},
        {"empty input", "", {}},
    };
    // Chunk size 1 and 2 put a CR LF across a chunk boundary.
    for (const auto& c : cases)
        for (qsizetype chunk : {1, 2, 3, 1 << 20})
            EXPECT_EQ(Lines(c.Bytes, 100, chunk), c.Expected) << c.Name << ", chunk " << chunk;
}

TEST(NarrowText, SkipsOverlongLinesWithoutLosingTheirNeighbours)
{
    const QByteArray bytes = "short\r\n" + QByteArray(50, 'x') + "\r\nafter\r\n" + QByteArray(11, 'y');
    for (qsizetype chunk : {1, 7, 1 << 20})
        EXPECT_EQ(Lines(bytes, 10, chunk), (QList<QByteArray>{"short", "after"})) << "chunk " << chunk;
    EXPECT_EQ(Lines(QByteArray(10, 'z'), 10, 3), QList<QByteArray>{QByteArray(10, 'z')});
}

TEST(NarrowText, MissingFileIsNotAnError)
{
    QTemporaryDir dir;
    const TReadResult result = ForEachFileLine(dir.filePath("none.txt"), [](QByteArrayView) {});
    EXPECT_TRUE(result.Ok);
    EXPECT_TRUE(result.Missing);
}

TEST(NarrowText, FolderInPlaceOfFileIsAnError)
{
    QTemporaryDir dir;
    const TReadResult result = ForEachFileLine(dir.path(), [](QByteArrayView) {});
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Missing);
    EXPECT_FALSE(result.Error.isEmpty());
}

TEST(NarrowText, RoundTripsChineseText)
{
    const QString text = QStringLiteral("D:\\小说\\三国演义.txt");
    EXPECT_EQ(NarrowToString(StringToNarrow(text)), text);
}
