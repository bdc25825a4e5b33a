#include "core/importexport/csv_split.h"

#include <charconv>

#include "core/text/encoding.h"
#include "core/text/files.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

void EndField(std::vector<std::string>& fields, std::string_view collected, char separator, bool trim) {
    std::string_view field = trim ? TrimBlanks(collected) : collected;
    if (!field.empty() && field.front() == separator) field.remove_prefix(1);
    fields.emplace_back(field);
}

}  // namespace

std::optional<std::vector<TCsvField>> ParseCsvFields(std::string_view codes) {
    std::vector<TCsvField> fields;
    for (const std::string& part : SplitText(codes, ',')) {
        std::string_view code = TrimBlanks(part);
        int value = -1;
        auto [end, ec] = std::from_chars(code.data(), code.data() + code.size(), value);
        if (code.empty() || ec != std::errc() || end != code.data() + code.size() || value < 0 || value > 6)
            return std::nullopt;
        fields.push_back(static_cast<TCsvField>(value));
    }
    return fields;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string> SplitLine(std::string_view line, char separator, bool trim_fields,
                                   bool quote_aware) {
    std::vector<std::string> fields;
    std::string collected;
    bool inside_quotes = false;
    for (char c : line) {
        if (quote_aware && c == '"') {
            inside_quotes = !inside_quotes;
        } else if (c == separator && !inside_quotes) {
            EndField(fields, collected, separator, trim_fields);
            collected.clear();
        } else {
            collected += c;
        }
    }
    // Decided before trimming: trailing blanks after the last separator still give a field.
    if (!collected.empty()) EndField(fields, collected, separator, trim_fields);
    return fields;
}

std::vector<std::string> SplitImportLine(std::string_view line, char* used) {
    char separator = ';';
    std::vector<std::string> fields = SplitLine(line, separator, true, true);
    if (fields.size() < 2 && line.find(';') == std::string_view::npos) {
        separator = ',';
        fields = SplitLine(line, separator, true, true);
        if (fields.size() < 2 && line.find(',') == std::string_view::npos) {
            separator = ' ';
            fields = SplitLine(line, separator, true, true);
        }
    }
    if (used) *used = separator;
    return fields;
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

bool ReadImportText(const std::string& path, std::string* text, std::string* error) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes, error)) return false;
    if (bytes.find('\0') != std::string::npos) {
        if (error) *error = path + ": not a text file";
        return false;
    }
    std::string_view view = bytes;
    if (view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);
    *text = DecodeFileText(view);
    return true;
}

}  // namespace tw
