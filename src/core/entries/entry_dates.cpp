#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/entries/entry.h"
#include "core/languages/languages.h"
#include "core/text/clock.h"
#include "core/text/date_text.h"
#include "core/text/text_helpers.h"

// Each operation reads the clock once and hands that one *now* to the helpers below, so a call
// that runs across midnight still agrees with itself.

namespace tw {
namespace {

constexpr double kDaysPerYear = 365.25;

TDateTime MidnightOf(TDateTime now) { return std::trunc(now); }

long long WholeDaysBetween(TDateTime a, TDateTime b) { return static_cast<long long>(std::fabs(a - b)); }

long long WholeYearsBetween(TDateTime a, TDateTime b) {
    return static_cast<long long>(std::fabs(a - b) / kDaysPerYear);
}

bool IsUnknownYear(TDateTime date) { return DecodeDate(date).Year == kUnknownYear; }

// The occurrence of the entry's day and month in a year. 29 February is always kept on 28 February,
// also in leap years, so a common year never skips the reminder.
TDateTime CandidateIn(const TTWEntry& entry, int year) {
    std::string day_month = DayMonthText(entry.Date);
    if (day_month == "29.02.") day_month = "28.02.";
    char year_text[16];
    std::snprintf(year_text, sizeof year_text, "%04d", year);
    return FixedTextToDate(day_month + year_text).value_or(MidnightOf(entry.Date));
}

// Same day and month in another year; outside the years 1..9999 the date has to stay.
TDateTime ShiftYears(TDateTime date, int years) { return AddYears(date, years).value_or(date); }

TDateTime NextDateAt(const TTWEntry& entry, TDateTime today) {
    TDateTime candidate = CandidateIn(entry, DecodeDate(today).Year);
    return today > candidate ? ShiftYears(candidate, 1) : candidate;
}

TDateTime LastDateAt(const TTWEntry& entry, TDateTime today) {
    TDateTime candidate = CandidateIn(entry, DecodeDate(today).Year);
    return today < candidate ? ShiftYears(candidate, -1) : candidate;
}

int AgeAt(const TTWEntry& entry, TDateTime now) {
    if (IsUnknownYear(entry.Date)) return -1;
    long long years = WholeYearsBetween(MidnightOf(now), entry.Date);
    TCivilDate born = DecodeDate(entry.Date);
    TCivilDate current = DecodeDate(now);
    // On the anniversary the 365.25-day year can fall short by one; the new age counts from the
    // day itself.
    if (born.Day == current.Day && born.Month == current.Month && years != current.Year - born.Year) ++years;
    return static_cast<int>(now >= entry.Date ? years : -years);
}

// The month part of the age column: the month of the date whose day number is the age in days,
// minus one. It counts from 30 December 1899, not from the birthday, so most anniversaries show
// eleven months; the list and the mails have always shown it that way.
int AgeMonthsAt(const TTWEntry& entry, TDateTime now) {
    long long days = static_cast<long long>(now - entry.Date);
    int months = DecodeDate(static_cast<TDateTime>(days)).Month - 1;
    return now > entry.Date ? months : -months;
}

std::string AgeTextAt(const TTWEntry& entry, TDateTime now) {
    int age = AgeAt(entry, now);
    if (age == -1) return GetText(64);
    std::string text;
    if (age == 1)
        text = GetText(65);
    else if (age != 0)
        text = IntToStr(age) + " " + GetText(66);
    int months = AgeMonthsAt(entry, now);
    if (months < 0 || months > 12) return text;
    if (months == 1) return text.empty() ? GetText(68) : text + " " + GetText(69);
    if (months >= 2)
        return text.empty() ? IntToStr(months) + " " + GetText(70)
                            : Format(GetText(71), {text, (long long)months});
    if (text.empty()) {
        int days = std::abs(DecodeDate(now).Day - DecodeDate(entry.Date).Day);
        return IntToStr(days) + " " + GetText(189);
    }
    return text;
}

// Texts for 0, 1, 2, 7, 14 and 21 days, then the pattern for any other count.
std::string DaysText(int days, const int (&texts)[6], int other) {
    static constexpr int kDays[] = {0, 1, 2, 7, 14, 21};
    for (int i = 0; i < 6; ++i)
        if (days == kDays[i]) return GetText(texts[i]);
    return Format(GetText(other), {(long long)days});
}

struct TZodiacRow {
    int Until;  // month * 100 + day, inclusive
    const char* Name;
};

constexpr TZodiacRow kZodiac[] = {
    {120, "Steinbock"}, {219, "Wassermann"}, {320, "Fisch"},      {420, "Widder"},   {520, "Stier"},
    {621, "Zwillinge"}, {722, "Krebs"},      {823, "Löwe"},       {923, "Jungfrau"}, {1023, "Waage"},
    {1122, "Skorpion"}, {1221, "Schütze"},   {1231, "Steinbock"},
};

}  // namespace

TDateTime TTWEntry::NextDate() const { return NextDateAt(*this, MidnightOf(Now())); }

TDateTime TTWEntry::LastDate() const { return LastDateAt(*this, MidnightOf(Now())); }

int TTWEntry::DaysToNext() const {
    TDateTime today = MidnightOf(Now());
    return static_cast<int>(WholeDaysBetween(today, NextDateAt(*this, today)));
}

int TTWEntry::DaysSinceLast() const {
    TDateTime today = MidnightOf(Now());
    return static_cast<int>(WholeDaysBetween(today, LastDateAt(*this, today)));
}

int TTWEntry::Age() const { return AgeAt(*this, Now()); }

double TTWEntry::AgeInDays() const {
    if (IsUnknownYear(Date)) return -1;
    TDateTime now = Now();
    double days = static_cast<double>(WholeDaysBetween(now, Date));
    return now >= Date ? days : -days;
}

std::string TTWEntry::AgeText() const { return AgeTextAt(*this, Now()); }

std::string TTWEntry::NextText() const {
    static constexpr int kTexts[] = {87, 88, 89, 90, 91, 92};
    return DaysText(DaysToNext(), kTexts, 93);
}

std::string TTWEntry::SinceLastText() const {
    static constexpr int kTexts[] = {87, 94, 95, 96, 97, 98};
    return DaysText(DaysSinceLast(), kTexts, 99);
}

std::string TTWEntry::EventText() const {
    switch (Event) {
        case 0:
            return GetText(83);
        case 1:
            return GetText(84);
        case 2:
            return UserEvent;
        default:
            return "";
    }
}

std::string TTWEntry::ZodiacSign() const {
    TCivilDate date = DecodeDate(Date);
    int day_of_year = date.Month * 100 + date.Day;
    for (const TZodiacRow& row : kZodiac)
        if (day_of_year <= row.Until) return row.Name;
    return "";
}

std::string TTWEntry::BirthWeekdayText() const {
    return IsUnknownYear(Date) ? GetText(82) : WeekdayText(Date);
}

std::string TTWEntry::NextWeekdayText() const { return WeekdayText(NextDate()); }

std::string TTWEntry::LastWeekdayText() const { return WeekdayText(LastDate()); }

std::string WeekdayText(TDateTime date) { return GetText(71 + DayOfTheWeek(date)); }

}  // namespace tw
