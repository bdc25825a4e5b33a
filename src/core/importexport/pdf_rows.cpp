#include "core/importexport/pdf_rows.h"

#include "core/languages/languages.h"
#include "core/text/clock.h"
#include "core/text/date_text.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

TReportRow& StoredPdfHeadings() {
    static TReportRow headings;
    return headings;
}

bool AllEmpty(const TReportRow& row) {
    for (const std::string& text : row)
        if (!text.empty()) return false;
    return true;
}

}  // namespace

TReportRow ReportRow(const TTWEntry& entry) {
    return {entry.Name,       DateToText(entry.Date), entry.AgeText(),
            entry.NextText(), entry.EventText(),      entry.EMail,
            entry.Remark};
}

std::vector<TReportRow> ReportRows(const TTWEntries& entries, const std::vector<int>& ids) {
    TFrozenNow one_moment;
    std::vector<TReportRow> rows;
    rows.reserve(ids.size());
    for (int id : ids) {
        // A list item whose entry is gone would otherwise show another entry's data or crash;
        // it is left out instead.
        if (const TTWEntry* entry = entries.FindId(id)) rows.push_back(ReportRow(*entry));
    }
    return rows;
}

TReportRow ColumnHeadings() {
    return {GetText(41), GetText(46), GetText(44), GetText(47), GetText(45), GetText(43), GetText(42)};
}

const TReportRow& PdfHeadings() {
    TReportRow& headings = StoredPdfHeadings();
    if (AllEmpty(headings)) headings = ColumnHeadings();
    return headings;
}

void ResetPdfHeadings() { StoredPdfHeadings() = TReportRow{}; }

std::string WithPdfExtension(std::string_view file_name) {
    size_t slash = file_name.rfind('/');
    size_t dot = file_name.rfind('.');
    bool has_dot = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    std::string name(file_name);
    if (has_dot && LowerAscii(file_name.substr(dot)) == ".pdf") return name;
    return name + ".pdf";
}

}  // namespace tw
