// The file and folder history lists and their two submenus.

#include "app/UnitFolvane.h"
#include "app/library/HistoryStore.h"
#include "common/AppPaths.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>

namespace {

QString HistoryPath(const char* fileName)
{
    return StateDir() + QLatin1String(fileName);
}

} // namespace

void TFrmFolvane::LoadFileHistory()
{
    FFileHistory = LoadHistoryFile(HistoryPath(FileHistoryFileName)).Entries;
    RebuildFileHistoryMenu(M_HisFile);
}

void TFrmFolvane::LoadFolderHistory()
{
    FFolderHistory = LoadHistoryFile(HistoryPath(FolderHistoryFileName)).Entries;
    RebuildFolderHistoryMenu(M_HisFolder);
}

void TFrmFolvane::SaveFileHistory()
{
    // Cleared on disk only: the list stays in memory for the rest of the run.
    SaveHistoryFile(HistoryPath(FileHistoryFileName), FClearFileHis ? QStringList() : FFileHistory);
}

void TFrmFolvane::SaveFolderHistory()
{
    SaveHistoryFile(HistoryPath(FolderHistoryFileName), FClearFolderHis ? QStringList() : FFolderHistory);
}

void TFrmFolvane::AddFileHistory(const QString& path)
{
    AddHistoryEntry(FFileHistory, path, FHisFileCount);
    RebuildFileHistoryMenu(M_HisFile);
}

void TFrmFolvane::RebuildFileHistoryMenu(QMenu* menu)
{
    RebuildHistoryMenu(menu, FFileHistory, &TFrmFolvane::FileHistoryItemClick);
}

void TFrmFolvane::RebuildFolderHistoryMenu(QMenu* menu)
{
    RebuildHistoryMenu(menu, FFolderHistory, &TFrmFolvane::FolderHistoryItemClick);
}

void TFrmFolvane::RebuildHistoryMenu(QMenu* menu, const QStringList& list, void (TFrmFolvane::*click)(QAction*))
{
    QList<QAction*> items = menu->actions();
    const auto itemAt = [&](int k) {
        if (k < items.size())
            return items[k];
        QAction* item = menu->addAction(QString());
        connect(item, &QAction::triggered, this, [this, item, click] { (this->*click)(item); });
        items.append(item);
        return item;
    };
    if (list.isEmpty()) {
        QAction* none = itemAt(0);
        none->setData(-1);
        none->setText(QStringLiteral("无"));
    }
    for (int k = 0; k < list.size(); ++k) {
        QAction* item = itemAt(k);
        item->setData(k);
        // A path with "&" must not turn into an accelerator.
        item->setText(QString(list[k]).replace(u'&', QStringLiteral("&&")));
    }
    const int wanted = std::max<int>(1, list.size());
    while (items.size() > wanted) {
        QAction* last = items.takeLast();
        menu->removeAction(last);
        last->deleteLater();
    }
}

void TFrmFolvane::FileHistoryItemClick(QAction* item)
{
    const int k = item->data().toInt();
    if (k < 0 || k >= FFileHistory.size())
        return;
    const QString path = FFileHistory[k];
    if (!QFileInfo(path).isFile()) {
        FPrompter->Notice(this, QStringLiteral("文件不存在\r\n") + path);
        return;
    }
    // The closed menu is repainted before the book is read.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    OpenFiles({path});
}

void TFrmFolvane::FolderHistoryItemClick(QAction* item)
{
    const int k = item->data().toInt();
    if (k < 0 || k >= FFolderHistory.size())
        return;
    const QString folder = FFolderHistory[k];
    if (!QFileInfo(folder).isDir()) {
        FPrompter->Notice(this, QStringLiteral("文件夹不存在\r\n") + folder);
        return;
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    OpenFolder(folder);
}

void TFrmFolvane::AddFolderHistory(const QString& folder)
{
    AddFolderHistoryEntry(FFolderHistory, folder, FHisFolderCount);
    RebuildFolderHistoryMenu(M_HisFolder);
}
