#include "core/entries/list_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/test_support.h"

namespace tw {
namespace {

using test::D;

std::vector<int> RowIds(const std::vector<TListRow>& rows) {
    std::vector<int> ids;
    for (const TListRow& row : rows) ids.push_back(std::stoi(row[0]));
    return ids;
}

// Today is 11 December 2026. Every column orders the six entries differently; "Datum" holds
// 28 and 29 February, "Nächstes Mal" has two entries 79 days away, the text columns mix case
// and an umlaut, and "Kommentar" holds equal keys.
class ListView : public ::testing::Test {
  protected:
    test::TTestLanguage language_{
        {{64, "unbekannt"}, {83, "Geburtstag"}, {84, "Hochzeitstag"}, {93, "in %d Tagen"}}};
    test::TScopedClock clock_{D(11, 12, 2026) + 0.5};
    TTWEntries entries_;

    void SetUp() override {
        Add(1, "Zoe", D(24, 12, 1990), 0, "", "zoe@x.de", "b");
        Add(2, "anna", D(29, 2, 1988), 1, "", "Anna@x.de", "B");
        Add(3, "Ärger", D(28, 2, 2001), 2, "Jubiläum", "", "a");
        Add(4, "Max", D(5, 1, 9999), 2, "abschluss", "max@x.de", "");
        Add(5, "bert", D(11, 12, 1950), 0, "", "bert@x.de", "c");
        Add(6, "Carl", D(10, 12, 2020), 1, "", "carl@x.de", "b");
    }
    void Add(int id, const char* name, TDateTime date, int event, const char* user_event, const char* email,
             const char* remark) {
        TTWEntry entry;
        entry.Id = id;
        entry.Name = name;
        entry.Date = date;
        entry.Event = event;
        entry.UserEvent = user_event;
        entry.EMail = email;
        entry.Remark = remark;
        entries_.Append(entry);
    }
};

TEST_F(ListView, RowHoldsTheEightColumnsInOrder) {
    std::vector<TListRow> rows = ListRows(entries_);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(RowIds(rows), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(rows[3],
              (TListRow{"4", "Max", "05.01.9999", "abschluss", "unbekannt", "in 25 Tagen", "max@x.de", ""}));
    EXPECT_EQ(rows[1][3], "Hochzeitstag");
}

TEST_F(ListView, FirstClickSortsInTheColumnsOwnOrderAndNextClicksAlternate) {
    struct Case {
        const char* label;
        int column;
        bool ctrl;
        std::vector<int> own;       // first click
        std::vector<int> inverted;  // second click
    } cases[] = {
        // Text columns: descending by character code, a-z counted as A-Z, umlauts after Z.
        {"Name", 1, false, {3, 1, 4, 6, 5, 2}, {2, 5, 6, 4, 1, 3}},
        {"E-Mail", 6, false, {1, 4, 6, 5, 2, 3}, {3, 2, 5, 6, 4, 1}},
        {"Kommentar", 7, false, {5, 1, 2, 6, 3, 4}, {4, 3, 1, 2, 6, 5}},
        // Day and month only, January first, 29 February after 28 February.
        {"Datum", 2, false, {4, 3, 2, 6, 5, 1}, {1, 5, 6, 2, 3, 4}},
        // The full date, oldest first, the year not stated last.
        {"Datum with Ctrl", 2, true, {5, 2, 1, 3, 6, 4}, {4, 6, 3, 1, 2, 5}},
        // Youngest first; the year not stated counts as -1 days.
        {"Alter", 4, false, {4, 6, 3, 1, 2, 5}, {5, 2, 1, 3, 6, 4}},
        // Soonest first: 0, 13, 25, 79, 79 and 364 days.
        {"Nächstes Mal", 5, false, {5, 1, 4, 2, 3, 6}, {6, 2, 3, 4, 1, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        // The list was last sorted by another column, in its inverted order.
        TListSortState state{c.column == 1 ? 2 : 1, true};
        std::vector<TListRow> rows = ListRows(entries_);
        const std::vector<int>* expected[] = {&c.own, &c.inverted, &c.own};
        for (int click = 0; click < 3; ++click) {
            SCOPED_TRACE("click " + std::to_string(click + 1));
            SortRows(rows, c.column, c.ctrl, entries_, state);
            EXPECT_EQ(RowIds(rows), *expected[click]);
            EXPECT_EQ(state.SortColumn, c.column);
            EXPECT_EQ(state.SortDir, click != 1);
        }
    }
}

TEST_F(ListView, EventColumnKeepsItsOwnOrderOnRepeatedClicks) {
    const std::vector<int> descending = {3, 2, 6, 1, 5, 4};  // Jubiläum, Hochzeitstag, Geburtstag, abschluss
    TListSortState state{1, true};
    std::vector<TListRow> rows = ListRows(entries_);
    for (int click = 0; click < 3; ++click) {
        SCOPED_TRACE("click " + std::to_string(click + 1));
        SortRows(rows, 3, false, entries_, state);
        EXPECT_EQ(RowIds(rows), descending);
        EXPECT_EQ(state.SortColumn, 3);
        EXPECT_FALSE(state.SortDir);
    }
}

// At start-up the stored direction is negated and the stored column clicked once; at the end the
// state is stored as it is.
TEST_F(ListView, StoredDirectionOverSeveralStarts) {
    const std::vector<int> name_descending = {3, 1, 4, 6, 5, 2};
    const std::vector<int> event_descending = {3, 2, 6, 1, 5, 4};
    const std::vector<int> event_ascending = {4, 1, 5, 2, 6, 3};
    struct Case {
        int column;
        std::vector<std::vector<int>> orders;  // one per start
    } cases[] = {
        // The list comes up as it was shown when the program last ended.
        {1, {name_descending, name_descending, name_descending, name_descending}},
        // Column 3 is not toggled back, so its direction alternates from one start to the next.
        {3, {event_ascending, event_descending, event_ascending, event_descending}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("column " + std::to_string(c.column));
        // The last session: one click on the column, which showed it in its own order.
        TListSortState stored{c.column == 1 ? 2 : 1, false};
        std::vector<TListRow> shown = ListRows(entries_);
        SortRows(shown, c.column, false, entries_, stored);
        ASSERT_EQ(RowIds(shown), c.column == 1 ? name_descending : event_descending);
        for (size_t start = 0; start < c.orders.size(); ++start) {
            SCOPED_TRACE("start " + std::to_string(start + 1));
            TListSortState state{stored.SortColumn, !stored.SortDir};
            std::vector<TListRow> rows = ListRows(entries_);
            SortRows(rows, state.SortColumn, false, entries_, state);
            EXPECT_EQ(RowIds(rows), c.orders[start]);
            stored = state;
        }
    }
}

TEST_F(ListView, ListsThatCompareNothingKeepTheDirection) {
    struct Case {
        size_t rows;
        int column;
        bool dir_after;
    } cases[] = {
        // No comparison, so the change of column does not reset the direction.
        {0, 3, true},
        {1, 3, true},
        {1, 5, false},
        // Two rows compare: the direction is reset, then toggled unless the column is 3.
        {2, 3, false},
        {2, 5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + " rows, column " + std::to_string(c.column));
        std::vector<TListRow> rows = ListRows(entries_);
        rows.resize(c.rows);
        TListSortState state{1, true};
        SortRows(rows, c.column, false, entries_, state);
        EXPECT_EQ(rows.size(), c.rows);
        EXPECT_EQ(state.SortColumn, c.column);
        EXPECT_EQ(state.SortDir, c.dir_after);
    }
}

TEST_F(ListView, RowsWithEqualKeysKeepTheirOrder) {
    // Enough rows that a sort which is stable only for short ranges shows itself.
    TTWEntries many;
    for (int id = 0; id < 200; ++id) {
        TTWEntry entry;
        entry.Id = id;
        entry.Name = id % 3 == 0 ? "anna" : "Bert";
        entry.Date = D(id % 2 == 0 ? 1 : 2, 3, 1990 - id % 5);
        many.Append(entry);
    }
    struct Case {
        int column;
        bool ctrl;
    } cases[] = {{1, false}, {2, false}, {2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE("column " + std::to_string(c.column) + (c.ctrl ? " with Ctrl" : ""));
        TListSortState state{-1, false};
        std::vector<TListRow> rows = ListRows(many);
        for (int click = 0; click < 2; ++click) {
            SCOPED_TRACE("click " + std::to_string(click + 1));
            SortRows(rows, c.column, c.ctrl, many, state);
            std::vector<int> ids = RowIds(rows);
            for (size_t i = 1; i < rows.size(); ++i) {
                if (rows[i][static_cast<size_t>(c.column)] == rows[i - 1][static_cast<size_t>(c.column)]) {
                    ASSERT_LT(ids[i - 1], ids[i]) << "rows " << i - 1 << " and " << i;
                }
            }
        }
    }
}

TEST_F(ListView, SortOrderGivesThePositionsSortRowsApplies) {
    std::vector<TListRow> rows = ListRows(entries_);
    TListSortState state{-1, false};
    std::vector<size_t> order = SortOrder(rows, 5, false, entries_, state);
    EXPECT_EQ(order, (std::vector<size_t>{4, 0, 3, 1, 2, 5}));
    EXPECT_EQ(RowIds(rows), (std::vector<int>{1, 2, 3, 4, 5, 6})) << "the rows themselves stay";
    EXPECT_EQ(state.SortColumn, 5);
    EXPECT_TRUE(state.SortDir);
}

}  // namespace
}  // namespace tw
