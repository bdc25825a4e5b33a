#include "core/importexport/vcard_parser.h"

#include <charconv>

#include "core/text/date_time.h"
#include "core/text/encoding.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (IsBlankChar(text.front()) || text.front() == '\r')) text.remove_prefix(1);
    while (!text.empty() && (IsBlankChar(text.back()) || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// Position of the first separator that is not inside double quotes (parameter values may be
// quoted and hold ":", ";" or ","), or npos.
size_t FindUnquoted(std::string_view text, char separator, size_t from = 0) {
    bool quoted = false;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted)
            return i;
    }
    return std::string_view::npos;
}

std::vector<std::string_view> SplitUnquoted(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t at; (at = FindUnquoted(text, separator, start)) != std::string_view::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string_view Unquote(std::string_view text) {
    text = Trim(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

// The property name of a content line (without its group), upper case, and its value; false for
// a line without ":".
bool SplitLine(std::string_view line, std::string& name, std::string_view& value) {
    size_t colon = FindUnquoted(line, ':');
    if (colon == std::string_view::npos) return false;
    std::string_view head = line.substr(0, colon);
    head = head.substr(0, head.find(';'));
    if (size_t dot = head.find('.'); dot != std::string_view::npos) head = head.substr(dot + 1);
    name = UpperAscii(Trim(head));
    value = line.substr(colon + 1);
    return true;
}

bool IsCardMarker(std::string_view name, std::string_view value, std::string_view marker) {
    return name == marker && SameTextAscii(Trim(value), "VCARD");
}

bool IsQuotedPrintableLine(std::string_view line) {
    size_t colon = FindUnquoted(line, ':');
    if (colon == std::string_view::npos) return false;
    return UpperAscii(line.substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
}

bool StartsWithEndMarker(std::string_view text) {
    std::string name;
    std::string_view value;
    std::string_view line = text.substr(0, text.find('\n'));
    return SplitLine(line, name, value) && IsCardMarker(name, value, "END");
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string DecodeQuotedPrintable(std::string_view value) {
    std::string bytes;
    bytes.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '=' && i + 2 < value.size()) {
            int high = HexValue(value[i + 1]), low = HexValue(value[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        // A soft line break that had nothing after it.
        if (value[i] == '=' && i + 1 == value.size()) break;
        bytes.push_back(value[i]);
    }
    return bytes;
}

std::string ToUtf8(std::string_view bytes, const std::optional<std::string>& charset) {
    if (charset) {
        std::string name = UpperAscii(*charset);
        if (name == "ISO-8859-1" || name == "ISO8859-1" || name == "LATIN1" || name == "WINDOWS-1252" ||
            name == "CP1252")
            return Cp1252ToUtf8(bytes);
    }
    return DecodeFileText(bytes);
}

bool IsEncodingName(std::string_view upper) {
    return upper == "QUOTED-PRINTABLE" || upper == "BASE64" || upper == "B" || upper == "8BIT" ||
           upper == "7BIT";
}

std::optional<TVCardProperty> ParseProperty(std::string_view line) {
    size_t colon = FindUnquoted(line, ':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::vector<std::string_view> parts = SplitUnquoted(line.substr(0, colon), ';');
    TVCardProperty property;
    std::string_view name = Trim(parts[0]);
    if (size_t dot = name.find('.'); dot != std::string_view::npos) {
        property.Group = std::string(name.substr(0, dot));
        name = name.substr(dot + 1);
    }
    property.Name = UpperAscii(name);
    if (property.Name.empty()) return std::nullopt;
    for (size_t i = 1; i < parts.size(); ++i) {
        std::string_view part = Trim(parts[i]);
        if (part.empty()) continue;
        size_t eq = part.find('=');
        if (eq == std::string_view::npos) {
            std::string upper = UpperAscii(part);
            property.Params.emplace_back(IsEncodingName(upper) ? "ENCODING" : "TYPE", std::string(part));
            continue;
        }
        std::string param = UpperAscii(Trim(part.substr(0, eq)));
        std::string_view value = part.substr(eq + 1);
        if (param == "TYPE") {
            for (std::string_view type : SplitUnquoted(Unquote(value), ','))
                if (!Trim(type).empty()) property.Params.emplace_back(param, std::string(Unquote(type)));
        } else {
            property.Params.emplace_back(param, std::string(Unquote(value)));
        }
    }
    std::string_view value = line.substr(colon + 1);
    std::string encoding = UpperAscii(property.Param("ENCODING").value_or(""));
    if (encoding == "BASE64" || encoding == "B")
        property.RawValue = std::string(value);
    else if (encoding == "QUOTED-PRINTABLE")
        property.RawValue = ToUtf8(DecodeQuotedPrintable(value), property.Param("CHARSET"));
    else
        property.RawValue = ToUtf8(value, property.Param("CHARSET"));
    return property;
}

void AppendUnescaped(std::string& out, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out.push_back(text[i]);
            continue;
        }
        char next = text[++i];
        if (next == 'n' || next == 'N')
            out.push_back('\n');
        else if (next == ',' || next == ';' || next == '\\' || next == ':')
            out.push_back(next);
        else
            out.append({'\\', next});  // not an escape: both characters stay
    }
}

bool ReadDigits(std::string_view text, size_t from, size_t count, int& value) {
    if (from + count > text.size()) return false;
    value = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

void AppendUtf16(std::string& out, std::string_view bytes, bool little_endian) {
    auto unit = [&](size_t i) {
        unsigned char a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(little_endian ? (b << 8 | a) : (a << 8 | b));
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? char32_t{0xFFFD} : c);
    }
}

}  // namespace

std::optional<std::string> TVCardProperty::Param(std::string_view name) const {
    for (const auto& [key, value] : Params)
        if (key == name) return value;
    return std::nullopt;
}

bool TVCardProperty::HasType(std::string_view type) const {
    for (const auto& [key, value] : Params)
        if (key == "TYPE" && SameTextAscii(value, type)) return true;
    return false;
}

std::string TVCardProperty::Text() const {
    std::string text;
    text.reserve(RawValue.size());
    AppendUnescaped(text, RawValue);
    return text;
}

std::vector<std::string> TVCardProperty::Components() const {
    std::vector<std::string> components(1);
    size_t start = 0;
    for (size_t i = 0; i < RawValue.size(); ++i) {
        if (RawValue[i] == '\\') {
            ++i;
        } else if (RawValue[i] == ';') {
            AppendUnescaped(components.back(), std::string_view(RawValue).substr(start, i - start));
            components.emplace_back();
            start = i + 1;
        }
    }
    AppendUnescaped(components.back(), std::string_view(RawValue).substr(start));
    return components;
}

const TVCardProperty* TVCard::Find(std::string_view name) const {
    for (const TVCardProperty& property : Properties)
        if (property.Name == name) return &property;
    return nullptr;
}

bool TVCardReader::NextPhysicalLine(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    return true;
}

bool TVCardReader::NextLogicalLine(std::string& line, bool fold_keeps_blank) {
    std::string_view physical;
    if (!NextPhysicalLine(physical)) return false;
    line.assign(physical);
    while (pos_ < text_.size()) {
        // A quoted-printable soft line break: the "=" goes, the next line follows as it is.
        if (!line.empty() && line.back() == '=' && IsQuotedPrintableLine(line) &&
            !StartsWithEndMarker(text_.substr(pos_))) {
            NextPhysicalLine(physical);
            line.pop_back();
            line.append(physical);
        } else if (IsBlankChar(text_[pos_])) {
            NextPhysicalLine(physical);
            line.append(fold_keeps_blank ? physical : physical.substr(1));
        } else {
            break;
        }
    }
    return true;
}

bool TVCardReader::Next(TVCard& card) {
    card = TVCard{};
    bool in_card = pending_begin_;
    pending_begin_ = false;
    int depth = in_card ? 1 : 0;
    bool after_agent = false;
    std::string line, name;
    std::string_view value;
    while (NextLogicalLine(line, in_card && card.Version == "2.1")) {
        if (!SplitLine(line, name, value)) continue;
        if (!in_card) {
            if (IsCardMarker(name, value, "BEGIN")) in_card = true, depth = 1;
            continue;
        }
        bool agent_before = after_agent;
        after_agent = name == "AGENT" && Trim(value).empty();
        if (IsCardMarker(name, value, "BEGIN")) {
            // A 2.1 agent is a card inside the card; any other BEGIN means the card before it
            // was cut off, and the new card must not vanish inside it.
            if (depth == 1 && !agent_before) {
                pending_begin_ = true;
                return true;
            }
            ++depth;
            continue;
        }
        if (IsCardMarker(name, value, "END")) {
            if (--depth == 0) {
                card.Complete = true;
                return true;
            }
            continue;
        }
        if (depth > 1) continue;
        std::optional<TVCardProperty> property = ParseProperty(line);
        if (!property) continue;
        if (property->Name == "VERSION") card.Version = std::string(Trim(property->RawValue));
        card.Properties.push_back(std::move(*property));
    }
    return in_card;
}

size_t TVCardReader::CountCards(std::string_view text) {
    TVCardReader reader(text);
    size_t count = 0;
    bool in_card = false, after_agent = false;
    int depth = 0;
    std::string name;
    std::string_view value, line;
    // The same card boundaries as Next, without building the properties.
    while (reader.NextPhysicalLine(line)) {
        if (line.empty() || IsBlankChar(line.front()) || !SplitLine(line, name, value)) continue;
        bool begin = IsCardMarker(name, value, "BEGIN");
        bool agent_before = in_card && after_agent;
        after_agent = name == "AGENT" && Trim(value).empty();
        if (begin && (!in_card || (depth == 1 && !agent_before))) {
            ++count;
            in_card = true;
            depth = 1;
        } else if (begin) {
            ++depth;
        } else if (in_card && IsCardMarker(name, value, "END")) {
            in_card = --depth > 0;
        }
    }
    return count;
}

std::string DecodeVCardFile(std::string bytes) {
    auto starts = [&](std::string_view prefix) {
        return std::string_view(bytes).substr(0, prefix.size()) == prefix;
    };
    if (starts("\xEF\xBB\xBF")) return bytes.substr(3);
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        std::string text;
        AppendUtf16(text, std::string_view(bytes).substr(2), bytes[0] == '\xFF');
        return text;
    }
    return bytes;
}

std::vector<TVCard> ParseVCards(std::string_view text) {
    std::vector<TVCard> cards;
    TVCardReader reader(text);
    for (TVCard card; reader.Next(card);) cards.push_back(std::move(card));
    return cards;
}

std::optional<TVCardDate> ParseVCardDate(std::string_view value) {
    value = Trim(value);
    TVCardDate date;
    size_t end;
    if (value.substr(0, 2) == "--") {
        bool dashed = value.size() > 4 && value[4] == '-';
        if (!ReadDigits(value, 2, 2, date.Month) || !ReadDigits(value, dashed ? 5 : 4, 2, date.Day))
            return std::nullopt;
        end = dashed ? 7 : 6;
    } else {
        bool dashed = value.size() > 4 && value[4] == '-';
        if (!ReadDigits(value, 0, 4, date.Year) || !ReadDigits(value, dashed ? 5 : 4, 2, date.Month) ||
            !ReadDigits(value, dashed ? 8 : 6, 2, date.Day) || (dashed && value[7] != '-'))
            return std::nullopt;
        end = dashed ? 10 : 8;
    }
    // A time may follow; the date is taken as written.
    if (end < value.size() && value[end] != 'T' && value[end] != 't' && value[end] != ' ')
        return std::nullopt;
    if (date.Month < 1 || date.Month > 12 || date.Day < 1) return std::nullopt;
    // Without a year, 29 February is a birthday like any other.
    if (date.Day > DaysInMonth(date.Year == 0 ? 2000 : date.Year, date.Month)) return std::nullopt;
    return date;
}

std::optional<TVCardDate> VCardBirthday(const TVCardProperty& bday) {
    if (SameTextAscii(bday.Param("VALUE").value_or(""), "text")) return std::nullopt;
    std::optional<TVCardDate> date = ParseVCardDate(bday.Text());
    if (!date) return std::nullopt;
    if (std::optional<std::string> omit = bday.Param("X-APPLE-OMIT-YEAR")) {
        int year = 0;
        auto [end, ec] = std::from_chars(omit->data(), omit->data() + omit->size(), year);
        if (ec == std::errc() && end == omit->data() + omit->size() && year == date->Year) date->Year = 0;
    }
    return date;
}

}  // namespace tw
