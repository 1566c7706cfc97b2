#include "app/UnitFolvane.h"

#include "app/ControlTag.h"
#include "app/MenuStyler.h"
#include "app/StatusPane.h"
#include "app/TopPanel.h"
#include "app/view/AniCursor.h"
#include "app/view/PageListModel.h"
#include "app/view/PagePublicMsg.h"
#include "common/AppPaths.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QColor WindowColor(226, 240, 246);
const QString AppTitle = QStringLiteral("Quillmere V2.6.8");

QIcon SmallIcon(int index)
{
    return QIcon(QStringLiteral(":/icons/small/%1.svg").arg(index));
}

QIcon BarIcon(int index)
{
    return QIcon(QStringLiteral(":/icons/bar/%1.svg").arg(index));
}

// A panel whose children keep their distance from its right edge.
class TRightAnchoredPanel : public QWidget {
public:
    TRightAnchoredPanel(QWidget* parent, int designWidth)
        : QWidget(parent)
        , FDesignWidth(designWidth)
    {
    }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        const int shift = width() - FDesignWidth;
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const int designLeft = child->property("DesignLeft").toInt();
            child->move(designLeft + shift, child->y());
        }
    }

private:
    int FDesignWidth;
};

} // namespace

// The pictures live in a static library, whose resource initialiser the linker may drop.
static void InitResources()
{
    Q_INIT_RESOURCE(resources);
}

TFrmFolvane::TFrmFolvane(std::unique_ptr<TPrompter> prompter, std::unique_ptr<TShell> shell, QWidget* parent)
    : QMainWindow(parent)
    , FShell(shell ? std::move(shell) : std::make_unique<TPlatformShell>())
    , FPrompter(std::move(prompter))
{
    InitResources();
    setObjectName(QStringLiteral("FrmFolvane"));
    setGeometry(167, 142, 720, 520);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, WindowColor);
    setPalette(pal);
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));

    CreateTopPanel();
    CreateMiddlePanel();
    CreateStatusBar();
    CreateMenus();
    CreatePopupMenus();

    TimerScroll = new QTimer(this);
    TimerScroll->setObjectName(QStringLiteral("TimerScroll"));
    TimerScroll->setInterval(2000);
    TimerAD = new QTimer(this);
    TimerAD->setObjectName(QStringLiteral("TimerAD"));
    TimerAD->setInterval(10000);
    TimerADShow = new QTimer(this);
    TimerADShow->setObjectName(QStringLiteral("TimerADShow"));
    TimerADShow->setInterval(1000);
    TimerADShow->setSingleShot(true);

    ConnectHandlers();
    FormCreate();
}

TFrmFolvane::~TFrmFolvane()
{
    FormDestroy();
}

