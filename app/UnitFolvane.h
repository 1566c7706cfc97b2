#pragma once
// The main window: every control of the reader and the whole document state.

#include "app/PlatformShell.h"
#include "app/Prompter.h"
#include "app/library/FolderFiles.h"
#include "app/model/PageModel.h"
#include "app/view/PageView.h"
#include "app/view/TextDrawer.h"

#include <QMainWindow>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStringList>

#include <array>
#include <memory>

class QAction;
class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class QLabel;
class QMenu;
class QSlider;
class QSplitter;
class QTimer;
class QToolButton;
class QTreeView;
class QTreeWidget;
class TAnimatedCursor;
class TPageListModel;
class TStatusPane;
class TTopPanel;

// The file list keeps each file's full path in this role of its first column.
constexpr int FullPathRole = Qt::UserRole + 1;

class TFrmFolvane : public QMainWindow, private TPageViewClient {
    Q_OBJECT
public:
    // The prompter answers every question the window asks, the shell takes the
    // files handed to the desktop; tests pass a scripted prompter and a recording shell.
    explicit TFrmFolvane(std::unique_ptr<TPrompter> prompter = std::make_unique<TQtPrompter>(),
                         std::unique_ptr<TShell> shell = std::make_unique<TPlatformShell>(),
                         QWidget* parent = nullptr);
    ~TFrmFolvane() override;

    bool OpenTextFile(const QString& fileName, bool ignoreReadingPoint);
    // Paths given on the command line, treated as a drop on the window.
    void OpenCommandLine(const QStringList& paths);

    // Read-only views for tests and the benchmark.
    const TPages& Pages() const { return FPages; }
    int CurPage() const { return FCurPage; }
    const TLineFont& LineFont(int kind) const { return FLineFonts[kind]; }
    int32_t TotalChars() const { return FTotalChars; }
    const QString& FileKey() const { return FFileKey; }
    const QStringList& FileHistory() const { return FFileHistory; }
    const QStringList& FolderHistory() const { return FFolderHistory; }

    int RelayoutCount() const { return FRelayoutCount; }

    void GoToPage(int pageIndex);
    void RelayoutPages();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Lifecycle
    void ConnectHandlers();
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    void M_CloseClick();
    void FreePages();

    // Building the window
    void CreateTopPanel();
    void CreateMiddlePanel();
    void CreateStatusBar();
    void CreateMenus();
    void CreatePopupMenus();
    QToolButton* CreateBarButton(const char* name, int image, const QRect& geometry, const QString& text,
                                 bool showCaption);
    QSlider* CreateTrackBar(const char* name, int minimum, int maximum, const QRect& geometry, const QString& hint);
    QLabel* CreateValueLabel(const char* name, const QString& text, const QPoint& pos);
    QAction* CreateMenuItem(QMenu* menu, const char* name, const QString& caption, int icon = -1);
    void TakeScreenshotWhenAsked();

    // Settings
    void LoadSettings();
    void SaveSettings();
    void PreparePaper(bool reload);
    void MeasureBodyFont();
    void SetTrackBarQuietly(QSlider* trackBar, int position);
    void TrackBarFontSizeChange();
    void TrackBarHJJChange();
    void TrackBarSpeedChange();

    // History
    void LoadFileHistory();
    void LoadFolderHistory();
    void SaveFileHistory();
    void SaveFolderHistory();
    void AddFileHistory(const QString& path);
    void RebuildFileHistoryMenu(QMenu* menu);
    void RebuildFolderHistoryMenu(QMenu* menu);
    void RebuildHistoryMenu(QMenu* menu, const QStringList& list, void (TFrmFolvane::*click)(QAction*));
    void FileHistoryItemClick(QAction* item);
    void FolderHistoryItemClick(QAction* item);

    // Opening
    void ShowEncoding(int encoding);
    void ListFiles(const std::vector<TListedFile>& files);
    void OpenDroppedFiles(const QStringList& paths);
    void AddFolderHistory(const QString& folder);

    // Bookmarks
    QString ReadBookmarks(const QString& key) const;
    void WriteBookmarks(const QString& key);
    QString MarkCaption(int pageIndex) const;
    QAction* AddMarkItem(int pageIndex, QAction* before);
    void AddMarkPlaceholder();
    void RebuildMarkMenu();
    void MarkItemClick(QAction* item);
    void M_SetMarkClick();
    void M_DelAllMarkClick();

    // Page view
    int CreatePageView(int pageIndex, bool create, qint64 top);
    void EnsurePageViews(int pageIndex);
    void ScrollPageIntoView(int pageIndex, int dx, int dy);
    void CenterPageViews();
    int PageLeftEdge() const;
    void PageViewPaint(int pageIndex, const QRect& boxInViewport);
    void ScrollBoxPagesCanResize();
    void ScrollBoxPagesResize();
    void ScrollBoxPagesClick();
    void ScrollBoxPagesEnter();
    void ScrollBoxPagesExit();
    void RzListViewPagesSelectItem(int row);
    void SelectPageRow(int row);
    int SelectedPageRow() const;
    QString StatusText() const;

