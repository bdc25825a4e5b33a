#include "core/text/date_text.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace tw {
namespace {

std::optional<int> ParseDecimal(std::string_view part) {
    // A leading sign is accepted the way the run-time's integer conversion accepts it.
    std::string_view digits = part;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

namespace {

// Two digits, or four for a year; the lists format a date for every row, so no printf here.
void AppendDigits(std::string& out, int value, int digits) {
    char buf[4];
    for (int k = digits - 1; k >= 0; --k) {
        buf[k] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(buf, static_cast<size_t>(digits));
}

void AppendDayMonth(std::string& out, const TCivilDate& c) {
    AppendDigits(out, c.Day, 2);
    out += '.';
    AppendDigits(out, c.Month, 2);
    out += '.';
}

}  // namespace

std::string DateToText(TDateTime date) {
    TCivilDate c = DecodeDate(date);
    if (c.Year < 0 || c.Year > 9999) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", c.Day, c.Month, c.Year);
        return buf;
    }
    std::string out;
    out.reserve(10);
    AppendDayMonth(out, c);
    AppendDigits(out, c.Year, 4);
    return out;
}

std::string DayMonthText(TDateTime date) {
    std::string out;
    out.reserve(6);
    AppendDayMonth(out, DecodeDate(date));
    return out;
}

std::string TimeToText(TDateTime time) {
    TTimeOfDay t = DecodeTime(time);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.Hour, t.Minute, t.Second);
    return buf;
}

std::optional<TDateTime> TextToDate(std::string_view text) {
    std::string_view day, month, year;
    int index = 0;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '.') continue;
        std::string_view part = text.substr(start, i - start);
        if (i < text.size()) {  // a "." closes the part
            if (index == 0) day = part;
            else if (index == 1) month = part;
            else year = part;
            ++index;
        } else if (index >= 1) {  // text after the last "." is the year
            year = part;
        } else {
            day = part;
        }
        start = i + 1;
    }
    auto d = ParseDecimal(day);
    auto m = ParseDecimal(month);
    std::optional<int> y = 0;
    // No year part at all is year 0, which means 9999.
    if (!year.empty()) y = ParseDecimal(year);
    if (!d || !m || !y) return std::nullopt;
    return EncodeDate(*y == 0 ? 9999 : *y, *m, *d);
}

std::optional<TDateTime> FixedTextToDate(std::string_view text) {
    auto field = [&](size_t pos, size_t len) -> std::optional<int> {
        if (pos >= text.size()) return std::nullopt;
        return ParseDecimal(text.substr(pos, len));
    };
    auto d = field(0, 2), m = field(3, 2), y = field(6, 4);
    if (!d || !m || !y) return std::nullopt;
    return EncodeDate(*y, *m, *d);
}

}  // namespace tw
