#include "core/importexport/print_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/test_support.h"
#include "core/text/encoding.h"

namespace tw {
namespace {

TReportRow Row(const std::string& name) {
    return {name, "01.02.1990", "34 Jahre", "in 5 Tagen", "Geburtstag", "a@b.de", ""};
}

// Rows per page, read back from the layout (lines that are neither header, blank nor heading).
std::vector<int> RowsPerPage(const TPrintLayout& layout) {
    std::vector<int> counts;
    for (const TPrintPage& page : layout.Pages) counts.push_back(static_cast<int>(page.Lines.size()) - 3);
    return counts;
}

TEST(PrintLayout, TableLinePadsJoinsWithBarsAndEndsWithOneBlank) {
    const std::array<size_t, kReportColumns> widths = {4, 1, 3, 0, 2, 1, 1};
    EXPECT_EQ(PrintTableLine({"Jürg", "b", "c", "", "ee", "f", "g"}, widths),
              "Jürg | b | c   |  | ee | f | g ");
    EXPECT_EQ(PrintTableLine({"", "", "", "", "", "", ""}, {}), " |  |  |  |  |  |  ");
}

TEST(PrintLayout, LongestValueWidensItsColumnForEveryLineHeadingsIncluded) {
    test::TTestLanguage lang({{41, "Name"},
                              {46, "Datum"},
                              {44, "Alter"},
                              {47, "Nächstes Mal"},
                              {45, "Ereignis"},
                              {43, "E-Mail"},
                              {42, "Kommentar"}});
    const std::string long_name = "Maximiliane Müller-Lüdenscheidt";
    TReportRow with_remark = Row("Bo");
    with_remark[6] = "Kommentar, länger als die Überschrift";
    const TPrintLayout layout =
        LayoutPrint({Row("Al"), Row(long_name), with_remark}, test::D(5, 3, 2024), "6.3.2", 2000, 30);

    // Headings win where every value is shorter ("Nächstes Mal" counts its ä once), values where
    // one is longer.
    EXPECT_EQ(layout.ColumnWidths, (std::array<size_t, kReportColumns>{31, 10, 8, 12, 10, 6, 37}));
    ASSERT_EQ(layout.Pages.size(), 1u);
    const std::vector<TPrintLine>& lines = layout.Pages[0].Lines;
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_TRUE(lines[2].Heading);
    EXPECT_EQ(lines[2].Text,
              PrintTableLine({"Name", "Datum", "Alter", "Nächstes Mal", "Ereignis", "E-Mail", "Kommentar"},
                             layout.ColumnWidths));
    EXPECT_EQ(lines[3].Text,
              "Al                              | 01.02.1990 | 34 Jahre | in 5 Tagen   | Geburtstag | "
              "a@b.de |                                       ");
    // The first bar sits behind the long name on every table line.
    for (size_t i = 2; i < lines.size(); ++i) {
        EXPECT_EQ(Utf8Length(lines[i].Text.substr(0, lines[i].Text.find(" | "))), 31u) << lines[i].Text;
        EXPECT_EQ(lines[i].Heading, i == 2);
    }
}

TEST(PrintLayout, HeaderLineBlankLineAndHeadingsStartEveryPage) {
    test::TTestLanguage lang({{50, "Tagwacht %s - Liste vom %s - Seite %d"}});
    const TPrintLayout layout =
        LayoutPrint({Row("A"), Row("B"), Row("C"), Row("D")}, test::D(5, 3, 2024), "6.3.2", 389, 30);
    ASSERT_EQ(layout.Pages.size(), 2u);
    for (int page = 0; page < 2; ++page) {
        const std::vector<TPrintLine>& lines = layout.Pages[page].Lines;
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(layout.Pages[page].Number, page + 1);
        EXPECT_EQ(lines[0].Text, "Tagwacht 6.3.2 - Liste vom 05.03.2024 - Seite " + std::to_string(page + 1));
        EXPECT_FALSE(lines[0].Heading);
        EXPECT_EQ(lines[1].Text, "");
        EXPECT_TRUE(lines[2].Heading);
        EXPECT_EQ(lines[2].Text.substr(0, 3), "T41");
        for (int i = 0; i < 5; ++i) EXPECT_EQ(lines[i].Top, kPrintTop + 30 * i);
    }
    EXPECT_EQ(layout.Pages[1].Lines[3].Text.substr(0, 1), "C");
}

TEST(PrintLayout, NewPageWhenPositionIsMoreThanHeightLessReserve) {
    test::TTestLanguage lang;
    const std::vector<TReportRow> seven(7, Row("X"));
    // With line height 30 the rows start at 170, 200, 230, 260: a page of height 390 still takes
    // the row at 230 (not more than 390 - 160), one of 389 does not.
    const struct {
        int height;
        int line_height;
        std::vector<int> rows_per_page;
    } cases[] = {
        {390, 30, {3, 3, 1}},           {389, 30, {2, 2, 2, 1}}, {2970, 30, {7}},
        {0, 30, {1, 1, 1, 1, 1, 1, 1}},  // no room at all: one row per page, never a page without one
        {450, 45, {2, 2, 2, 1}},
    };
    for (const auto& c : cases) {
        const TPrintLayout layout = LayoutPrint(seven, test::D(1, 1, 2024), "6.3.2", c.height, c.line_height);
        EXPECT_EQ(RowsPerPage(layout), c.rows_per_page) << c.height << " " << c.line_height;
    }
}

TEST(PrintLayout, NoRowsGiveOneEmptyPage) {
    test::TTestLanguage lang;
    const TPrintLayout layout = LayoutPrint({}, test::D(1, 1, 2024), "6.3.2", 2970, 30);
    ASSERT_EQ(layout.Pages.size(), 1u);
    EXPECT_TRUE(layout.Pages[0].Lines.empty());
    EXPECT_EQ(layout.ColumnWidths[0], 3u);  // "T41"
}

}  // namespace
}  // namespace tw
