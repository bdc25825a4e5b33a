#include "report/pdf_info.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "core/text/encoding.h"

namespace tw {
namespace {

bool IsPdfSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }

// The whole number that starts after optional white space at pos; end receives where it stops.
std::optional<long long> NumberAt(std::string_view text, size_t pos, size_t* end = nullptr) {
    while (pos < text.size() && IsPdfSpace(text[pos])) ++pos;
    long long value = 0;
    auto [stop, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
    if (ec != std::errc() || value < 0) return std::nullopt;
    if (end) *end = static_cast<size_t>(stop - text.data());
    return value;
}

// "n g R" after a key of the trailer dictionary.
std::optional<std::pair<long long, long long>> ReferenceAfter(std::string_view dict, std::string_view key) {
    size_t at = dict.find(key);
    if (at == std::string_view::npos) return std::nullopt;
    size_t end = 0;
    auto number = NumberAt(dict, at + key.size(), &end);
    if (!number) return std::nullopt;
    auto generation = NumberAt(dict, end, &end);
    if (!generation) return std::nullopt;
    while (end < dict.size() && IsPdfSpace(dict[end])) ++end;
    if (end >= dict.size() || dict[end] != 'R') return std::nullopt;
    return std::make_pair(*number, *generation);
}

// A PDF text string: a literal for plain ASCII, else UTF-16BE with byte-order mark in hex.
std::string PdfString(const std::string& text) {
    bool ascii = true;
    for (unsigned char c : text)
        if (c >= 0x80 || c < 0x20) ascii = false;
    if (ascii) {
        std::string out = "(";
        for (char c : text) {
            if (c == '(' || c == ')' || c == '\\') out += '\\';
            out += c;
        }
        return out + ")";
    }
    std::string out = "<FEFF";
    char hex[8];
    for (char32_t cp : DecodeUtf8(text).value_or(U"?")) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(0xD800 + (cp >> 10)));
            out += hex;
            cp = 0xDC00 + (cp & 0x3FF);
        }
        std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(cp));
        out += hex;
    }
    return out + ">";
}

// The creation date of the old information object, "(D:...)", or empty.
std::string OldCreationDate(std::string_view pdf, std::pair<long long, long long> info) {
    std::string head = std::to_string(info.first) + " " + std::to_string(info.second) + " obj";
    size_t at = pdf.find(head);
    while (at != std::string_view::npos && at > 0 && !IsPdfSpace(pdf[at - 1])) at = pdf.find(head, at + 1);
    if (at == std::string_view::npos) return "";
    size_t end = pdf.find("endobj", at);
    size_t key = pdf.find("/CreationDate", at);
    if (end == std::string_view::npos || key == std::string_view::npos || key > end) return "";
    size_t open = pdf.find('(', key);
    size_t close = pdf.find(')', open);
    if (open == std::string_view::npos || close == std::string_view::npos || close > end) return "";
    return std::string(pdf.substr(open, close - open + 1));
}

}  // namespace

bool ReplacePdfInfo(std::string& pdf, const TPdfInfo& info) {
    std::string_view all(pdf);
    size_t startxref = all.rfind("startxref");
    if (startxref == std::string_view::npos) return false;
    auto previous_xref = NumberAt(all, startxref + 9);
    size_t trailer = all.rfind("trailer", startxref);
    if (!previous_xref || trailer == std::string_view::npos) return false;
    std::string_view dict = all.substr(trailer, startxref - trailer);
    size_t size_key = dict.find("/Size");
    auto size = size_key == std::string_view::npos ? std::nullopt : NumberAt(dict, size_key + 5);
    auto root = ReferenceAfter(dict, "/Root");
    if (!size || *size <= 0 || !root) return false;

    std::string creation_date;
    if (auto old_info = ReferenceAfter(dict, "/Info")) creation_date = OldCreationDate(all, *old_info);
    std::string id;
    if (size_t id_key = dict.find("/ID"); id_key != std::string_view::npos) {
        size_t open = dict.find('[', id_key);
        size_t close = dict.find(']', open);
        if (open != std::string_view::npos && close != std::string_view::npos)
            id = std::string(dict.substr(open, close - open + 1));
    }

    std::string update;
    if (pdf.empty() || pdf.back() != '\n') update += '\n';
    const size_t object_offset = pdf.size() + update.size();
    const long long object = *size;
    update += std::to_string(object) + " 0 obj\n<<\n";
    update += "/Title " + PdfString(info.Title) + "\n";
    update += "/Author " + PdfString(info.Author) + "\n";
    update += "/Subject " + PdfString(info.Subject) + "\n";
    update += "/Creator " + PdfString(info.Creator) + "\n";
    update += "/Producer " + PdfString(info.Producer) + "\n";
    if (!creation_date.empty()) update += "/CreationDate " + creation_date + "\n";
    update += ">>\nendobj\n";
    const size_t xref_offset = pdf.size() + update.size();
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", object_offset);
    update += "xref\n" + std::to_string(object) + " 1\n" + entry;
    update += "trailer\n<< /Size " + std::to_string(object + 1) + " /Root " + std::to_string(root->first) +
              " " + std::to_string(root->second) + " R /Info " + std::to_string(object) + " 0 R /Prev " +
              std::to_string(*previous_xref);
    if (!id.empty()) update += " /ID " + id;
    update += " >>\nstartxref\n" + std::to_string(xref_offset) + "\n%%EOF\n";
    pdf += update;
    return true;
}

}  // namespace tw