void TFrmFolvane::ConnectHandlers()
{
    connect(TrackBarFontSize, &QSlider::valueChanged, this, &TFrmFolvane::TrackBarFontSizeChange);
    connect(TrackBarHJJ, &QSlider::valueChanged, this, &TFrmFolvane::TrackBarHJJChange);
    connect(TrackBarSpeed, &QSlider::valueChanged, this, &TFrmFolvane::TrackBarSpeedChange);

    connect(ScrollBoxPages, &TPageView::CanResize, this, &TFrmFolvane::ScrollBoxPagesCanResize);
    connect(ScrollBoxPages, &TPageView::Resized, this, &TFrmFolvane::ScrollBoxPagesResize);
    connect(ScrollBoxPages, &TPageView::BackgroundClicked, this, &TFrmFolvane::ScrollBoxPagesClick);
    connect(ScrollBoxPages, &TPageView::FocusEntered, this, &TFrmFolvane::ScrollBoxPagesEnter);
    connect(ScrollBoxPages, &TPageView::FocusLeft, this, &TFrmFolvane::ScrollBoxPagesExit);
    connect(ScrollBoxPages, &TPageView::FilesDropped, this, &TFrmFolvane::OpenDroppedFiles);

    connect(RzListViewPages->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty())
                    RzListViewPagesSelectItem(selected.indexes().first().row());
            });

    const auto bind = [this](const char* name, void (TFrmFolvane::*handler)()) {
        QAction* item = findChild<QAction*>(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, handler);
    };
    bind("M_SetMark", &TFrmFolvane::M_SetMarkClick);
    bind("M_AutoScroll", &TFrmFolvane::BtnAutoScrollClick);
    bind("M_Font", &TFrmFolvane::BtnFontClick);
    bind("M_LineSpace", &TFrmFolvane::BtnLineSpaceClick);
    connect(BtnAutoScroll, &QToolButton::clicked, this, &TFrmFolvane::BtnAutoScrollClick);
    connect(BtnFont, &QToolButton::clicked, this, &TFrmFolvane::BtnFontClick);
    connect(BtnLineSpace, &QToolButton::clicked, this, &TFrmFolvane::BtnLineSpaceClick);
    connect(BtnFirst, &QToolButton::clicked, this, &TFrmFolvane::BtnFirstClick);
    connect(BtnUp, &QToolButton::clicked, this, &TFrmFolvane::BtnUpClick);
    connect(BtnDown, &QToolButton::clicked, this, &TFrmFolvane::BtnDownClick);
    connect(RzToolButton3, &QToolButton::clicked, this, &TFrmFolvane::RzToolButton3Click);
    connect(TimerScroll, &QTimer::timeout, this, &TFrmFolvane::TimerScrollTimer);
    connect(ScrollBoxPages, &TPageView::WheelTurned, this, &TFrmFolvane::FormMouseWheel);
    connect(ScrollBoxPages, &TPageView::PageMousePressed, this, &TFrmFolvane::PageViewMouseDown);
    connect(ScrollBoxPages, &TPageView::PageMouseMoved, this, &TFrmFolvane::PageViewMouseMove);
    connect(ScrollBoxPages, &TPageView::PageMouseReleased, this, &TFrmFolvane::PageViewMouseUp);
    RzListViewPages->viewport()->installEventFilter(this);
    qApp->installEventFilter(this);
    bind("PM_Mark", &TFrmFolvane::M_SetMarkClick);
    bind("M_DelAllMark", &TFrmFolvane::M_DelAllMarkClick);
    connect(BtnMark, &QToolButton::clicked, this, &TFrmFolvane::M_SetMarkClick);
    ConnectFileHandlers();
}

void TFrmFolvane::FormCreate()
{
    QApplication::setApplicationDisplayName(QString());
    QCoreApplication::setApplicationName(QStringLiteral("Quillmere"));
    setWindowTitle(AppTitle);
    setFont(QFont(QStringLiteral("宋体"), 9));
    FCurPage = 0;
    FTotalChars = 0;

    // A missing or damaged file leaves the default cursor over the pages.
    FHandCursor = new TAnimatedCursor(this);
    FHandCursor->Load(ProgramDir() + QStringLiteral("Hand.ani"));
    ScrollBoxPages->SetPageCursor(FHandCursor);
    ImageAD->setCursor(RzURLLabelAD->cursor());

    LoadSettings();
    LoadFileHistory();
    LoadFolderHistory();
    // Drops on the reading area and the file list arrive as signals of those controls.
    TimerADShow->start();
    TakeScreenshotWhenAsked();
}

void TFrmFolvane::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    FormShow();
}

void TFrmFolvane::FormShow()
{
    RzListViewPages->setFocus();
}

void TFrmFolvane::closeEvent(QCloseEvent* event)
{
    if (!FClosed) {
        FClosed = true;
        FormClose();
    }
    event->accept();
}

void TFrmFolvane::FormClose()
{
    WriteBookmarks(FFileKey);
    SaveSettings();
    SaveFileHistory();
    SaveFolderHistory();
}

void TFrmFolvane::FormDestroy()
{
    PagePublicMsg.PaperBitmap = QImage();
    PagePublicMsg.BgBitmap = QImage();
    PagePublicMsg.MarkBitmap = QImage();
    FreePages();
}

void TFrmFolvane::M_CloseClick()
{
    close();
}

void TFrmFolvane::FreePages()
{
    FPages.clear();
    FPages.shrink_to_fit();
    if (FPageListModel)
        FPageListModel->Clear();
    if (ScrollBoxPages)
        ScrollBoxPages->InvalidateAll();
}

