#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/entries/entries.h"

namespace tw {

/// Number of columns of the printed list and the PDF report.
inline constexpr int kReportColumns = 7;

/// One row of the printed list or the PDF report: name, date, age, next time, event, e-mail,
/// remark, in this order.
using TReportRow = std::array<std::string, kReportColumns>;

/// The seven column values of an entry: Name, the date as dd.mm.yyyy, AgeText, NextText,
/// EventText (texts 83/84 or UserEvent), EMail, Remark. Age and next time are computed for now.
TReportRow ReportRow(const TTWEntry& entry);

/// One row per id, in the given (display) order, each showing the entry that holds that id in
/// the collection. An id the collection no longer holds gives no row. All rows are computed for
/// one moment, even when midnight passes meanwhile.
std::vector<TReportRow> ReportRows(const TTWEntries& entries, const std::vector<int>& ids);

/// The column headings in the current language: texts 41, 46, 44, 47, 45, 43, 42.
TReportRow ColumnHeadings();

/// The headings of the PDF report. They are taken from the current language the first time a
/// report needs them in a program run and kept afterwards, so a later change of language does
/// not change them.
const TReportRow& PdfHeadings();

/// Empties the PDF headings, as at the start of a program run; the next PdfHeadings fills them.
void ResetPdfHeadings();

/// The file name a PDF export writes: the name itself when its extension (after the last "."
/// of the last path component) is ".pdf" in any case of A–Z, else the name with ".pdf" added.
std::string WithPdfExtension(std::string_view file_name);

}  // namespace tw
