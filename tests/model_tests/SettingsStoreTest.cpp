#include "app/model/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void ExpectSameSettings(const TSettings& a, const TSettings& b)
{
    EXPECT_EQ(a.HisFileCount, b.HisFileCount);
    EXPECT_EQ(a.HisFolderCount, b.HisFolderCount);
    EXPECT_EQ(a.ClearFileHis, b.ClearFileHis);
    EXPECT_EQ(a.ClearFolderHis, b.ClearFolderHis);
    EXPECT_EQ(a.AutoLocation, b.AutoLocation);
    EXPECT_EQ(a.AutoOpenNext, b.AutoOpenNext);
    EXPECT_EQ(a.SmoothFont, b.SmoothFont);
    EXPECT_EQ(a.ShowMarkInPage, b.ShowMarkInPage);
    EXPECT_EQ(a.ViewerColor, b.ViewerColor);
    EXPECT_EQ(a.PageColor, b.PageColor);
    EXPECT_EQ(a.UseBg, b.UseBg);
    EXPECT_EQ(a.BgFile, b.BgFile);
    EXPECT_EQ(a.LineSpacing, b.LineSpacing);
    EXPECT_EQ(a.ScrollSpeed, b.ScrollSpeed);
    EXPECT_EQ(a.TextFont.Name, b.TextFont.Name);
    EXPECT_EQ(a.TextFont.Size, b.TextFont.Size);
    EXPECT_EQ(a.TextFont.Color, b.TextFont.Color);
    EXPECT_EQ(a.TextFont.Bold, b.TextFont.Bold);
    EXPECT_EQ(a.TextFont.Italic, b.TextFont.Italic);
    EXPECT_EQ(a.TextFont.Underline, b.TextFont.Underline);
    EXPECT_EQ(a.TextFont.StrikeOut, b.TextFont.StrikeOut);
}

// What the first save without any settings file writes.
QByteArray DefaultFileText()
{
    return "[VIEWER]\r\n"
           "HisFileCount=10\r\n"
           "HisFolderCount=10\r\n"
           "ClearFileHis=0\r\n"
           "ClearFolderHis=0\r\n"
           "AutoLocation=1\r\n"
           "AutoOpenNext=1\r\n"
           "SmoothFont=1\r\n"
           "ShowMarkInPage=1\r\n"
           "Color=10329501\r\n"
           "\r\n"
           "[PAGE]\r\n"
           "Color=16777215\r\n"
           "UseBg=0\r\n"
           "BgFile=\r\n"
           "LineSpacing=6\r\n"
           "ScrollSpeed=1000\r\n"
           "\r\n"
           "[TEXTFONT]\r\n"
           "Name=" +
           StringToNarrow(QStringLiteral("宋体")) +
           "\r\n"
           "Size=11\r\n"
           "Color=0\r\n"
           "Bold=0\r\n"
           "Italic=0\r\n"
           "Underline=0\r\n"
           "StrikeOut=0\r\n";
}

class SettingsStore : public testing::Test {
protected:
    QTemporaryDir FDir;
    QString FPath = FDir.filePath(SettingsFileName);
};

} // namespace

TEST_F(SettingsStore, MissingFileGivesDefaultsAndSaveWritesAllKeys)
{
    const TSettingsLoad loaded = LoadSettingsFile(FPath);
    EXPECT_TRUE(loaded.Status.Ok);
    EXPECT_TRUE(loaded.Status.Missing);
    ExpectSameSettings(loaded.Settings, TSettings{});
    EXPECT_EQ(loaded.Settings.TextFont.Name, QStringLiteral("宋体"));
    EXPECT_EQ(loaded.Settings.TextFont.MaxBytes, 80);

    ASSERT_TRUE(SaveSettingsFile(FPath, loaded.Settings).Ok);
    EXPECT_EQ(ReadAll(FPath), DefaultFileText());
}

