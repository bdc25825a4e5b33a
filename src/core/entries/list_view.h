#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/entries/entries.h"

namespace tw {

/// Number of columns of the main list: the hidden id, Name, Datum, Ereignis, Alter,
/// Nächstes Mal, E-Mail, Kommentar.
inline constexpr int kListColumns = 8;

/// One row of the main list: the texts of its eight columns (column 0 is the id).
using TListRow = std::array<std::string, kListColumns>;

/// The row the main list shows for an entry.
TListRow ListRow(const TTWEntry& entry);

/// The rows of every entry, in collection order.
std::vector<TListRow> ListRows(const TTWEntries& entries);

/// The list's sort state, kept by the application and stored in options.ini.
struct TListSortState {
    int SortColumn = -1;  ///< column last sorted by
    bool SortDir = false;  ///< direction toggle
};

/// What a click on a column header does: sorts the rows by that column and updates the sort
/// state. Text columns (1, 3, 6, 7) sort by character codes with a–z counted as A–Z, descending
/// in their own order; "Datum" (2) by day and month, or by the full date with ctrl; "Alter" (4)
/// by age in days and "Nächstes Mal" (5) by days to go, ascending in their own order. A second
/// click on the same column reverses the order (except for column 3). Rows with equal keys keep
/// their order. Entries for columns 4 and 5 are found by the row's id.
void SortRows(std::vector<TListRow>& rows, int column, bool ctrl, const TTWEntries& entries, TListSortState& state);

/// The order of rows a click on the column would give, as positions into rows; the state is
/// updated as by SortRows.
std::vector<size_t> SortOrder(const std::vector<TListRow>& rows, int column, bool ctrl, const TTWEntries& entries,
                              TListSortState& state);

}  // namespace tw
