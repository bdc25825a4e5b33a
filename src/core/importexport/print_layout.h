#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/importexport/pdf_rows.h"
#include "core/text/date_time.h"

namespace tw {

// The printed list is laid out in units of 0.1 mm from the top left corner of the printer's
// printable area.

/// Distance of every line from the left edge of the printable area.
inline constexpr int kPrintLeft = 80;
/// Where the first line of each page starts.
inline constexpr int kPrintTop = 80;
/// A new page starts when the position is more than the printable height minus this.
inline constexpr int kPrintBottomReserve = 160;
/// Character cell height of the fixed-pitch print font (3.0 mm).
inline constexpr int kPrintCellHeight = 30;

/// One text line of a printed page.
struct TPrintLine {
    int Top = 0;           ///< top of the line, in 0.1 mm from the top of the printable area
    std::string Text;      ///< may be empty (the blank line under the page header)
    bool Heading = false;  ///< the column headings: drawn bold and underlined, else regular
};

/// One printed page; Number counts from 1.
struct TPrintPage {
    int Number = 1;
    std::vector<TPrintLine> Lines;
};

/// The whole printout: the column widths in characters and the pages in order. There is always
/// at least one page; without rows it holds no lines.
struct TPrintLayout {
    std::array<size_t, kReportColumns> ColumnWidths{};
    std::vector<TPrintPage> Pages;
};

/// One line of the table: each text padded with blanks to its column width (in characters), the
/// seven joined by " | ", and one blank at the end.
std::string PrintTableLine(const TReportRow& texts, const std::array<size_t, kReportColumns>& widths);

/// Lays the rows out on pages. Column widths are the headings' lengths (texts 41, 46, 44, 47,
/// 45, 43, 42 of the current language), raised to the longest value of each column. Each page
/// that gets a row starts with the header line (format text 50 filled with version_text,
/// DateToText(today) and the page number), a blank line and the heading line. A row starts a new
/// page when the position is more than printable_height - kPrintBottomReserve from the top
/// (never when the current page holds nothing yet, so a tiny page still gets one row each).
/// Every line, the blank one included, moves the position down by line_height (all in 0.1 mm).
TPrintLayout LayoutPrint(const std::vector<TReportRow>& rows, TDateTime today,
                         const std::string& version_text, int printable_height, int line_height);

}  // namespace tw
