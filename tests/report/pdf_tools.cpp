#include "report/pdf_tools.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tw::test {
namespace {

std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

}  // namespace

std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    pclose(pipe);
    return out;
}

std::vector<std::vector<std::string>> PdfPages(const std::string& file) {
    std::string text = RunCommand("pdftotext -layout -enc UTF-8 " + ShellQuote(file) + " - 2>/dev/null");
    std::vector<std::vector<std::string>> pages;
    std::istringstream all(text);
    std::string page;
    // pdftotext ends every page with a form feed.
    while (std::getline(all, page, '\f')) {
        std::vector<std::string> lines;
        std::istringstream in(page);
        std::string line;
        while (std::getline(in, line))
            if (!Trim(line).empty()) lines.push_back(Trim(line));
        pages.push_back(std::move(lines));
    }
    return pages;
}

std::map<std::string, std::string> PdfInfo(const std::string& file) {
    std::map<std::string, std::string> info;
    std::istringstream in(RunCommand("pdfinfo " + ShellQuote(file) + " 2>/dev/null"));
    std::string line;
    while (std::getline(in, line)) {
        size_t colon = line.find(':');
        if (colon != std::string::npos) info[line.substr(0, colon)] = Trim(line.substr(colon + 1));
    }
    return info;
}

TTextExtent PdfTextExtent(const std::string& file) {
    TTextExtent extent;
    const std::string boxes = RunCommand("pdftotext -bbox " + ShellQuote(file) + " - 2>/dev/null");
    auto values = [&](const std::string& key, double& largest) {
        for (size_t at = boxes.find(key); at != std::string::npos; at = boxes.find(key, at + 1))
            largest = std::max(largest, std::strtod(boxes.c_str() + at + key.size(), nullptr));
    };
    values(" xMax=\"", extent.MaxRight);
    values("<page width=\"", extent.PageWidth);
    return extent;
}

}  // namespace tw::test

// Fontconfig keeps a small cache from the first font look-up until the process ends; the leak
// checker of sanitizer builds would count it against every report test run.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