TEST_F(SettingsStore, RoundTripsEveryKey)
{
    TSettings s;
    s.HisFileCount = 30;
    s.HisFolderCount = 5;
    s.ClearFileHis = true;
    s.ClearFolderHis = true;
    s.AutoLocation = false;
    s.AutoOpenNext = false;
    s.SmoothFont = false;
    s.ShowMarkInPage = false;
    s.ViewerColor = 0x123456;
    s.PageColor = 0xABCDEF;
    s.UseBg = true;
    s.BgFile = QStringLiteral("纸张 1.bmp");
    s.LineSpacing = 20;
    s.ScrollSpeed = 5000;
    s.TextFont.Name = QStringLiteral("楷体");
    s.TextFont.Size = 24;
    s.TextFont.Color = 0xFF;
    s.TextFont.Bold = true;
    s.TextFont.Italic = true;
    s.TextFont.Underline = true;
    s.TextFont.StrikeOut = true;
    ASSERT_TRUE(SaveSettingsFile(FPath, s).Ok);

    const TSettingsLoad loaded = LoadSettingsFile(FPath);
    EXPECT_TRUE(loaded.Status.Ok);
    EXPECT_FALSE(loaded.Status.Missing);
    ExpectSameSettings(loaded.Settings, s);
}

TEST_F(SettingsStore, ValuesAreReadAsWrittenByHandWithoutClamping)
{
    WriteFile(FPath, "[textfont]\nsize=0x10\ncolor=$FF\n"
                     "[Page]\nLineSpacing=99\nScrollSpeed=100\nUseBg=2\n"
                     "[VIEWER]\nHisFileCount=-3\nHisFolderCount=1000\nSmoothFont=0\n");
    const TSettings s = LoadSettingsFile(FPath).Settings;
    EXPECT_EQ(s.TextFont.Size, 16);
    EXPECT_EQ(s.TextFont.Color, 255);
    EXPECT_EQ(s.LineSpacing, 99);
    EXPECT_EQ(s.ScrollSpeed, 100);
    EXPECT_TRUE(s.UseBg);
    EXPECT_EQ(s.HisFileCount, -3);
    EXPECT_EQ(s.HisFolderCount, 1000);
    EXPECT_FALSE(s.SmoothFont);
}

TEST_F(SettingsStore, DamagedFileKeepsWhatCanBeReadAndSaveRepairsIt)
{
    const char raw[] = "[VIEWER]\r\nHisFileCount=twelve\r\nAutoLocation=\0\r\nColor=255\r\n"
                       "\x01\xFF\xFE garbage \x80\r\n[PAGE\r\nLineSpacing=3\r\n[Other]\r\nKey=1\r\n";
    WriteFile(FPath, QByteArray(raw, sizeof(raw) - 1));
    const TSettingsLoad loaded = LoadSettingsFile(FPath);
    EXPECT_TRUE(loaded.Status.Ok);
    EXPECT_EQ(loaded.Settings.HisFileCount, 10);
    EXPECT_TRUE(loaded.Settings.AutoLocation);
    EXPECT_EQ(loaded.Settings.ViewerColor, 255);
    EXPECT_EQ(loaded.Settings.LineSpacing, 6); // under a header without "]"

    ASSERT_TRUE(SaveSettingsFile(FPath, TSettings{}).Ok);
    EXPECT_EQ(ReadAll(FPath), DefaultFileText());
}

TEST_F(SettingsStore, UnreadableFileGivesDefaultsWithError)
{
    ASSERT_TRUE(QDir(FDir.path()).mkdir(SettingsFileName));
    const TSettingsLoad loaded = LoadSettingsFile(FPath);
    EXPECT_FALSE(loaded.Status.Ok);
    EXPECT_FALSE(loaded.Status.Error.isEmpty());
    ExpectSameSettings(loaded.Settings, TSettings{});
}

TEST_F(SettingsStore, SaveIntoMissingFolderReportsError)
{
    const TSaveResult result = SaveSettingsFile(FDir.filePath("gone/Options.ini"), TSettings{});
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
}
