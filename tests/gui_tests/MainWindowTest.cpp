// The window as a fresh program folder shows it, and what closing leaves behind.

#include "ReaderFixture.h"

#include "app/StatusPane.h"
#include "common/AppPaths.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

using MainWindow = ReaderFixture;

TEST_F(MainWindow, StartsWithEveryRegionAndDefaults)
{
    TFrmFolvane& window = Start();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quillmere V2.6.8"));

    for (const char* name :
         {"RzPanelTop", "BtnLast", "BtnOpenFolder", "BtnSaveAs", "BtnFont", "TrackBarFontSize", "Label1",
          "BtnLineSpace", "TrackBarHJJ", "Label2", "BtnAutoScroll", "TrackBarSpeed", "Label3", "PanelAD", "ImageAD",
          "RzURLLabelAD", "LabelAD", "RzPanelM", "RzSplitter1", "RzListViewFiles", "Splitter1", "RzPanel2",
          "BtnFirst", "BtnUp", "BtnDown", "RzToolButton3", "BtnGoTo", "BtnMark", "RzListViewPages",
          "ScrollBoxPages", "RzStatusBar1", "RzStatusPane1", "RzStatusPane2", "RzStatusPane3", "RzStatusPane4"})
        Find<QWidget>(name);
    for (const char* name : {"TimerScroll", "TimerAD", "TimerADShow"})
        Find<QTimer>(name);

    struct Item {
        const char* Name;
        const char* Caption;
    };
    for (const Item& item : std::initializer_list<Item>{
             {"M_OpenFile", "打开文件(&O)"}, {"M_OpenFolder", "打开文件夹(&F)"}, {"M_SaveAs", "另存为图片(&S)"},
             {"M_Close", "退出(&X)"}, {"M_SetMark", "当前页设书签(&M)"}, {"M_DelAllMark", "删除所有书签(&D)"},
             {"M_Font", "字体(&F)"}, {"M_LineSpace", "行间距(&H)"}, {"M_Options", "设置(&O)"},
             {"M_AutoScroll", "自动滚屏(&S)"}, {"M_FTJT", "繁体转简体(&F)"}, {"M_JTFT", "简体转繁体(&J)"},
             {"M_HomePage", "主页(&P)"}, {"M_About", "关于(&A)"}, {"PM_Mark", "当前页设书签"}, {"PM_OpenTxt", "打开"},
             {"PM_OpenShell", "外部打开"}, {"PM_OpenShellEx", "使用指定软件打开"}, {"PM_Prop", "属性"}}) {
        const QAction* action = Find<QAction>(item.Name);
        if (action)
            EXPECT_EQ(action->text(), QString::fromUtf8(item.Caption)) << item.Name;
    }
    EXPECT_EQ(Find<QAction>("M_SetMark")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_EQ(Find<QMenu>("M_Files")->title(), QStringLiteral("  文件(&F) "));
    EXPECT_FALSE(Find<QAction>("M_HelpContent")->isVisible());

    for (const char* menu : {"M_HisFile", "M_HisFolder", "M_GoToMark", "PopupMenuMark"})
        EXPECT_EQ(MenuCaptions(Find<QMenu>(menu)), QStringList{QStringLiteral("无")}) << menu;
    EXPECT_EQ(Find<QTreeView>("RzListViewPages")->model()->rowCount(), 0);
    EXPECT_TRUE(window.Pages().empty());

    EXPECT_EQ(Find<QSlider>("TrackBarFontSize")->value(), 11);
    EXPECT_EQ(Find<QLabel>("Label1")->text(), QStringLiteral("11"));
    EXPECT_EQ(Find<QSlider>("TrackBarHJJ")->value(), 6);
    EXPECT_EQ(Find<QLabel>("Label2")->text(), QStringLiteral("6"));
    EXPECT_EQ(Find<QSlider>("TrackBarSpeed")->value(), 1000);
    EXPECT_EQ(Find<QLabel>("Label3")->text(), QStringLiteral("1Sec."));
    EXPECT_EQ(Find<QTimer>("TimerScroll")->interval(), 1000);
    EXPECT_FALSE(Find<QTimer>("TimerScroll")->isActive());
    EXPECT_TRUE(Find<QToolButton>("BtnAutoScroll")->isCheckable());
}

// Closing by the menu item and by the close box must leave the same files.
class ClosingWays : public ReaderFixture, public testing::WithParamInterface<bool> {};

TEST_P(ClosingWays, WriteAllSettingsAndBothHistoriesButNoBookmarks)
{
    Start();
    if (GetParam())
        Find<QAction>("M_Close")->trigger();
    else
        FWindow->close();
    EXPECT_FALSE(FWindow->isVisible());
    FWindow.reset();

    const QByteArray options = ReadFile(QStringLiteral("Options.ini"));
    for (const char* key : {"HisFileCount=10", "HisFolderCount=10", "ClearFileHis=0", "ClearFolderHis=0",
                            "AutoLocation=1", "AutoOpenNext=1", "SmoothFont=1", "ShowMarkInPage=1",
                            "Color=10329501", "Color=16777215", "UseBg=0", "BgFile=\r\n", "LineSpacing=6",
                            "ScrollSpeed=1000", "Size=11", "Color=0", "Bold=0", "Italic=0", "Underline=0",
                            "StrikeOut=0"})
        EXPECT_TRUE(options.contains(key)) << key;
    EXPECT_TRUE(options.contains(QStringLiteral("Name=宋体").toUtf8()));
    EXPECT_EQ(options.count('='), 21);
    EXPECT_TRUE(QFileInfo::exists(StatePath(QStringLiteral("Files.his"))));
    EXPECT_TRUE(QFileInfo::exists(StatePath(QStringLiteral("Folders.his"))));
    EXPECT_FALSE(QFileInfo::exists(StatePath(QStringLiteral("Data/Mark.dat"))));
}

INSTANTIATE_TEST_SUITE_P(MenuAndCloseBox, ClosingWays, testing::Bool());

TEST_F(MainWindow, HexSizeSlowSpeedAndUnknownFontAreReadAndWrittenBack)
{
    WriteFile(QStringLiteral("Options.ini"),
              "[page]\r\nScrollSpeed=2000\r\nUseBg=1\r\nBgFile=missing.bmp\r\n"
              "[TextFont]\r\nSize=0x10\r\nName=No Such Font Anywhere\r\n");
    TFrmFolvane& window = Start();
    EXPECT_EQ(window.LineFont(1).Size, 16);
    EXPECT_EQ(window.LineFont(1).Name, QStringLiteral("宋体"));
    EXPECT_EQ(Find<QSlider>("TrackBarFontSize")->value(), 16);
    EXPECT_EQ(Find<QTimer>("TimerScroll")->interval(), 2000);
    EXPECT_EQ(Find<QSlider>("TrackBarSpeed")->value(), 2000);
    EXPECT_EQ(Find<QLabel>("Label3")->text(), QStringLiteral("2Sec."));
    CloseWindow();

    const QByteArray options = ReadFile(QStringLiteral("Options.ini"));
    EXPECT_TRUE(options.contains("UseBg=0"));
    EXPECT_TRUE(options.contains("Size=16"));
    EXPECT_TRUE(options.contains("ScrollSpeed=2000"));
    EXPECT_TRUE(options.contains(QStringLiteral("Name=宋体").toUtf8()));
}

TEST_F(MainWindow, DamagedSettingsFilesStartWithDefaults)
{
    const QByteArray garbage = [] {
        QByteArray bytes;
        for (int i = 0; i < 70000; ++i)
            bytes.append(char((i * 7919) % 256));
        return bytes;
    }();
    for (const QByteArray& damaged :
         {garbage, QByteArray("[VIEWER\r\nHisFileCount=3\r\n[PAGE\r\nLineSpacing=19"),
          QByteArray(3 << 20, 'x') + "\r\n[PAGE]\r\nLineSpacing=abc\r\n"}) {
        WriteFile(QStringLiteral("Options.ini"), damaged);
        TFrmFolvane& window = Start();
        EXPECT_EQ(window.LineFont(1).Size, 11);
        EXPECT_EQ(Find<QSlider>("TrackBarHJJ")->value(), 6);
        CloseWindow();
    }
}

TEST_F(MainWindow, ClosesWhenTheSettingsFolderCannotBeWritten)
{
    // A folder below a plain file cannot be made, not even by root.
    const QString blocked = WriteFile(QStringLiteral("plain-file"), "x") + QStringLiteral("/state");
    SetAppDirsForTesting(FDir.path(), blocked);
    Start();
    CloseWindow();
    EXPECT_FALSE(QFileInfo::exists(blocked));
}
