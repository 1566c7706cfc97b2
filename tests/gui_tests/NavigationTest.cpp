// Keys, wheel, dragging, the page buttons, auto-scroll and the typography
// controls, driven through the real window.

#include "ReaderFixture.h"

#include "app/StatusPane.h"
#include "app/view/PageView.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QWheelEvent>

class Navigation : public ReaderFixture {
protected:
    TPageView* Area() { return Find<TPageView>("ScrollBoxPages"); }
    QTimer* Timer() { return Find<QTimer>("TimerScroll"); }
    int Step() { return FWindow->LineFont(1).Height + 6; }
    int SelectedRow()
    {
        const QModelIndexList rows = Find<QTreeView>("RzListViewPages")->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    void Tick() { QMetaObject::invokeMethod(Timer(), "timeout"); }
    TFrmFolvane& OpenBook(int lines)
    {
        TFrmFolvane& window = Start();
        EXPECT_TRUE(window.OpenTextFile(WriteBook(QStringLiteral("book.txt"), RepeatedLines(lines)), false));
        Settle();
        return window;
    }
    void Wheel(int delta)
    {
        QWheelEvent event(QPointF(100, 100), Area()->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Area()->viewport(), &event);
    }
};

TEST_F(Navigation, PageKeysMoveAScreenLessOneLineAndStopAtTheEnds)
{
    OpenBook(40 * 4);
    QScrollBar* bar = Area()->verticalScrollBar();
    Area()->setFocus();
    QTest::keyClick(Area(), Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), 0);
    QTest::keyClick(Area(), Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), Area()->ClientHeight() - Step());
    QTest::keyClick(Area(), Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), 2 * (Area()->ClientHeight() - Step()));
    QTest::keyClick(Area(), Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), Area()->ClientHeight() - Step());
    // A key for another control passes the window first, and still reaches that control.
    auto* files = Find<QTreeWidget>("RzListViewFiles");
    files->setFocus();
    QTest::keyClick(files, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), 2 * (Area()->ClientHeight() - Step()));
    bar->setValue(bar->maximum());
    QTest::keyClick(Area(), Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(Navigation, WheelNotchIsTwentyPixelsAlsoInFineSteps)
{
    OpenBook(40 * 4);
    QScrollBar* bar = Area()->verticalScrollBar();
    Wheel(-120);
    EXPECT_EQ(bar->value(), 20);
    for (int i = 0; i < 4; ++i)
        Wheel(-30);
    EXPECT_EQ(bar->value(), 40);
    Wheel(120);
    EXPECT_EQ(bar->value(), 20);
}

TEST_F(Navigation, LeftDragFollowsTheMouseRightPressOnlyFocuses)
{
    OpenBook(40 * 4);
    QWidget* viewport = Area()->viewport();
    const QPoint onPage(Area()->width() / 2, 200);
    Area()->verticalScrollBar()->setValue(300);
    Find<QTreeView>("RzListViewPages")->setFocus();

    QTest::mousePress(viewport, Qt::RightButton, {}, onPage);
    QTest::mouseMove(viewport, onPage + QPoint(0, -70));
    QTest::mouseRelease(viewport, Qt::RightButton, {}, onPage + QPoint(0, -70));
    EXPECT_EQ(Area()->VertPosition(), 300);
    EXPECT_TRUE(Area()->hasFocus());

    QTest::mousePress(viewport, Qt::LeftButton, {}, onPage);
    QMouseEvent move(QEvent::MouseMove, onPage + QPoint(0, -70), viewport->mapToGlobal(onPage + QPoint(0, -70)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    EXPECT_EQ(Area()->VertPosition(), 370);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, onPage + QPoint(0, -70));
    QMouseEvent after(QEvent::MouseMove, onPage, viewport->mapToGlobal(onPage), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &after);
    EXPECT_EQ(Area()->VertPosition(), 370);
}

TEST_F(Navigation, PageButtonsSelectRowsAndDoNothingAtTheEnds)
{
    TFrmFolvane& window = OpenBook(40 * 3);
    ASSERT_EQ(window.CurPage(), 1);
    Find<QToolButton>("BtnUp")->click();
    EXPECT_EQ(SelectedRow(), 0);
    Find<QToolButton>("BtnDown")->click();
    Settle();
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(window.CurPage(), 2);
    Find<QToolButton>("RzToolButton3")->click();
    Settle();
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(window.CurPage(), 3);
    Find<QToolButton>("BtnDown")->click();
    EXPECT_EQ(SelectedRow(), 2);
    Find<QToolButton>("BtnFirst")->click();
    Settle();
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(window.CurPage(), 1);
}

TEST_F(Navigation, AutoScrollStepsGoOnIntoTheNextFileAndStopAtTheLast)
{
    const QString first = WriteBook(QStringLiteral("shelf/1.txt"), RepeatedLines(60));
    WriteBook(QStringLiteral("shelf/2.txt"), RepeatedLines(61, QStringLiteral("下一本书")));
    TFrmFolvane& window = Start();
    window.OpenCommandLine({first, StatePath(QStringLiteral("shelf/2.txt"))});
    Settle();
    auto* button = Find<QToolButton>("BtnAutoScroll");
    button->click();
    ASSERT_TRUE(Timer()->isActive());
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(button->toolTip(), QStringLiteral("取消自动滚屏"));
    EXPECT_EQ(Find<QAction>("M_AutoScroll")->text(), QStringLiteral("取消自动滚屏(&S)"));

    Tick();
    EXPECT_EQ(Area()->VertPosition(), Step());
    Area()->verticalScrollBar()->setValue(Area()->verticalScrollBar()->maximum());
    Tick();
    EXPECT_EQ(Find<TStatusPane>("RzStatusPane4")->Caption(), StatePath(QStringLiteral("shelf/2.txt")));
    EXPECT_EQ(Area()->VertPosition(), 0);
    EXPECT_TRUE(Timer()->isActive());

    Area()->verticalScrollBar()->setValue(Area()->verticalScrollBar()->maximum());
    Tick();
    EXPECT_FALSE(Timer()->isActive());
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(button->toolTip(), QStringLiteral("自动滚屏"));
    EXPECT_EQ(Find<QAction>("M_AutoScroll")->text(), QStringLiteral("自动滚屏(&S)"));
    Q_UNUSED(window);
}

TEST_F(Navigation, AutoScrollStopsOnEscAndOnAnUnreadableNextFile)
{
    const QString first = WriteBook(QStringLiteral("1.txt"), RepeatedLines(60));
    const QString second = WriteBook(QStringLiteral("2.txt"), RepeatedLines(60, QStringLiteral("二")));
    TFrmFolvane& window = Start();
    window.OpenCommandLine({first, second});
    Settle();
    QFile::remove(second);

    Find<QToolButton>("BtnAutoScroll")->click();
    QTest::keyClick(Area(), Qt::Key_Escape);
    EXPECT_FALSE(Timer()->isActive());

    Find<QToolButton>("BtnAutoScroll")->click();
    Area()->verticalScrollBar()->setValue(Area()->verticalScrollBar()->maximum());
    Tick();
    EXPECT_EQ(FLog.Errors.size(), 1);
    EXPECT_FALSE(Timer()->isActive());
    EXPECT_FALSE(Find<QToolButton>("BtnAutoScroll")->isChecked());
    auto* files = Find<QTreeWidget>("RzListViewFiles");
    EXPECT_EQ(files->indexOfTopLevelItem(files->currentItem()), 1);
    Q_UNUSED(window);
}

TEST_F(Navigation, AutoScrollWithoutABookLeavesTheButtonUp)
{
    Start();
    Find<QToolButton>("BtnAutoScroll")->click();
    EXPECT_FALSE(Timer()->isActive());
    EXPECT_FALSE(Find<QToolButton>("BtnAutoScroll")->isChecked());
    EXPECT_EQ(Find<QToolButton>("BtnAutoScroll")->toolTip(), QStringLiteral("自动滚屏"));
}

TEST_F(Navigation, SpeedLabelUsesTenthsOfASecond)
{
    Start();
    auto* speed = Find<QSlider>("TrackBarSpeed");
    for (const auto& [position, label] : std::initializer_list<std::pair<int, const char*>>{
             {500, "0.5Sec."}, {1000, "1Sec."}, {2000, "2Sec."}, {1250, "1.2Sec."}, {5000, "5Sec."}}) {
        speed->setValue(position);
        EXPECT_EQ(Find<QLabel>("Label3")->text(), QString::fromUtf8(label)) << position;
        EXPECT_EQ(Timer()->interval(), position);
    }
}

class Typography : public Navigation {};

TEST_F(Typography, SizeTrackBarKeepsTheRestAndBoldDoesNotWidenTheLine)
{
    TFrmFolvane& window = OpenBook(40 * 3);
    QFont bold(QStringLiteral("宋体"), 11);
    bold.setBold(true);
    const int width = window.LineFont(1).Width;
    const int height = window.LineFont(1).Height;
    FFontAnswers.push_back(TFontChoice{bold, QColor(0, 0, 255)});
    Find<QToolButton>("BtnFont")->click();
    EXPECT_TRUE(window.LineFont(1).Bold);
    EXPECT_EQ(window.LineFont(1).Color, 0xFF0000);
    EXPECT_EQ(window.LineFont(1).Width, width);
    EXPECT_EQ(window.LineFont(1).Height, height);

    Find<QSlider>("TrackBarFontSize")->setValue(14);
    EXPECT_EQ(window.LineFont(1).Size, 14);
    EXPECT_TRUE(window.LineFont(1).Bold);
    EXPECT_EQ(window.LineFont(1).Color, 0xFF0000);
    EXPECT_EQ(window.LineFont(1).Name, QStringLiteral("宋体"));
    EXPECT_GT(window.LineFont(1).Width, width);
    EXPECT_EQ(Find<QLabel>("Label1")->text(), QStringLiteral("14"));
    EXPECT_EQ(window.Pages()[2].Width, window.LineFont(1).Width + 125);
}

TEST_F(Typography, FontDialogClampsSizes)
{
    TFrmFolvane& window = Start();
    for (const auto& [chosen, stored] : std::initializer_list<std::pair<int, int>>{{28, 24}, {6, 8}, {12, 12}}) {
        FFontAnswers.push_back(TFontChoice{QFont(QStringLiteral("宋体"), chosen), Qt::black});
        Find<QToolButton>("BtnFont")->click();
        EXPECT_EQ(window.LineFont(1).Size, stored);
        EXPECT_EQ(Find<QSlider>("TrackBarFontSize")->value(), stored);
    }
}

TEST_F(Typography, SpacingMakesPagesTallerAndDialogsRelayoutAsAsked)
{
    TFrmFolvane& window = OpenBook(40 * 3);
    const int height = window.Pages()[0].Height;
    Find<QSlider>("TrackBarHJJ")->setValue(10);
    for (const TOnePage& page : window.Pages())
        EXPECT_EQ(page.Height, height + 156);

    const int relayouts = window.RelayoutCount();
    FLineSpacingAnswers.push_back(std::nullopt);
    Find<QToolButton>("BtnLineSpace")->click();
    FFontAnswers.push_back(std::nullopt);
    Find<QToolButton>("BtnFont")->click();
    EXPECT_EQ(window.RelayoutCount(), relayouts);
    EXPECT_EQ(window.Pages()[0].Height, height + 156);

    FLineSpacingAnswers.push_back(10);
    Find<QAction>("M_LineSpace")->trigger();
    EXPECT_EQ(window.RelayoutCount(), relayouts + 1);
}

TEST_F(Typography, FontSizeChangeKeepsTheRelativePlaceInThePage)
{
    TFrmFolvane& window = OpenBook(40 * 12);
    window.GoToPage(5);
    Settle();
    const TPageBox before = *window.Pages()[5].PageView;
    // The top of the view in the middle of page 6.
    Area()->SetVertPosition(static_cast<int>(before.Top + before.Height / 2));
    Settle();
    ASSERT_EQ(window.CurPage(), 6);
    const double place = double(Area()->VertPosition() - before.Top) / before.Height;

    Find<QSlider>("TrackBarFontSize")->setValue(16);
    Settle();
    const TPageBox after = *window.Pages()[5].PageView;
    EXPECT_EQ(window.CurPage(), 6);
    EXPECT_NEAR(double(Area()->VertPosition() - after.Top) / after.Height, place, 0.02);
}

TEST_F(Typography, ChangedValuesAreWhatOptionsIniHoldsAfterClosing)
{
    Start();
    Find<QSlider>("TrackBarSpeed")->setValue(3000);
    Find<QSlider>("TrackBarHJJ")->setValue(12);
    QFont font(QStringLiteral("宋体"), 15);
    font.setItalic(true);
    FFontAnswers.push_back(TFontChoice{font, QColor(0x12, 0x34, 0x56)});
    Find<QToolButton>("BtnFont")->click();
    CloseWindow();
    const QByteArray options = ReadFile(QStringLiteral("Options.ini"));
    for (const char* key : {"ScrollSpeed=3000", "LineSpacing=12", "Size=15", "Italic=1", "Bold=0"})
        EXPECT_TRUE(options.contains(key)) << key;
    EXPECT_TRUE(options.contains("Color=" + QByteArray::number(0x563412)));
}
