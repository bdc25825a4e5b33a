#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw {

class TCoreSession;

/// The file name the HTML export writes: the name itself when its extension is ".htm" or
/// ".html" in any case, else the name with ".html" appended.
std::string HtmlFileName(std::string_view file_name);

/// Writes the entry list as a web page (UTF-8, declared in the page, CR LF after every line):
/// a title line with today's weekday and date, a table with the columns Name, Date, Age, Next
/// time, Event, E-mail and Remark (texts 41, 46, 44, 47, 45, 43, 42) and one row per id, in the
/// order given (the main list's display order), alternately shaded, and a footer naming the
/// program. Every value is escaped. The file (named by HtmlFileName) is replaced in one step.
/// False with the error text when an id is not in session.Entries or the file cannot be
/// written; nothing is written then.
bool ExportHTML(TCoreSession& session, const std::string& file_name, const std::vector<int>& ids,
                std::string* error = nullptr);

}  // namespace tw