QToolButton* TFrmFolvane::CreateBarButton(const char* name, int image, const QRect& geometry, const QString& text,
                                          bool showCaption)
{
    auto* button = new QToolButton(RzPanelTop);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setIcon(BarIcon(image));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    if (showCaption) {
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    } else {
        button->setToolTip(text);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    return button;
}

QSlider* TFrmFolvane::CreateTrackBar(const char* name, int minimum, int maximum, const QRect& geometry,
                                     const QString& hint)
{
    auto* trackBar = new QSlider(Qt::Horizontal, RzPanelTop);
    trackBar->setObjectName(QString::fromLatin1(name));
    trackBar->setRange(minimum, maximum);
    trackBar->setValue(minimum);
    trackBar->setGeometry(geometry);
    trackBar->setToolTip(hint);
    trackBar->setTickPosition(QSlider::NoTicks);
    trackBar->setAttribute(Qt::WA_TranslucentBackground);
    trackBar->setStyleSheet(QStringLiteral(
        "QSlider { background: transparent; }"
        "QSlider::groove:horizontal { height: 4px; border: 1px solid rgb(120,160,190);"
        " background: rgb(245,250,252); }"
        "QSlider::handle:horizontal { image: url(:/icons/thumb.svg); width: 11px; height: 18px;"
        " margin: -8px 0; }"));
    SetTag(trackBar, 0);
    return trackBar;
}

QLabel* TFrmFolvane::CreateValueLabel(const char* name, const QString& text, const QPoint& pos)
{
    auto* label = new QLabel(text, RzPanelTop);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(QFont(QStringLiteral("Arial"), 9));
    label->move(pos);
    label->resize(60, 16);
    return label;
}

void TFrmFolvane::CreateTopPanel()
{
    RzPanelTop = new TTopPanel(this);
    BtnLast = CreateBarButton("BtnLast", 7, {4, 10, 74, 54}, QStringLiteral("打开文件"), true);
    BtnOpenFolder = CreateBarButton("BtnOpenFolder", 0, {80, 10, 74, 54}, QStringLiteral("打开文件夹"), true);
    BtnSaveAs = CreateBarButton("BtnSaveAs", 1, {156, 10, 74, 54}, QStringLiteral("另存为图片"), true);
    BtnFont = CreateBarButton("BtnFont", 5, {270, 10, 28, 28}, QStringLiteral("字体"), false);
    TrackBarFontSize = CreateTrackBar("TrackBarFontSize", 8, 24, {242, 41, 85, 23}, QStringLiteral("字体大小"));
    Label1 = CreateValueLabel("Label1", QStringLiteral("8"), {303, 22});
    BtnLineSpace = CreateBarButton("BtnLineSpace", 6, {366, 10, 28, 28}, QStringLiteral("行间距"), false);
    TrackBarHJJ = CreateTrackBar("TrackBarHJJ", 0, 20, {338, 41, 85, 23}, QStringLiteral("行间距"));
    Label2 = CreateValueLabel("Label2", QStringLiteral("0"), {398, 22});
    BtnAutoScroll = CreateBarButton("BtnAutoScroll", 3, {460, 10, 28, 28}, QStringLiteral("自动滚屏"), false);
    BtnAutoScroll->setCheckable(true);
    TrackBarSpeed = CreateTrackBar("TrackBarSpeed", 500, 5000, {432, 41, 85, 23}, QStringLiteral("滚屏速度"));
    Label3 = CreateValueLabel("Label3", QStringLiteral("0.5Sec."), {493, 22});

    PanelAD = new QWidget(RzPanelTop);
    PanelAD->setObjectName(QStringLiteral("PanelAD"));
    PanelAD->setGeometry(538, 20, 170, 48);
    PanelAD->hide();
    ImageAD = new QLabel(PanelAD);
    ImageAD->setObjectName(QStringLiteral("ImageAD"));
    ImageAD->setGeometry(0, 0, 170, 48);
    ImageAD->setScaledContents(true);
    SetTag(ImageAD, -1);
    RzURLLabelAD = new QLabel(QStringLiteral("ADURL"), RzPanelTop);
    RzURLLabelAD->setObjectName(QStringLiteral("RzURLLabelAD"));
    RzURLLabelAD->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont urlFont(QStringLiteral("宋体"));
    urlFont.setPixelSize(12);
    urlFont.setUnderline(true);
    RzURLLabelAD->setFont(urlFont);
    RzURLLabelAD->setCursor(Qt::PointingHandCursor);
    RzURLLabelAD->hide();
    LabelAD = new QLabel(QStringLiteral("LabelAD"), RzPanelTop);
    LabelAD->setObjectName(QStringLiteral("LabelAD"));
    LabelAD->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont labelFont = LabelAD->font();
    labelFont.setUnderline(true);
    LabelAD->setFont(labelFont);
    LabelAD->setCursor(Qt::PointingHandCursor);
    LabelAD->hide();
}

void TFrmFolvane::CreateMiddlePanel()
{
    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(RzPanelTop);

    RzPanelM = new QWidget(central);
    RzPanelM->setObjectName(QStringLiteral("RzPanelM"));
    auto* middleLayout = new QVBoxLayout(RzPanelM);
    middleLayout->setContentsMargins(4, 4, 4, 4);
    centralLayout->addWidget(RzPanelM, 1);

    RzSplitter1 = new QSplitter(Qt::Horizontal, RzPanelM);
    RzSplitter1->setObjectName(QStringLiteral("RzSplitter1"));
    RzSplitter1->setHandleWidth(7);
    RzSplitter1->setChildrenCollapsible(false);
    middleLayout->addWidget(RzSplitter1);

    Splitter1 = new QSplitter(Qt::Vertical, RzSplitter1);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(4);
    Splitter1->setChildrenCollapsible(false);

    RzListViewFiles = new QTreeWidget(Splitter1);
    RzListViewFiles->setObjectName(QStringLiteral("RzListViewFiles"));
    RzListViewFiles->setHeaderLabels({QStringLiteral("文件"), QStringLiteral("大小")});
    RzListViewFiles->setRootIsDecorated(false);
    RzListViewFiles->setUniformRowHeights(true);
    RzListViewFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    RzListViewFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    RzListViewFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RzListViewFiles->setIconSize(QSize(16, 16));
    RzListViewFiles->setColumnWidth(0, 161);
    RzListViewFiles->setColumnWidth(1, 55);
    RzListViewFiles->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    RzListViewFiles->setAcceptDrops(true);

    auto* lower = new QWidget(Splitter1);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);

    RzPanel2 = new TRightAnchoredPanel(lower, 231);
    RzPanel2->setObjectName(QStringLiteral("RzPanel2"));
    RzPanel2->setFixedHeight(31);
    const auto pageButton = [this](const char* name, int left, int width, int image, const QString& hint) {
        auto* button = new QToolButton(RzPanel2);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(left, 4, width, 22);
        button->setProperty("DesignLeft", left);
        button->setIcon(SmallIcon(image));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(hint);
        button->setAutoRaise(true);
        return button;
    };
    const auto spacer = [this](const char* name, int left) {
        auto* groove = new QFrame(RzPanel2);
        groove->setObjectName(QString::fromLatin1(name));
        groove->setFrameShape(QFrame::VLine);
        groove->setFrameShadow(QFrame::Sunken);
        groove->setGeometry(left, 5, 8, 20);
        groove->setProperty("DesignLeft", left);
    };
    BtnFirst = pageButton("BtnFirst", 61, 22, 12, QStringLiteral("第一页"));
    BtnUp = pageButton("BtnUp", 83, 22, 2, QStringLiteral("上一页"));
    BtnDown = pageButton("BtnDown", 105, 22, 3, QStringLiteral("下一页"));
    RzToolButton3 = pageButton("RzToolButton3", 127, 22, 13, QStringLiteral("最后一页"));
    spacer("RzSpacer1", 150);
    BtnGoTo = pageButton("BtnGoTo", 159, 36, 4, QStringLiteral("跳转到书签"));
    BtnGoTo->setPopupMode(QToolButton::InstantPopup);
    spacer("RzSpacer2", 196);
    BtnMark = pageButton("BtnMark", 205, 22, 1, QStringLiteral("当前页设书签"));
    lowerLayout->addWidget(RzPanel2);

    RzListViewPages = new QTreeView(lower);
    RzListViewPages->setObjectName(QStringLiteral("RzListViewPages"));
    FPageListModel = new TPageListModel(RzListViewPages);
    FPageListModel->SetBookmarkIcon(SmallIcon(1));
    RzListViewPages->setModel(FPageListModel);
    RzListViewPages->setRootIsDecorated(false);
    RzListViewPages->setUniformRowHeights(true);
    RzListViewPages->setSelectionBehavior(QAbstractItemView::SelectRows);
    RzListViewPages->setSelectionMode(QAbstractItemView::SingleSelection);
    RzListViewPages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RzListViewPages->setIconSize(QSize(16, 16));
    RzListViewPages->setAllColumnsShowFocus(true);
    RzListViewPages->header()->setStretchLastSection(false);
    RzListViewPages->setColumnWidth(0, 60);
    RzListViewPages->setColumnWidth(1, 166);
    SetTag(RzListViewPages, 0);
    lowerLayout->addWidget(RzListViewPages, 1);

    Splitter1->setSizes({152, 400});
    Splitter1->setStretchFactor(1, 1);

    ScrollBoxPages = new TPageView(RzSplitter1);
    ScrollBoxPages->setObjectName(QStringLiteral("ScrollBoxPages"));
    ScrollBoxPages->SetClient(this);
    RzSplitter1->setSizes({235, 465});
    RzSplitter1->setStretchFactor(1, 1);

    setCentralWidget(central);
}

