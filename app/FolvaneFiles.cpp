// The file list and the ways books reach it: the open dialog, a folder,
// drops, and the commands that hand a listed file to the desktop.

#include "app/StatusPane.h"
#include "app/UnitFolvane.h"
#include "app/library/FolderFiles.h"
#include "common/AppPaths.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

namespace {

void ProcessPendingMessages()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Lets the window act on another object's events without a subclass of it.
class TEventHook : public QObject {
public:
    using THandler = std::function<bool(QEvent*)>;

    TEventHook(QObject* watched, THandler handler)
        : QObject(watched)
        , FHandler(std::move(handler))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return FHandler(event); }

private:
    THandler FHandler;
};

bool IsDragEvent(const QEvent* event)
{
    const QEvent::Type type = event->type();
    return type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
}

QStringList LocalFilePaths(const QMimeData* data)
{
    QStringList paths;
    if (!data)
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

} // namespace

void TFrmFolvane::ConnectFileHandlers()
{
    const auto bind = [this](const char* name, void (TFrmFolvane::*handler)()) {
        QAction* item = findChild<QAction*>(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, handler);
    };
    connect(BtnLast, &QToolButton::clicked, this, &TFrmFolvane::BtnLastClick);
    bind("M_OpenFile", &TFrmFolvane::BtnLastClick);
    connect(BtnOpenFolder, &QToolButton::clicked, this, &TFrmFolvane::BtnOpenFolderClick);
    bind("M_OpenFolder", &TFrmFolvane::BtnOpenFolderClick);
    bind("PM_OpenTxt", &TFrmFolvane::PM_OpenTxtClick);
    bind("PM_OpenShell", &TFrmFolvane::PM_OpenShellClick);
    bind("PM_OpenShellEx", &TFrmFolvane::PM_OpenShellExClick);
    bind("PM_Prop", &TFrmFolvane::PM_PropClick);
    // The placeholders become the first history entries once there are any.
    QAction* noneFile = findChild<QAction*>(QStringLiteral("M_NoneFile"));
    connect(noneFile, &QAction::triggered, this, [this, noneFile] { FileHistoryItemClick(noneFile); });
    QAction* noneFolder = findChild<QAction*>(QStringLiteral("M_NoneFolder"));
    connect(noneFolder, &QAction::triggered, this, [this, noneFolder] { FolderHistoryItemClick(noneFolder); });

    // Presses and drops land on the viewport; a drop may also reach the list
    // itself where the viewport does not take it.
    RzListViewFiles->setAcceptDrops(true);
    RzListViewFiles->viewport()->setAcceptDrops(true);
    new TEventHook(RzListViewFiles->viewport(), [this](QEvent* event) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            RzListViewFilesMouseDown(static_cast<QMouseEvent*>(event));
            return false;
        case QEvent::MouseButtonDblClick:
            // The second press of a double-click comes only as this event.
            RzListViewFilesMouseDown(static_cast<QMouseEvent*>(event));
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                PM_OpenTxtClick();
            return false;
        default:
            // Other events also come while the window is being torn down: leave them alone.
            return IsDragEvent(event) && RzListViewFilesDragEvent(event);
        }
    });
    new TEventHook(RzListViewFiles,
                   [this](QEvent* event) { return IsDragEvent(event) && RzListViewFilesDragEvent(event); });
}

void TFrmFolvane::BtnLastClick()
{
    const QStringList paths = FPrompter->PickOpenFiles(
        this, QStringLiteral("打开文件"), FOpenDialogFolder, QStringLiteral("文本文件(*.txt)"));
    if (paths.isEmpty())
        return;
    FOpenDialogFolder = QFileInfo(paths.first()).absolutePath();
    ProcessPendingMessages();
    OpenFiles(paths);
}

void TFrmFolvane::OpenFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    std::vector<TListedFile> files;
    files.reserve(paths.size());
    for (const QString& path : paths)
        files.push_back({path, ReadFileSize(path)});
    ListFiles(files);
    ProcessPendingMessages();
    OpenTextFile(paths.first(), false);
    ScrollBoxPages->setFocus();
}

void TFrmFolvane::BtnOpenFolderClick()
{
    const QString open = RzStatusPane4->Caption();
    QString folder = open.isEmpty() ? QString() : WithTrailingSeparator(QFileInfo(open).absolutePath());
    if (!SelectFolder(QStringLiteral("选择文件夹"), folder))
        return;
    OpenFolder(folder);
}

bool TFrmFolvane::SelectFolder(const QString& title, QString& folder)
{
    if (!QFileInfo(folder).isDir())
        folder.clear();
    const QString chosen = FPrompter->PickFolder(this, title, folder);
    if (chosen.isEmpty())
        return false;
    folder = chosen;
    return true;
}

void TFrmFolvane::OpenFolder(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const std::vector<TListedFile> files = CollectFolderFiles(folder);
    if (files.empty()) {
        FPrompter->Notice(this, folder + QStringLiteral("\r\n文件夹中没有TXT文本文件"));
        return;
    }
    ListFiles(files);
    OpenTextFile(files.front().Path, false);
    // Listed is enough: the folder counts as visited even when its first book would not open.
    AddFolderHistory(WithTrailingSeparator(folder));
    ScrollBoxPages->setFocus();
}

void TFrmFolvane::RzListViewFilesMouseDown(QMouseEvent* event)
{
    if (BtnAutoScroll->isChecked())
        return;
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = RzListViewFiles->indexAt(pos);
    FListFileItem = index.isValid() ? QPersistentModelIndex(index.siblingAtColumn(0)) : QPersistentModelIndex();
    if (event->button() == Qt::RightButton && FListFileItem.isValid())
        PopupMenuFiles->popup(RzListViewFiles->viewport()->mapToGlobal(pos));
}

bool TFrmFolvane::RzListViewFilesDragEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // QDragEnterEvent is a QDragMoveEvent.
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (LocalFilePaths(drag->mimeData()).isEmpty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = LocalFilePaths(drop->mimeData());
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        OpenDroppedFiles(paths);
        return true;
    }
    default:
        return false;
    }
}

QString TFrmFolvane::ListFilePath() const
{
    if (!FListFileItem.isValid())
        return {};
    return FListFileItem.data(FullPathRole).toString();
}

void TFrmFolvane::PM_OpenTxtClick()
{
    if (BtnAutoScroll->isChecked())
        return;
    const QString path = ListFilePath();
    if (path.isEmpty() || path == RzStatusPane4->Caption())
        return;
    OpenTextFile(path, false);
}

void TFrmFolvane::PM_OpenShellClick()
{
    const QString path = ListFilePath();
    if (!path.isEmpty())
        FShell->OpenFile(path);
}

void TFrmFolvane::PM_OpenShellExClick()
{
    const QString path = ListFilePath();
    if (!path.isEmpty())
        FShell->OpenWith(path);
}

void TFrmFolvane::PM_PropClick()
{
    const QString path = ListFilePath();
    if (!path.isEmpty())
        FShell->ShowProperties(path);
}