    // Navigation
    int LineStep() const;
    void FormKeyDown(QKeyEvent* event);
    void FormMouseWheel(QWheelEvent* event);
    void PageViewMouseDown(int pageIndex, QMouseEvent* event);
    void PageViewMouseMove(int pageIndex, QMouseEvent* event);
    void PageViewMouseUp(int pageIndex, QMouseEvent* event);
    void BtnFirstClick();
    void BtnUpClick();
    void BtnDownClick();
    void RzToolButton3Click();
    void RzListViewPagesMouseDown(QMouseEvent* event);
    void BtnAutoScrollClick();
    void TimerScrollTimer();

    // Typography
    void BtnFontClick();
    void BtnLineSpaceClick();
    void ShowLineSpaceDialog();

    // Files and folders
    void ConnectFileHandlers();
    void BtnLastClick();
    void OpenFiles(const QStringList& paths);
    void BtnOpenFolderClick();
    bool SelectFolder(const QString& title, QString& folder);
    void OpenFolder(const QString& folder);
    void RzListViewFilesMouseDown(QMouseEvent* event);
    bool RzListViewFilesDragEvent(QEvent* event);
    QString ListFilePath() const;
    void PM_OpenTxtClick();
    void PM_OpenShellClick();
    void PM_OpenShellExClick();
    void PM_PropClick();
    std::unique_ptr<TShell> FShell;
    // The row under the last press on the file list; invalid when the press hit
    // no row or the list has been refilled since.
    QPersistentModelIndex FListFileItem;
    // Where the open dialog starts: the folder it was last left in, for this run.
    QString FOpenDialogFolder;

    // TPageViewClient
    int PageViewCount() const override;
    const TPageBox* PageViewBox(int index) const override;
    QImage RenderPageView(int index) override;
    void PageViewPainted(int index, const QRect& boxInViewport) override;

    std::unique_ptr<TPrompter> FPrompter;

    // Document state
    std::array<TLineFont, 3> FLineFonts; // indexed by line kind 1 and 2
    QFont FMeasureCanvas;
    int FCurPage = 0;
    QString FFileKey;
    QString FMarkRecord;
    int32_t FTotalChars = 0;
    int FDragX = 0;
    int FDragY = 0;
    bool FDragging = false;
    QStringList FFileHistory;
    QStringList FFolderHistory;
    TPages FPages;
    bool FAutoLocation = true;
    bool FAutoOpenNext = true;
    bool FSmoothFont = true;
    bool FShowMarkInPage = true;
    TAAFont FAAFont;
    int FHisFileCount = 10;
    int FHisFolderCount = 10;
    bool FClearFileHis = false;
    bool FClearFolderHis = false;
    int FWheelDelta = 0;
    const QKeyEvent* FPreviewedKey = nullptr;
    quint64 FPreviewedTime = 0;
    QPointer<QWidget> FPreviewedWidget;
    int FRelayoutCount = 0;
    bool FShown = false;
    bool FClosed = false;

    // Controls, named as the user-visible design names them
    TTopPanel* RzPanelTop = nullptr;
    QToolButton* BtnLast = nullptr;
    QToolButton* BtnOpenFolder = nullptr;
    QToolButton* BtnSaveAs = nullptr;
    QToolButton* BtnFont = nullptr;
    QSlider* TrackBarFontSize = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* BtnLineSpace = nullptr;
    QSlider* TrackBarHJJ = nullptr;
    QLabel* Label2 = nullptr;
    QToolButton* BtnAutoScroll = nullptr;
    QSlider* TrackBarSpeed = nullptr;
    QLabel* Label3 = nullptr;
    QWidget* PanelAD = nullptr;
    QLabel* ImageAD = nullptr;
    QLabel* RzURLLabelAD = nullptr;
    QLabel* LabelAD = nullptr;

    QWidget* RzPanelM = nullptr;
    QSplitter* RzSplitter1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTreeWidget* RzListViewFiles = nullptr;
    QWidget* RzPanel2 = nullptr;
    QToolButton* BtnFirst = nullptr;
    QToolButton* BtnUp = nullptr;
    QToolButton* BtnDown = nullptr;
    QToolButton* RzToolButton3 = nullptr;
    QToolButton* BtnGoTo = nullptr;
    QToolButton* BtnMark = nullptr;
    QTreeView* RzListViewPages = nullptr;
    TPageListModel* FPageListModel = nullptr;
    TPageView* ScrollBoxPages = nullptr;
    TAnimatedCursor* FHandCursor = nullptr;

    TStatusPane* RzStatusPane1 = nullptr;
    TStatusPane* RzStatusPane3 = nullptr;
    TStatusPane* RzStatusPane2 = nullptr;
    TStatusPane* RzStatusPane4 = nullptr;

    QTimer* TimerScroll = nullptr;
    QTimer* TimerAD = nullptr;
    QTimer* TimerADShow = nullptr;

    QMenu* M_HisFile = nullptr;
    QMenu* M_HisFolder = nullptr;
    QMenu* M_GoToMark = nullptr;
    QAction* M_AutoScroll = nullptr;
    QMenu* PopupMenuPages = nullptr;
    QMenu* PopupMenuFiles = nullptr;
    QMenu* PopupMenuMark = nullptr;
};
