#include "ui/entry_list_model.h"

#include <algorithm>
#include <cstdlib>

namespace tw {

namespace {

// The design captions; the language file's "fMain" section replaces them.
const char* const kDesignHeadings[kListColumns] = {"",      "Name",         "Datum",  "Ereignis",
                                                   "Alter", "Nächstes Mal", "E-Mail", "Kommentar"};

}  // namespace

TEntryListModel::TEntryListModel(QObject* parent) : QAbstractTableModel(parent) {
    for (const char* heading : kDesignHeadings) headings_ << QString::fromUtf8(heading);
}

int TEntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TEntryListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kListColumns; }

QVariant TEntryListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    return QString::fromStdString(rows_[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())]);
}

QVariant TEntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headings_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return headings_.at(section);
}

bool TEntryListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headings_.size())
        return false;
    headings_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void TEntryListModel::SetRows(std::vector<TListRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void TEntryListModel::SortByColumn(int column, bool ctrl, const TTWEntries& entries, TListSortState& state) {
    const std::vector<size_t> order = SortOrder(rows_, column, ctrl, entries, state);
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> new_position(rows_.size());
    std::vector<TListRow> sorted;
    sorted.reserve(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) {
        new_position[order[i]] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after << this->index(new_position[static_cast<size_t>(index.row())], index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TEntryListModel::RemoveRows(std::vector<int> positions) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    positions.erase(std::remove_if(positions.begin(), positions.end(),
                                   [this](int p) { return p < 0 || p >= static_cast<int>(rows_.size()); }),
                    positions.end());
    // Runs of neighbouring rows go in one step each. Many scattered rows are dropped in one pass
    // instead, so deleting half of a long list is not quadratic.
    std::vector<std::pair<int, int>> runs;
    for (int p : positions) {
        if (!runs.empty() && runs.back().second + 1 == p)
            runs.back().second = p;
        else
            runs.push_back({p, p});
    }
    if (runs.size() > 32) {
        beginResetModel();
        std::vector<TListRow> kept;
        kept.reserve(rows_.size() - positions.size());
        size_t next = 0;
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (next < positions.size() && positions[next] == static_cast<int>(i)) {
                ++next;
                continue;
            }
            kept.push_back(std::move(rows_[i]));
        }
        rows_ = std::move(kept);
        endResetModel();
        return;
    }
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        beginRemoveRows({}, it->first, it->second);
        rows_.erase(rows_.begin() + it->first, rows_.begin() + it->second + 1);
        endRemoveRows();
    }
}

int TEntryListModel::IdAt(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return -1;
    return std::atoi(rows_[static_cast<size_t>(row)][0].c_str());
}

int TEntryListModel::RowOfId(int id) const {
    const std::string text = std::to_string(id);
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i][0] == text) return static_cast<int>(i);
    return -1;
}

}  // namespace tw
