#include "app/view/PageListModel.h"

#include "app/model/Pagination.h"
#include "common/Gbk.h"

TPageListModel::TPageListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void TPageListModel::Reset(const TPages* pages)
{
    beginResetModel();
    FPages = pages;
    FFirstTexts.clear();
    endResetModel();
}

void TPageListModel::PageChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, 1));
}

void TPageListModel::SetFirstText(int row, const QString& text)
{
    FFirstTexts.insert(row, text);
    emit dataChanged(index(row, 1), index(row, 1));
}

QString TPageListModel::Caption(int row) const
{
    return QString::number(row + 1);
}

QString TPageListModel::FirstText(int row) const
{
    if (!FPages || row < 0 || row >= rowCount())
        return {};
    const auto it = FFirstTexts.constFind(row);
    if (it != FFirstTexts.constEnd())
        return *it;
    return FromGbk(PageFirstText((*FPages)[row]));
}

int TPageListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !FPages)
        return 0;
    return static_cast<int>(FPages->size());
}

int TPageListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant TPageListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? Caption(index.row()) : FirstText(index.row());
    if (role == Qt::DecorationRole && index.column() == 0 && (*FPages)[index.row()].Bookmarked)
        return FBookmarkIcon;
    return {};
}

QVariant TPageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("页码") : QStringLiteral("首行内容");
}
