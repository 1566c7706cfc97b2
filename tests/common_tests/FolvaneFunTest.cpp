#include "common/FolvaneFun.h"
#include "common/Gbk.h"

#include <QStringList>

#include <gtest/gtest.h>

TEST(FolvaneFun, TrimBytesDropsControlAndBlankBytesOnly)
{
    struct TCase {
        QByteArray Text;
        QByteArray Trimmed;
    } const cases[] = {
        {" \t abc \r\n", "abc"},
        {"abc", "abc"},
        {"   ", ""},
        {"", ""},
        {ToGbk(u"　正文　"), ToGbk(u"　正文　")}, // a full-width blank is text
        {QByteArray("\x01 a b \x1F", 7), "a b"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TrimBytes(c.Text).toByteArray(), c.Trimmed) << c.Text.toStdString();
}

TEST(FolvaneFun, EllipsisTextNeverCutsADoubleByteCharacter)
{
    // 一 is D2 BB: its trail byte lies in the lead range too, so only a walk
    // from the start tells lead from trail.
    const QByteArray ten = ToGbk(u"一二三四五六七八九十");
    struct TCase {
        const char* Name;
        QByteArray Text;
        QByteArray Cut;
    } const cases[] = {
        {"short", "abc", "abc"},
        {"exactly 20 bytes", QByteArray(20, 'a'), QByteArray(20, 'a')},
        {"21 bytes", QByteArray(21, 'a'), QByteArray(20, 'a') + "..."},
        {"20th byte is a trail byte", ten + "x", ten + "..."},
        {"20th byte is a lead byte", "a" + ten, "a" + ToGbk(u"一二三四五六七八九") + "..."},
        {"lead byte at 20 after ascii", QByteArray(19, 'a') + ToGbk(u"一"), QByteArray(19, 'a') + "..."},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(EllipsisText(QByteArrayView(c.Text), 20), c.Cut) << c.Name;
}

TEST(FolvaneFun, EllipsisTextOfStringsCountsGbkBytes)
{
    EXPECT_EQ(EllipsisText(u"a一二三四五六七八九十", 20), u"a一二三四五六七八九..."_qs);
    EXPECT_EQ(EllipsisText(u"第一章", 20), u"第一章"_qs);
}

TEST(FolvaneFun, ZeroPadFillsToWidth)
{
    EXPECT_EQ(ZeroPad(u"7"_qs, 3), u"007"_qs);
    EXPECT_EQ(ZeroPad(u"12"_qs, 3), u"012"_qs);
    EXPECT_EQ(ZeroPad(u"123"_qs, 3), u"123"_qs);
    EXPECT_EQ(ZeroPad(u"1234"_qs, 3), u"1234"_qs);
    EXPECT_EQ(ZeroPad(QString(), 2), u"00"_qs);
}

TEST(FolvaneFun, NextMarkTokenTakesEntriesInOrder)
{
    QString list = u"0/0|80/5||7/12"_qs;
    QString token;
    QStringList tokens;
    while (!list.isEmpty()) {
        NextMarkToken(list, token);
        tokens.append(token);
    }
    EXPECT_EQ(tokens, QStringList({u"0/0"_qs, u"80/5"_qs, QString(), u"7/12"_qs}));

    list = u"a|"_qs;
    NextMarkToken(list, token);
    EXPECT_EQ(token, u"a"_qs);
    EXPECT_TRUE(list.isEmpty());

    list.clear();
    token = u"stale"_qs;
    NextMarkToken(list, token);
    EXPECT_TRUE(token.isEmpty());
}
