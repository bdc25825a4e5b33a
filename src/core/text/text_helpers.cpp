#include "core/text/text_helpers.h"

#include <charconv>

#include "core/text/encoding.h"

namespace tw {
namespace {

bool IsAsciiAlnum(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Matches the e-mail pattern from token position p on text position t. Tokens: 'A' one letter
// or digit, '*' any run, or a literal character.
bool MatchGlob(std::string_view pattern, size_t p, std::string_view text, size_t t) {
    while (p < pattern.size()) {
        char token = pattern[p];
        if (token == '*') {
            for (size_t k = t; k <= text.size(); ++k)
                if (MatchGlob(pattern, p + 1, text, k)) return true;
            return false;
        }
        if (t >= text.size()) return false;
        if (token == 'A' ? !IsAsciiAlnum(text[t]) : text[t] != token) return false;
        ++p;
        ++t;
    }
    return t == text.size();
}

}  // namespace

std::string PadRight(std::string_view text, char fill, size_t width) {
    std::string out(text);
    size_t length = Utf8Length(text);
    if (length < width) out.append(width - length, fill);
    return out;
}

bool IsValidEMail(std::string_view text) {
    // Each part of the pattern starts and ends with a letter or digit, so runs of "*" never
    // need to look far back; the text is at most a few hundred characters.
    static constexpr std::string_view kPattern = "A*A@A*A.A*";
    return MatchGlob(kPattern, 0, text, 0);
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i])) return false;
    return true;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerChar(c);
    return out;
}

std::string IntToStr(long long value) { return std::to_string(value); }

std::optional<std::string> TryFormat(std::string_view pattern, const std::vector<TFormatArg>& args) {
    std::string out;
    size_t next_arg = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= pattern.size()) return std::nullopt;
        if (pattern[i] == '%') {
            out += '%';
            continue;
        }
        auto read_number = [&]() -> std::optional<size_t> {
            size_t start = i;
            while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') ++i;
            if (i == start) return std::nullopt;
            size_t value = 0;
            std::from_chars(pattern.data() + start, pattern.data() + i, value);
            return value;
        };
        auto number = read_number();
        if (number && i < pattern.size() && pattern[i] == ':') {
            next_arg = *number;
            ++i;
            number.reset();
        }
        bool left = false;
        if (!number && i < pattern.size() && pattern[i] == '-') {
            left = true;
            ++i;
        }
        size_t width = number ? *number : read_number().value_or(0);
        std::optional<size_t> precision;
        if (i < pattern.size() && pattern[i] == '.') {
            ++i;
            precision = read_number().value_or(0);
        }
        if (i >= pattern.size() || next_arg >= args.size()) return std::nullopt;
        const TFormatArg& arg = args[next_arg++];
        std::string field;
        switch (LowerChar(pattern[i])) {
            case 's':
                if (!std::holds_alternative<std::string>(arg)) return std::nullopt;
                field = std::get<std::string>(arg);
                if (precision) field = std::string(Utf8Left(field, *precision));
                break;
            case 'd':
            case 'u': {
                if (!std::holds_alternative<long long>(arg)) return std::nullopt;
                long long v = std::get<long long>(arg);
                field = std::to_string(v < 0 ? -v : v);
                if (precision && field.size() < *precision) field.insert(0, *precision - field.size(), '0');
                if (v < 0) field.insert(0, 1, '-');
                break;
            }
            case 'x': {
                if (!std::holds_alternative<long long>(arg)) return std::nullopt;
                char buf[32];
                auto res = std::to_chars(buf, buf + sizeof buf, static_cast<unsigned long long>(std::get<long long>(arg)), 16);
                field.assign(buf, res.ptr);
                for (char& ch : field) ch = static_cast<char>(ch >= 'a' ? ch - 'a' + 'A' : ch);
                if (precision && field.size() < *precision) field.insert(0, *precision - field.size(), '0');
                break;
            }
            default:
                return std::nullopt;
        }
        size_t length = Utf8Length(field);
        if (length < width) {
            if (left) field.append(width - length, ' ');
            else field.insert(0, width - length, ' ');
        }
        out += field;
    }
    return out;
}

std::string Format(std::string_view pattern, const std::vector<TFormatArg>& args) {
    auto result = TryFormat(pattern, args);
    return result ? *result : std::string(pattern);
}

std::string HtmlEscape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped.push_back(c);
        }
    }
    return escaped;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    size_t pos = 0;
    while (true) {
        size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(text, pos, hit - pos);
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::vector<std::string> SplitText(std::string_view text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t hit = text.find(separator, start);
        if (hit == std::string_view::npos) break;
        parts.emplace_back(text.substr(start, hit - start));
        start = hit + 1;
    }
    parts.emplace_back(text.substr(start));
    return parts;
}

}  // namespace tw
