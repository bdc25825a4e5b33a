#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/app/core_session.h"
#include "core/importexport/pdf_rows.h"

namespace tw {

/// One row of the PDF report: the seven column texts in column order
/// (name, date, age, next time, event, e-mail, remark).
using TPdfTab = TReportRow;

/// The rows of one PDF report, in the order the main list shows them.
class TPdfTabs {
  public:
    void AddRow(std::string name, std::string date, std::string age, std::string next, std::string event,
                std::string email, std::string remark);
    void AddRow(TPdfTab row) { rows_.push_back(std::move(row)); }
    const std::vector<TPdfTab>& Rows() const { return rows_; }

  private:
    std::vector<TPdfTab> rows_;
};

/// Font family of the PDF report (package fonts-dejavu-core); the PDF embeds it.
inline constexpr const char* kPdfFontFamily = "DejaVu Sans";

/// Makes sure a QGuiApplication exists, which fonts and QPdfWriter need. Creates one on the
/// off-screen platform when there is no application object at all (the command-line front end);
/// it lives until the process ends. False when a non-GUI QCoreApplication is already running.
bool EnsureGuiApplication();

/// Writes the rows as a landscape PDF report (A4) to file_name: the title "Tagwacht - Export",
/// the PDF headings (PdfHeadings) and the rows under seven tab stops, 48 rows on the first page
/// and 50 on each further page below repeated headings. A text wider than its tab is cut with
/// an ellipsis. Document information: Creator and Author and Producer "Tagwacht", Subject
/// "Tagwacht - Export", Title empty. The file is replaced only when the whole document was
/// written. False on any failure (no QGuiApplication, unwritable path, full disk).
bool RenderPdfReport(const std::string& file_name, const TPdfTabs& rows);

/// The PDF export of the main list: one row per id, in display order, each showing the
/// collection's entry with that id (ids no longer present are left out). ".pdf" is appended
/// to file_name unless its extension already is ".pdf" in any case (WithPdfExtension). The
/// headings come from the language current at the first PDF export of the program run. True
/// when the file was written. Needs a QGuiApplication (EnsureGuiApplication).
bool ExportPDF(TCoreSession& session, const std::string& file_name,
               const std::vector<int>& ids_in_display_order);

}  // namespace tw
