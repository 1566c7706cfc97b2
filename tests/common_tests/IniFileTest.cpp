#include "common/IniFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int Default = -77;

TIniFile Parsed(const QByteArray& bytes)
{
    TIniFile ini;
    ini.parse(bytes);
    return ini;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

struct TIntegerCase {
    const char* Text;
    int Expected;
};

class IniInteger : public testing::TestWithParam<TIntegerCase> {};

} // namespace

TEST_P(IniInteger, ReadsValue)
{
    const TIniFile ini = Parsed(QByteArray("[S]\r\nK=") + GetParam().Text + "\r\n");
    EXPECT_EQ(ini.readInteger("S", "K", Default), GetParam().Expected) << '"' << GetParam().Text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, IniInteger,
                         testing::Values(TIntegerCase{"16", 16}, TIntegerCase{"0x10", 16}, TIntegerCase{"0X10", 16},
                                         TIntegerCase{"$10", 16}, TIntegerCase{"$FF", 255}, TIntegerCase{"$ff", 255},
                                         TIntegerCase{"  42\t", 42}, TIntegerCase{"+7", 7}, TIntegerCase{"-7", -7},
                                         TIntegerCase{"-$10", -16}, TIntegerCase{"-0x10", -16},
                                         TIntegerCase{"007", 7}, TIntegerCase{"\"12\"", 12},
                                         TIntegerCase{"$FFFFFFFF", -1}, TIntegerCase{"2147483647", 2147483647},
                                         TIntegerCase{"-2147483648", -2147483647 - 1},
                                         // no integer: the default
                                         TIntegerCase{"2147483648", Default}, TIntegerCase{"$100000000", Default},
                                         TIntegerCase{"99999999999999999999999", Default},
                                         TIntegerCase{"", Default}, TIntegerCase{"0x", Default},
                                         TIntegerCase{"$", Default}, TIntegerCase{"-", Default},
                                         TIntegerCase{"abc", Default}, TIntegerCase{"12abc", Default},
                                         TIntegerCase{"1 2", Default}, TIntegerCase{"- 5", Default},
                                         TIntegerCase{"1.5", Default}, TIntegerCase{"1e3", Default},
                                         TIntegerCase{"0x1G", Default}, TIntegerCase{"$-10", Default},
                                         TIntegerCase{"１２", Default}, TIntegerCase{"10 ; note", Default}));

TEST(IniFile, BoolIsIntegerNotZero)
{
    const TIniFile ini = Parsed("[S]\nOne=1\nZero=0\nTwo=2\nMinus=-1\nHexZero=$0\nWord=yes\n");
    for (bool def : {false, true}) {
        EXPECT_TRUE(ini.readBool("S", "One", def));
        EXPECT_FALSE(ini.readBool("S", "Zero", def));
        EXPECT_TRUE(ini.readBool("S", "Two", def));
        EXPECT_TRUE(ini.readBool("S", "Minus", def));
        EXPECT_FALSE(ini.readBool("S", "HexZero", def));
        EXPECT_EQ(ini.readBool("S", "Word", def), def);
        EXPECT_EQ(ini.readBool("S", "Missing", def), def);
    }
}

TEST(IniFile, SectionsAndKeysIgnoreLetterCase)
{
    TIniFile ini = Parsed("[viewer]\r\nhisFILEcount=5\r\n");
    EXPECT_EQ(ini.readInteger("VIEWER", "HisFileCount", Default), 5);
    EXPECT_EQ(ini.readInteger("Viewer", "HISFILECOUNT", Default), 5);

    // Writing under another spelling replaces the value; the file keeps its spelling.
    ini.writeInteger("VIEWER", "HisFileCount", 6);
    EXPECT_EQ(ini.toBytes(), QByteArray("[viewer]\r\nhisFILEcount=6\r\n"));
}

TEST(IniFile, FirstOfDuplicateKeysAndSectionsCounts)
{
    const TIniFile ini = Parsed("[S]\nK=1\nk=2\nOnlyLater=0\n[T]\nX=9\n[s]\nK=3\nOnlyLater=4\nNew=5\n");
    EXPECT_EQ(ini.readInteger("S", "K", Default), 1);
    EXPECT_EQ(ini.readInteger("S", "OnlyLater", Default), 0);
    EXPECT_EQ(ini.readInteger("S", "New", Default), 5);
    EXPECT_EQ(ini.readInteger("T", "X", Default), 9);
}

TEST(IniFile, IgnoresLinesThatAreNoKeys)
{
    const TIniFile ini = Parsed("Before=1\n"
                                "[S]\n"
                                "; Commented=2\n"
                                "no equals sign\n"
                                "=3\n"
                                "  Spaced  =  four  \n"
                                "Empty=\n"
                                "Quoted=\"  five \"\n"
                                "Half=\"six\n"
                                "Eq=a=b\n");
    EXPECT_EQ(ini.readInteger("", "Before", Default), Default);
    EXPECT_EQ(ini.readInteger("S", "; Commented", Default), Default);
    EXPECT_EQ(ini.readString("S", "no equals sign", "def"), "def");
    EXPECT_EQ(ini.readString("S", "", "def"), "def");
    EXPECT_EQ(ini.readString("S", "Spaced", "def"), "four");
    EXPECT_EQ(ini.readString("S", "Empty", "def"), "");
    EXPECT_EQ(ini.readString("S", "Quoted", "def"), "  five ");
    EXPECT_EQ(ini.readString("S", "Half", "def"), "\"six");
    EXPECT_EQ(ini.readString("S", "Eq", "def"), "a=b");
}

