#include "core/entries/list_view.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "core/text/clock.h"
#include "core/text/date_text.h"

namespace tw {
namespace {

enum class TOwnOrder { None, Descending, Ascending };

std::string UpperAscii(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

int RowId(const TListRow& row) {
    int id = -1;
    std::from_chars(row[0].data(), row[0].data() + row[0].size(), id);
    return id;
}

// "Datum" without Ctrl: day and month placed in the leap year 2000, so 29 February sorts after
// 28 February.
double DayMonthKey(const std::string& text) {
    auto date = FixedTextToDate(text);
    if (!date) return 0;
    return FixedTextToDate(DayMonthText(*date) + "2000").value_or(0);
}

}  // namespace

TListRow ListRow(const TTWEntry& entry) {
    return {std::to_string(entry.Id), entry.Name,       DateToText(entry.Date), entry.EventText(),
            entry.AgeText(),          entry.NextText(), entry.EMail,            entry.Remark};
}

std::vector<TListRow> ListRows(const TTWEntries& entries) {
    std::vector<TListRow> rows;
    TFrozenNow one_moment;
    rows.reserve(entries.Count());
    for (size_t i = 0; i < entries.Count(); ++i) rows.push_back(ListRow(entries[i]));
    return rows;
}

std::vector<size_t> SortOrder(const std::vector<TListRow>& rows, int column, bool ctrl, const TTWEntries& entries,
                              TListSortState& state) {
    // The list compares rows pairwise and checks the state at every comparison; a list of fewer
    // than two rows compares nothing and so leaves the direction as it was.
    if (rows.size() >= 2 && column != state.SortColumn) state.SortDir = false;
    const bool inverted = column == state.SortColumn && state.SortDir;

    TFrozenNow one_moment;
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});

    // Each row's key is computed once; the comparison of two keys gives what the pairwise
    // comparison of the rows gives.
    TOwnOrder own = TOwnOrder::None;
    std::vector<std::string> text_keys;
    std::vector<double> number_keys;
    switch (column) {
        case 1:
        case 3:
        case 6:
        case 7:
            own = TOwnOrder::Descending;
            text_keys.reserve(rows.size());
            for (const TListRow& row : rows) text_keys.push_back(UpperAscii(row[static_cast<size_t>(column)]));
            break;
        case 2:
        case 4:
        case 5:
            own = TOwnOrder::Ascending;
            number_keys.reserve(rows.size());
            for (const TListRow& row : rows) {
                double key = 0;
                if (column == 2) {
                    key = ctrl ? FixedTextToDate(row[2]).value_or(0) : DayMonthKey(row[2]);
                } else if (const TTWEntry* entry = entries.FindId(RowId(row))) {
                    key = column == 4 ? entry->AgeInDays() : entry->DaysToNext();
                }
                number_keys.push_back(key);
            }
            break;
        default:
            break;  // the hidden id column and unknown columns give no order
    }

    if (own != TOwnOrder::None) {
        bool descending = (own == TOwnOrder::Descending) != inverted;
        auto before = [&](size_t a, size_t b) {
            if (!text_keys.empty()) return descending ? text_keys[a] > text_keys[b] : text_keys[a] < text_keys[b];
            return descending ? number_keys[a] > number_keys[b] : number_keys[a] < number_keys[b];
        };
        std::stable_sort(order.begin(), order.end(), before);
    }

    state.SortColumn = column;
    if (column != 3) state.SortDir = !state.SortDir;
    return order;
}

void SortRows(std::vector<TListRow>& rows, int column, bool ctrl, const TTWEntries& entries, TListSortState& state) {
    std::vector<size_t> order = SortOrder(rows, column, ctrl, entries, state);
    // Follows the permutation's cycles, so the rows are moved in place without a second copy.
    for (size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start) continue;
        TListRow held = std::move(rows[start]);
        size_t at = start;
        while (order[at] != start) {
            size_t from = order[at];
            rows[at] = std::move(rows[from]);
            order[at] = at;
            at = from;
        }
        rows[at] = std::move(held);
        order[at] = at;
    }
}

}  // namespace tw
