// Opening a book: the one road by which a text file becomes the open document.

#include "app/ControlTag.h"
#include "app/StatusPane.h"
#include "app/UnitFolvane.h"
#include "app/library/BookmarkStore.h"
#include "app/library/FolderFiles.h"
#include "app/model/Pagination.h"
#include "app/model/TextReader.h"
#include "app/view/PageListModel.h"
#include "app/view/PagePublicMsg.h"
#include "common/AppPaths.h"
#include "common/FolvaneFun.h"
#include "common/Gbk.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QTreeView>
#include <QTreeWidget>

namespace {

void ProcessPendingMessages()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void TFrmFolvane::ShowEncoding(int encoding)
{
    RzStatusPane3->SetCaption(EncodingText(encoding));
}

bool TFrmFolvane::OpenTextFile(const QString& fileName, bool ignoreReadingPoint)
{
    // One read gives both the key and the text. The pages are laid out while
    // the digest is still being taken, into pages of their own, so the open
    // book stays as it is until the key says this is another book.
    TTextFile text = ReadTextFileDigestPending(fileName);
    ProcessPendingMessages();
    TPages pages;
    int32_t totalChars = 0;
    if (text.Encoding >= 0) {
        try {
            BuildPages(pages, text, FLineFonts[1], FLineFonts[2], PagePublicMsg.LineSpacing, totalChars);
        } catch (const std::bad_alloc&) {
            // A book too big to lay out is a book that cannot be opened.
            pages = TPages();
            text.Encoding = EncodingError;
        }
    }
    const QString key = FinishDigest(text);
    if (!key.isEmpty() && key == FFileKey)
        return true;
    if (text.Encoding < 0) {
        FPrompter->Error(this, QStringLiteral("无法打开文件\r\n") + fileName);
        return false;
    }
    if (!FPages.empty())
        WriteBookmarks(FFileKey);

    ProcessPendingMessages();
    // The list and the reading area read the pages: they let go before the pages change.
    FPageListModel->Clear();
    ScrollBoxPages->InvalidateAll();
    FPages = std::move(pages);
    FTotalChars = totalChars;
    if (FPages.empty())
        FCurPage = 0;
    PagePublicMsg.FileName = QFileInfo(fileName).fileName();
    ShowEncoding(text.Encoding);
    ProcessPendingMessages();
    text = TTextFile();

    ScrollBoxPages->Tag = -1;
    ScrollBoxPages->DisableAutoRange();
    SetTag(RzListViewPages, -1);
    ScrollBoxPages->SetVertPosition(0);
    ScrollBoxPages->SetHorzPosition(0);
    qint64 top = PageGap;
    const int count = static_cast<int>(FPages.size());
    for (int i = 0; i < count; ++i)
        top = CreatePageView(i, i < 10 || i == count - 1, top);
    FPageListModel->Reset(&FPages);

    RzStatusPane4->SetCaption(fileName);
    FFileKey = key;
    FMarkRecord = ReadBookmarks(FFileKey);

    int startPage = 0;
    QString marks = FMarkRecord;
    const qsizetype caret = FMarkRecord.indexOf(u'^');
    if (caret >= 0) {
        marks = FMarkRecord.left(caret);
        if (!ignoreReadingPoint && FAutoLocation)
            startPage = FindPageOfPos(FPages, FMarkRecord.mid(caret + 1));
    }

    PopupMenuMark->clear();
    while (!marks.isEmpty()) {
        QString token;
        NextMarkToken(marks, token);
        const int index = FindPageOfPos(FPages, token);
        if (index < 0 || index >= count)
            continue;
        FPages[index].Bookmarked = true;
        AddMarkItem(index, nullptr);
    }
    if (PopupMenuMark->isEmpty())
        AddMarkPlaceholder();
    RebuildMarkMenu();
    AddFileHistory(fileName);

    ScrollBoxPages->EnableAutoRange();
    SetTag(RzListViewPages, 0);
    ScrollBoxPages->Tag = 0;
    ScrollBoxPages->viewport()->update();
    ScrollBoxPagesCanResize();

    if (startPage >= 0 && startPage < FPageListModel->rowCount())
        SelectPageRow(startPage);
    return true;
}

void TFrmFolvane::ListFiles(const std::vector<TListedFile>& files)
{
    RzListViewFiles->setUpdatesEnabled(false);
    RzListViewFiles->clear();
    const QIcon icon(QStringLiteral(":/icons/small/11.svg"));
    for (const TListedFile& file : files) {
        auto* item = new QTreeWidgetItem(RzListViewFiles);
        item->setText(0, QFileInfo(file.Path).fileName());
        item->setText(1, FormatFileSize(file.Size));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, FullPathRole, file.Path);
        item->setIcon(0, icon);
    }
    RzListViewFiles->setUpdatesEnabled(true);
    if (QTreeWidgetItem* first = RzListViewFiles->topLevelItem(0)) {
        RzListViewFiles->setCurrentItem(first);
        RzListViewFiles->scrollToItem(first);
    }
}

void TFrmFolvane::OpenDroppedFiles(const QStringList& paths)
{
    const TDropFiles drop = CollectDroppedFiles(paths);
    for (const QString& folder : drop.FoldersWithFiles)
        AddFolderHistory(folder);
    if (drop.Files.empty())
        return;
    ListFiles(drop.Files);
    OpenTextFile(drop.Files.front().Path, false);
    ScrollBoxPages->setFocus();
}

void TFrmFolvane::OpenCommandLine(const QStringList& paths)
{
    QStringList absolute;
    for (const QString& path : paths)
        absolute << QFileInfo(path).absoluteFilePath();
    OpenDroppedFiles(absolute);
}
