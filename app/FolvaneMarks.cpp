// Bookmarks of the open book: the store, the mark commands and the two menus.

#include "app/UnitFolvane.h"
#include "app/library/BookmarkStore.h"
#include "app/model/Pagination.h"
#include "app/view/PageListModel.h"
#include "common/AppPaths.h"
#include "common/FolvaneFun.h"
#include "common/Gbk.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTreeView>

namespace {

QString MarkFilePath()
{
    return StateDir() + QLatin1String(MarkFolderName) + QDir::separator() + QLatin1String(MarkFileName);
}

} // namespace

QString TFrmFolvane::ReadBookmarks(const QString& key) const
{
    return ::ReadBookmarks(MarkFilePath(), key);
}

void TFrmFolvane::WriteBookmarks(const QString& key)
{
    const QString value = BuildMarkValue(FPages, FCurPage);
    if (key.isEmpty() || value == FMarkRecord)
        return;
    StoreBookmarks(MarkFilePath(), key, value);
}

QString TFrmFolvane::MarkCaption(int pageIndex) const
{
    const QByteArray firstText = ToGbk(FPageListModel->FirstText(pageIndex));
    return QStringLiteral("第") + ZeroPad(FPageListModel->Caption(pageIndex), 3) + QStringLiteral(" 页 (")
        + FromGbk(EllipsisText(firstText, 20)) + u')';
}

QAction* TFrmFolvane::AddMarkItem(int pageIndex, QAction* before)
{
    auto* item = new QAction(MarkCaption(pageIndex), PopupMenuMark);
    item->setData(pageIndex);
    connect(item, &QAction::triggered, this, [this, item] { MarkItemClick(item); });
    PopupMenuMark->insertAction(before, item);
    return item;
}

void TFrmFolvane::AddMarkPlaceholder()
{
    auto* none = new QAction(QStringLiteral("无"), PopupMenuMark);
    none->setObjectName(QStringLiteral("PM_None"));
    none->setData(-1);
    PopupMenuMark->addAction(none);
}

void TFrmFolvane::RebuildMarkMenu()
{
    // The drop-down of the go-to button is the master; the main menu copies it.
    M_GoToMark->clear();
    for (QAction* master : PopupMenuMark->actions()) {
        QAction* copy = M_GoToMark->addAction(master->text());
        copy->setData(master->data());
        connect(copy, &QAction::triggered, this, [this, copy] { MarkItemClick(copy); });
    }
}

void TFrmFolvane::MarkItemClick(QAction* item)
{
    const int pageIndex = item->data().toInt();
    if (pageIndex < 0 || pageIndex >= FPageListModel->rowCount())
        return;
    SelectPageRow(pageIndex);
}

void TFrmFolvane::M_SetMarkClick()
{
    if (FPages.empty()) {
        FPrompter->Notice(this, QStringLiteral("请先打开一个文件"));
        return;
    }
    const int n = FCurPage;
    // No page has been current yet in this book: there is nothing to mark.
    if (n < 1 || n > FPageListModel->rowCount())
        return;
    TOnePage& page = FPages[n - 1];
    if (page.Bookmarked) {
        if (FPrompter->Question(this, QStringLiteral("确实要取消该页的书签吗？"))) {
            page.Bookmarked = false;
            FPageListModel->PageChanged(n - 1);
            const QList<QAction*> items = PopupMenuMark->actions();
            for (QAction* item : items) {
                if (item->data().toInt() != n - 1)
                    continue;
                if (items.size() == 1) {
                    PopupMenuMark->clear();
                    AddMarkPlaceholder();
                } else {
                    PopupMenuMark->removeAction(item);
                    item->deleteLater();
                }
                break;
            }
            ScrollBoxPages->InvalidatePage(n - 1);
        }
    } else if (FPrompter->ConfirmSetMark(this)) {
        page.Bookmarked = true;
        FPageListModel->PageChanged(n - 1);
        const QList<QAction*> items = PopupMenuMark->actions();
        if (items.size() == 1 && items.first()->data().toInt() < 0) {
            PopupMenuMark->clear();
            AddMarkItem(n - 1, nullptr);
        } else {
            QAction* before = nullptr;
            for (QAction* item : items)
                if (item->data().toInt() > n - 1) {
                    before = item;
                    break;
                }
            AddMarkItem(n - 1, before);
        }
        ScrollBoxPages->InvalidatePage(n - 1);
    }
    RebuildMarkMenu();
}

void TFrmFolvane::M_DelAllMarkClick()
{
    if (FPages.empty()) {
        FPrompter->Notice(this, QStringLiteral("请先打开一个文件"));
        return;
    }
    if (!FPrompter->Question(this, QStringLiteral("确实要删除所有的书签吗？")))
        return;
    for (int i = 0; i < static_cast<int>(FPages.size()); ++i)
        if (FPages[i].Bookmarked) {
            FPages[i].Bookmarked = false;
            FPageListModel->PageChanged(i);
        }
    PopupMenuMark->clear();
    AddMarkPlaceholder();
    ScrollBoxPages->InvalidateAll();
    RebuildMarkMenu();
}
