#pragma once
// Rows of the page list: one per page, built on demand from the pages, so a
// book of 100,000 pages creates no item objects.

#include "app/model/PageModel.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>

class TPageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TPageListModel(QObject* parent = nullptr);

    void SetBookmarkIcon(const QIcon& icon) { FBookmarkIcon = icon; }
    // Shows the given pages; the model reads them, it does not own them.
    void Reset(const TPages* pages);
    void Clear() { Reset(nullptr); }
    void PageChanged(int row);
    // A row's first-line text after the script conversion rewrote it.
    void SetFirstText(int row, const QString& text);

    QString Caption(int row) const;
    QString FirstText(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TPages* FPages = nullptr;
    QIcon FBookmarkIcon;
    QHash<int, QString> FFirstTexts;
};
