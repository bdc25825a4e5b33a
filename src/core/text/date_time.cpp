#include "core/text/date_time.h"

#include <cmath>

namespace tw {
namespace {

// Day number of 30 December 1899 counted from 1 March of year 0, the epoch of the
// civil-from-days conversion below.
constexpr long long kEpochShift = 693899;

long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe);
}

TCivilDate CivilFromDays(long long z) {
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<TDateTime> EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return static_cast<TDateTime>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                                  kEpochShift);
}

std::optional<TDateTime> EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return std::nullopt;
    return ((hour * 3600.0 + minute * 60.0 + second) * 1000.0 + millisecond) / 86400000.0;
}

long long DayNumber(TDateTime value) { return static_cast<long long>(std::trunc(value)); }

TCivilDate DecodeDate(TDateTime value) { return CivilFromDays(DayNumber(value) + kEpochShift); }

TTimeOfDay DecodeTime(TDateTime value) {
    double fraction = std::fabs(value - std::trunc(value));
    long long ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    TTimeOfDay t;
    t.Hour = static_cast<int>(ms / 3600000);
    t.Minute = static_cast<int>(ms / 60000 % 60);
    t.Second = static_cast<int>(ms / 1000 % 60);
    t.Millisecond = static_cast<int>(ms % 1000);
    return t;
}

int DayOfTheWeek(TDateTime value) {
    // Day 0 (30 December 1899) was a Saturday.
    long long r = (DayNumber(value) + 5) % 7;
    if (r < 0) r += 7;
    return static_cast<int>(r) + 1;
}

std::optional<TDateTime> AddYears(TDateTime date, int years) {
    TCivilDate c = DecodeDate(date);
    return EncodeDate(c.Year + years, c.Month, c.Day);
}

}  // namespace tw
