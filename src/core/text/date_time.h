#pragma once

#include <optional>

namespace tw {

/// A point in time as the program stores and computes it: whole days since 30 December 1899
/// (day 0) plus the time of day as the fraction. The Gregorian calendar is extended backwards.
/// Dates before day 0 keep the day in the whole part and the time of day as the absolute value
/// of the fraction (-1.25 is 29 December 1899, 06:00).
using TDateTime = double;

struct TCivilDate {
    int Year = 0;
    int Month = 0;  ///< 1..12
    int Day = 0;    ///< 1..31
};

struct TTimeOfDay {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

/// The date value of midnight on that day, or nothing for an impossible date (month 13,
/// 31 April, year 0 or above 9999).
std::optional<TDateTime> EncodeDate(int year, int month, int day);

/// The fraction of a day for a time of day; nothing when a part is out of range.
std::optional<TDateTime> EncodeTime(int hour, int minute, int second, int millisecond = 0);

/// The whole day number of a value (its integral part, cut toward zero).
long long DayNumber(TDateTime value);

/// Year, month and day of a value's day number.
TCivilDate DecodeDate(TDateTime value);

/// The time of day of a value, rounded to the nearest millisecond.
TTimeOfDay DecodeTime(TDateTime value);

/// 1 for Monday … 7 for Sunday.
int DayOfTheWeek(TDateTime value);

/// Adds whole years to a date, keeping day and month; nothing when the result does not exist
/// (29 February in a common year) or leaves the years 1..9999.
std::optional<TDateTime> AddYears(TDateTime date, int years);

}  // namespace tw
