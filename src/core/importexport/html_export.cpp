#include "core/importexport/html_export.h"

#include "core/app/core_session.h"
#include "core/entries/entry.h"
#include "core/languages/languages.h"
#include "core/net/site_url.h"
#include "core/text/clock.h"
#include "core/text/count_text.h"
#include "core/text/date_text.h"
#include "core/text/files.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

constexpr const char* kHead[] = {
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">",
    "<html>",
    "  <head>",
    "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">",
    "    <title>Tagwacht - Export</title>",
    "    <style type=\"text/css\">",
    "      body,table",
    "        {",
    "          font-family: Tahoma,Arial,Verdana,Sans-Serif;",
    "          color: #000000;",
    "          font-size: 8pt;",
    "          background-color: #FFFFFF;",
    "        }",
    "      a,a:active,a:link,a:hover,a:visited",
    "        {",
    "          color: #0000FF;",
    "          text-decoration: none;",
    "        }",
    "      a:hover",
    "        {",
    "          text-decoration: underline;",
    "        }",
    "    </style>",
    "  </head>",
    "  <body>",
    "    <div style=\"text-align: center\"><center>",
    "      <span style=\"text-decoration: underline\">",
};

// Column headings in page order: Name, Date, Age, Next time, Event, E-mail, Remark.
constexpr int kHeadingTexts[] = {41, 46, 44, 47, 45, 43, 42};

constexpr const char* kCellIndent = "            ";
constexpr const char* kCellEnd = "          </td>";

class TLineWriter {
  public:
    explicit TLineWriter(TAtomicFile& file) : file_(file) {}
    void Line(std::string_view text) {
        file_.Write(text);
        file_.Write("\r\n");
    }
    void Cell(std::string_view open, std::string_view value) {
        Line(open);
        file_.Write(kCellIndent);
        Line(HtmlEscape(value));
        Line(kCellEnd);
    }

  private:
    TAtomicFile& file_;
};

}  // namespace

std::string HtmlFileName(std::string_view file_name) {
    std::string_view base = file_name.substr(file_name.rfind('/') + 1);
    size_t dot = base.rfind('.');
    std::string extension = dot == std::string_view::npos ? "" : LowerAscii(base.substr(dot));
    std::string name(file_name);
    if (extension != ".htm" && extension != ".html") name += ".html";
    return name;
}

bool ExportHTML(TCoreSession& session, const std::string& file_name, const std::vector<int>& ids,
                std::string* error) {
    // One moment for the title and every age and day count, even across midnight.
    TFrozenNow now;
    const std::string path = HtmlFileName(file_name);
    TAtomicFile file;
    if (!file.Begin(path, error)) return false;
    TLineWriter out(file);

    for (const char* line : kHead) out.Line(line);
    TDateTime today = Today();
    out.Line("        " + HtmlEscape(GetText(116) + " " + WeekdayText(today) + ", " + DateToText(today)));
    out.Line("      </span>");
    out.Line("      <br><br>");
    out.Line("      <table style=\"border: none;width: 95%\">");
    out.Line("        <tr>");
    for (int text : kHeadingTexts)
        out.Cell(
            "          <td style=\"border: 1px dotted black; font-weight: bold; text-align: center; "
            "background-color: #BFBFBF\">",
            GetText(text));
    out.Line("        </tr>");

    bool shaded = true;
    for (int id : ids) {
        const TTWEntry* entry = session.Entries.FindId(id);
        if (!entry) {
            // The list names an entry the collection no longer holds; a page with a wrong or
            // missing row would look complete, so nothing is written.
            if (error) *error = "No entry with the id " + std::to_string(id);
            return false;
        }
        const std::string open = std::string("          <td style=\"background-color: ") +
                                 (shaded ? "#E4E4E4" : "#FFFFFF") + "\">";
        out.Line("        <tr>");
        for (const std::string& value : {entry->Name, DateToText(entry->Date), entry->AgeText(),
                                         entry->NextText(), entry->EventText(), entry->EMail, entry->Remark})
            out.Cell(open, value);
        out.Line("        </tr>");
        shaded = !shaded;
    }

    out.Line("      </table>");
    out.Line("      <br>");
    out.Line("      <span style=\"font-size: 7pt\">");
    out.Line("        <a href=\"" + HtmlEscape(SiteUrl()) + "\">Tagwacht " + VersionText() + "</a>");
    out.Line("      </span>");
    out.Line("    </center></div>");
    out.Line("  </body>");
    out.Line("</html>");
    return file.Commit(error);
}

}  // namespace tw
