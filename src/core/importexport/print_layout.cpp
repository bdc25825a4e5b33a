#include "core/importexport/print_layout.h"

#include <algorithm>

#include "core/languages/languages.h"
#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/text_helpers.h"

namespace tw {

std::string PrintTableLine(const TReportRow& texts, const std::array<size_t, kReportColumns>& widths) {
    std::string line;
    for (int column = 0; column < kReportColumns; ++column) {
        if (column > 0) line += " | ";
        line += PadRight(texts[column], ' ', widths[column]);
    }
    line += ' ';
    return line;
}

TPrintLayout LayoutPrint(const std::vector<TReportRow>& rows, TDateTime today,
                         const std::string& version_text, int printable_height, int line_height) {
    TPrintLayout layout;
    const TReportRow headings = ColumnHeadings();
    for (int column = 0; column < kReportColumns; ++column) {
        size_t width = Utf8Length(headings[column]);
        for (const TReportRow& row : rows) width = std::max(width, Utf8Length(row[column]));
        layout.ColumnWidths[column] = width;
    }
    const std::string heading_line = PrintTableLine(headings, layout.ColumnWidths);
    const std::string date_text = DateToText(today);
    const std::string header_pattern = GetText(50);

    layout.Pages.push_back(TPrintPage{1, {}});
    int top = kPrintTop;
    bool header_pending = true;
    auto draw = [&](std::string text, bool heading) {
        layout.Pages.back().Lines.push_back(TPrintLine{top, std::move(text), heading});
        top += line_height;
    };
    for (const TReportRow& row : rows) {
        // A page that holds nothing yet is never given up, even on a very short page.
        if (!layout.Pages.back().Lines.empty() && top > printable_height - kPrintBottomReserve) {
            layout.Pages.push_back(TPrintPage{layout.Pages.back().Number + 1, {}});
            top = kPrintTop;
            header_pending = true;
        }
        if (header_pending) {
            draw(Format(header_pattern,
                        {version_text, date_text, static_cast<long long>(layout.Pages.back().Number)}),
                 false);
            draw("", false);
            draw(heading_line, true);
            header_pending = false;
        }
        draw(PrintTableLine(row, layout.ColumnWidths), false);
    }
    return layout;
}

}  // namespace tw