TEST(IniFile, HeaderWithoutClosingBracketHidesItsKeys)
{
    const TIniFile ini = Parsed("[VIEWER]\r\nColor=1\r\n[PAGE\r\nColor=2\r\n[ TEXTFONT ] trailing\r\nColor=3\r\n");
    EXPECT_EQ(ini.readInteger("VIEWER", "Color", Default), 1);
    EXPECT_EQ(ini.readInteger("PAGE", "Color", Default), Default);
    EXPECT_EQ(ini.readInteger("TEXTFONT", "Color", Default), 3);
}

TEST(IniFile, SignatureBeforeFirstSectionIsSkipped)
{
    const TIniFile ini = Parsed("\xEF\xBB\xBF[S]\r\nK=1\r\n");
    EXPECT_EQ(ini.readInteger("S", "K", Default), 1);
}

TEST(IniFile, NulBytesAndBinaryGarbageYieldDefaults)
{
    QByteArray garbage(256 * 1024, Qt::Uninitialized);
    QRandomGenerator random(1234);
    for (char& c : garbage)
        c = char(random.bounded(256));
    const char raw[] = "[S]\r\nK=1\0002\r\nName=a\000b\r\n";
    const QByteArray nul(raw, sizeof(raw) - 1);

    const TIniFile ini = Parsed(nul + garbage + "\r\n[VIEWER]\r\nHisFileCount=7\r\n");
    EXPECT_EQ(ini.readInteger("S", "K", Default), Default);
    EXPECT_EQ(ini.readString("S", "Name", "def"), QString::fromLatin1("a\0b", 3));
    EXPECT_EQ(ini.readInteger("VIEWER", "HisFileCount", Default), 7);
    EXPECT_EQ(ini.readInteger("VIEWER", "Missing", Default), Default);
}

TEST(IniFile, HugeLineIsSkippedQuickly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Options.ini");
    QByteArray huge(50 * 1024 * 1024, 'x');
    huge[10] = '=';
    WriteFile(path, "[S]\r\nBefore=1\r\n" + huge + "\r\nAfter=2\r\n");
    huge.clear();

    QElapsedTimer timer;
    timer.start();
    TIniFile ini;
    EXPECT_TRUE(ini.load(path).Ok);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(ini.readInteger("S", "Before", Default), 1);
    EXPECT_EQ(ini.readInteger("S", "After", Default), 2);
    EXPECT_EQ(ini.readString("S", "xxxxxxxxxx", "skipped"), "skipped");
    EXPECT_LT(ini.toBytes().size(), 100);
}

TEST(IniFile, SavesInInsertionOrderWithCrLf)
{
    TIniFile ini;
    ini.writeInteger("VIEWER", "B", 2);
    ini.writeBool("VIEWER", "A", true);
    ini.writeString("PAGE", "Name", QStringLiteral("宋体"));
    ini.writeBool("viewer", "C", false);
    ini.writeInteger("VIEWER", "b", -3);
    ini.writeString("PAGE", "Broken", "one\r\ntwo\nthree");
    EXPECT_EQ(ini.toBytes(), "[VIEWER]\r\nB=-3\r\nA=1\r\nC=0\r\n"
                             "\r\n[PAGE]\r\nName=" +
                                 StringToNarrow(QStringLiteral("宋体")) + "\r\nBroken=one  two three\r\n");
}

TEST(IniFile, RoundTripsThroughFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Options.ini");
    TIniFile written;
    written.writeString("TEXTFONT", "Name", QStringLiteral("微软雅黑"));
    written.writeInteger("PAGE", "Color", 16777215);
    written.writeInteger("PAGE", "Negative", -5);
    written.writeBool("VIEWER", "SmoothFont", false);
    ASSERT_TRUE(written.save(path).Ok);

    TIniFile read;
    const TReadResult status = read.load(path);
    EXPECT_TRUE(status.Ok);
    EXPECT_FALSE(status.Missing);
    EXPECT_EQ(read.readString("TEXTFONT", "Name", ""), QStringLiteral("微软雅黑"));
    EXPECT_EQ(read.readInteger("PAGE", "Color", Default), 16777215);
    EXPECT_EQ(read.readInteger("PAGE", "Negative", Default), -5);
    EXPECT_FALSE(read.readBool("VIEWER", "SmoothFont", true));
    EXPECT_EQ(read.toBytes(), written.toBytes());
}

TEST(IniFile, LoadReplacesContentAndMissingFileGivesDefaults)
{
    QTemporaryDir dir;
    TIniFile ini = Parsed("[S]\nK=1\n");
    const TReadResult status = ini.load(dir.filePath("none.ini"));
    EXPECT_TRUE(status.Ok);
    EXPECT_TRUE(status.Missing);
    EXPECT_EQ(ini.readInteger("S", "K", Default), Default);
}

TEST(IniFile, SaveIntoMissingFolderReportsError)
{
    QTemporaryDir dir;
    TIniFile ini;
    ini.writeInteger("S", "K", 1);
    const TSaveResult result = ini.save(dir.filePath("missing/Options.ini"));
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
}