void TFrmFolvane::CreateStatusBar()
{
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("RzStatusBar1"));
    bar->setFixedHeight(19);
    bar->setSizeGripEnabled(false);
    bar->setStyleSheet(QStringLiteral(
        "QStatusBar { border-top: 1px solid rgb(150,190,215);"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 rgb(226,240,246), stop:1 rgb(165,219,245)); }"
        "QStatusBar::item { border: none; }"));
    const QIcon glyph = SmallIcon(11);
    RzStatusPane1 = new TStatusPane(QStringLiteral("RzStatusPane1"), &glyph, bar);
    RzStatusPane3 = new TStatusPane(QStringLiteral("RzStatusPane3"), nullptr, bar);
    RzStatusPane2 = new TStatusPane(QStringLiteral("RzStatusPane2"), &glyph, bar);
    RzStatusPane4 = new TStatusPane(QStringLiteral("RzStatusPane4"), &glyph, bar);
    bar->addWidget(RzStatusPane1);
    bar->addWidget(RzStatusPane3);
    bar->addWidget(RzStatusPane2);
    bar->addWidget(RzStatusPane4, 1);
    setStatusBar(bar);
}

QAction* TFrmFolvane::CreateMenuItem(QMenu* menu, const char* name, const QString& caption, int icon)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    if (icon >= 0)
        item->setIcon(SmallIcon(icon));
    return item;
}

