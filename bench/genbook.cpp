// genbook <out> <sizeMB> <gbk|utf16le|utf8> [seed]: writes a novel-like book
// of about sizeMB MiB for measuring the reader.

#include "bench/BookGenerator.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: genbook <out> <sizeMB> <gbk|utf16le|utf8> [seed]\n");
        return 2;
    }
    bool ok = false;
    const double megabytes = QString::fromLocal8Bit(argv[2]).toDouble(&ok);
    if (!ok || megabytes <= 0) {
        std::fprintf(stderr, "genbook: size must be a positive number of MiB\n");
        return 2;
    }
    const QString kind = QString::fromLatin1(argv[3]);
    TBookEncoding encoding;
    if (kind == u"gbk")
        encoding = TBookEncoding::Gbk;
    else if (kind == u"utf16le")
        encoding = TBookEncoding::Utf16Le;
    else if (kind == u"utf8")
        encoding = TBookEncoding::Utf8;
    else {
        std::fprintf(stderr, "genbook: encoding must be gbk, utf16le or utf8\n");
        return 2;
    }
    uint32_t seed = 1;
    if (argc == 5) {
        seed = QString::fromLatin1(argv[4]).toUInt(&ok);
        if (!ok) {
            std::fprintf(stderr, "genbook: seed must be an unsigned number\n");
            return 2;
        }
    }
    const auto target = qint64(megabytes * 1024 * 1024);
    const TBookResult result = WriteBook(QString::fromLocal8Bit(argv[1]), target, encoding, seed);
    if (!result.Ok) {
        std::fprintf(stderr, "genbook: %s\n", qPrintable(result.Error));
        return 1;
    }
    std::printf("%lld bytes\n", static_cast<long long>(result.Bytes));
    return 0;
}
