#pragma once

#include <map>
#include <string>
#include <vector>

namespace tw::test {

/// Standard output of a shell command; empty when it cannot be run.
std::string RunCommand(const std::string& command);

/// The pages of a PDF as pdftotext -layout reads them, each split into its non-blank lines with
/// leading and trailing blanks removed.
std::vector<std::vector<std::string>> PdfPages(const std::string& file);

/// "Key: value" lines of pdfinfo, values trimmed.
std::map<std::string, std::string> PdfInfo(const std::string& file);

/// The right end of the rightmost word on any page, and the page width, in points.
struct TTextExtent {
    double MaxRight = 0;
    double PageWidth = 0;
};
TTextExtent PdfTextExtent(const std::string& file);

/// Single-quoted for the shell.
std::string ShellQuote(const std::string& text);

}  // namespace tw::test