void TFrmFolvane::CreateMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("AdvMainMenu1"));
    auto* styler = new TMenuStyler();
    styler->setObjectName(QStringLiteral("AdvMenuFantasyStyler1"));
    styler->setParent(this);

    const auto topMenu = [&](const char* name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        menu->setStyle(styler);
        return menu;
    };
    const auto subMenu = [&](QMenu* parent, const char* name, const QString& caption, int icon,
                             const char* noneName) {
        QMenu* menu = parent->addMenu(SmallIcon(icon), caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        menu->setStyle(styler);
        QAction* none = CreateMenuItem(menu, noneName, QStringLiteral("无"));
        none->setData(-1);
        return menu;
    };
    const auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* files = topMenu("M_Files", QStringLiteral("  文件(&F) "));
    QAction* openFile = CreateMenuItem(files, "M_OpenFile", QStringLiteral("打开文件(&O)"));
    QAction* openFolder = CreateMenuItem(files, "M_OpenFolder", QStringLiteral("打开文件夹(&F)"), 5);
    CreateMenuItem(files, "M_SaveAs", QStringLiteral("另存为图片(&S)"), 6);
    separator(files, "N1");
    M_HisFile = subMenu(files, "M_HisFile", QStringLiteral("历史记录 - 文件(&H)"), 14, "M_NoneFile");
    M_HisFolder = subMenu(files, "M_HisFolder", QStringLiteral("历史记录 - 文件夹(&L)"), 14, "M_NoneFolder");
    separator(files, "N4");
    QAction* closeItem = CreateMenuItem(files, "M_Close", QStringLiteral("退出(&X)"));
    connect(closeItem, &QAction::triggered, this, &TFrmFolvane::M_CloseClick);
    Q_UNUSED(openFile);
    Q_UNUSED(openFolder);

    QMenu* mark = topMenu("M_Mark", QStringLiteral("  书签(&M) "));
    QAction* setMark = CreateMenuItem(mark, "M_SetMark", QStringLiteral("当前页设书签(&M)"), 1);
    setMark->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    separator(mark, "N8");
    M_GoToMark = subMenu(mark, "M_GoToMark", QStringLiteral("跳转到书签(&G)"), 4, "M_MarkNone");
    CreateMenuItem(mark, "M_DelAllMark", QStringLiteral("删除所有书签(&D)"));

    QMenu* option = topMenu("M_Option", QStringLiteral("  选项(&O) "));
    CreateMenuItem(option, "M_Font", QStringLiteral("字体(&F)"), 7);
    CreateMenuItem(option, "M_LineSpace", QStringLiteral("行间距(&H)"), 8);
    separator(option, "N3");
    CreateMenuItem(option, "M_Options", QStringLiteral("设置(&O)"), 15);

    QMenu* act = topMenu("M_Act", QStringLiteral("  应用(&A) "));
    M_AutoScroll = CreateMenuItem(act, "M_AutoScroll", QStringLiteral("自动滚屏(&S)"));
    separator(act, "N2");
    CreateMenuItem(act, "M_FTJT", QStringLiteral("繁体转简体(&F)"), 17);
    CreateMenuItem(act, "M_JTFT", QStringLiteral("简体转繁体(&J)"), 16);

    QMenu* help = topMenu("M_Help", QStringLiteral("  帮助(&H) "));
    QAction* helpContent = CreateMenuItem(help, "M_HelpContent", QStringLiteral("帮助主题(&H)"), 10);
    helpContent->setShortcut(QKeySequence(Qt::Key_F1));
    helpContent->setVisible(false);
    QAction* n10 = help->addSeparator();
    n10->setObjectName(QStringLiteral("N10"));
    n10->setVisible(false);
    CreateMenuItem(help, "M_HomePage", QStringLiteral("主页(&P)"), 9);
    CreateMenuItem(help, "M_About", QStringLiteral("关于(&A)"));
}

