#include "common/FolvaneFun.h"

#include "common/Gbk.h"

QByteArrayView TrimBytes(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && uchar(text[begin]) <= 32)
        ++begin;
    while (end > begin && uchar(text[end - 1]) <= 32)
        --end;
    return text.sliced(begin, end - begin);
}

QByteArray EllipsisText(QByteArrayView text, int n)
{
    if (text.size() <= n)
        return text.toByteArray();
    if (n <= 0)
        return QByteArrayLiteral("...");
    // Walk whole characters: a byte that looks like a lead byte may be a trail byte.
    qsizetype i = 0;
    while (i < n - 1)
        i += IsGbkLeadByte(uchar(text[i])) ? 2 : 1;
    const bool splitsCharacter = i == n - 1 && IsGbkLeadByte(uchar(text[i]));
    return text.first(splitsCharacter ? n - 1 : n).toByteArray() + "...";
}

QString EllipsisText(QStringView text, int n)
{
    return FromGbk(EllipsisText(QByteArrayView(ToGbk(text)), n));
}

QString ZeroPad(const QString& text, int n)
{
    return text.rightJustified(n, u'0');
}

void NextMarkToken(QString& list, QString& token)
{
    const qsizetype bar = list.indexOf(u'|');
    if (bar < 0) {
        token = list;
        list.clear();
        return;
    }
    token = list.first(bar);
    list = list.sliced(bar + 1);
}
