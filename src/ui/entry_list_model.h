#pragma once

#include <vector>

#include <QAbstractTableModel>
#include <QStringList>

#include "core/entries/list_view.h"

namespace tw {

/// The rows of the main list in display order. A model rather than one item object per cell
/// keeps filling and sorting 100,000 entries fast and small.
class TEntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TEntryListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;

    /// Replaces every row (FillListView).
    void SetRows(std::vector<TListRow> rows);
    /// Sorts as a click on the column does, updating the sort state.
    void SortByColumn(int column, bool ctrl, const TTWEntries& entries, TListSortState& state);
    /// Removes the rows at these positions (any order).
    void RemoveRows(std::vector<int> positions);

    const std::vector<TListRow>& Rows() const { return rows_; }
    /// The entry id a row shows.
    int IdAt(int row) const;
    /// The row showing the entry with this id, or -1.
    int RowOfId(int id) const;

private:
    std::vector<TListRow> rows_;
    QStringList headings_;
};

}  // namespace tw