void TFrmFolvane::CreatePopupMenus()
{
    auto* styler = findChild<TMenuStyler*>(QStringLiteral("AdvMenuFantasyStyler1"));
    const auto popup = [&](const char* name) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromLatin1(name));
        menu->setStyle(styler);
        return menu;
    };
    PopupMenuPages = popup("PopupMenuPages");
    CreateMenuItem(PopupMenuPages, "PM_Mark", QStringLiteral("当前页设书签"), 1);

    PopupMenuFiles = popup("PopupMenuFiles");
    CreateMenuItem(PopupMenuFiles, "PM_OpenTxt", QStringLiteral("打开"));
    PopupMenuFiles->addSeparator()->setObjectName(QStringLiteral("N6"));
    CreateMenuItem(PopupMenuFiles, "PM_OpenShell", QStringLiteral("外部打开"));
    CreateMenuItem(PopupMenuFiles, "PM_OpenShellEx", QStringLiteral("使用指定软件打开"));
    PopupMenuFiles->addSeparator()->setObjectName(QStringLiteral("N7"));
    CreateMenuItem(PopupMenuFiles, "PM_Prop", QStringLiteral("属性"));

    PopupMenuMark = popup("PopupMenuMark");
    QAction* none = CreateMenuItem(PopupMenuMark, "PM_None", QStringLiteral("无"));
    none->setData(-1);
    BtnGoTo->setMenu(PopupMenuMark);
}

void TFrmFolvane::TakeScreenshotWhenAsked()
{
    // For the run script on a machine without a display: grab the screen, then close normally.
    const QString path = qEnvironmentVariable("QUILLMERE_SCREENSHOT");
    if (path.isEmpty())
        return;
    const int delay = qEnvironmentVariableIntValue("QUILLMERE_SCREENSHOT_DELAY_MS");
    QTimer::singleShot(delay > 0 ? delay : 3000, this, [this, path] {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QPixmap shot = screen ? screen->grabWindow(0) : grab();
        (shot.isNull() ? grab() : shot).save(path);
        close();
    });
}
