#pragma once

#include <string>

#include "core/entries/remember_sets.h"
#include "core/text/date_time.h"

namespace tw {

/// Year that stands for "the year was not stated".
inline constexpr int kUnknownYear = 9999;

/// One person or couple and one yearly date, with how and when to remind of it.
struct TTWEntry {
    int Id = 0;              ///< section name in entries.ini, eoptions.ini and rem.ini
    std::string Name;        ///< 2..255 characters
    int Sex = 0;             ///< 0 not given, 1 male, 2 female
    TDateTime Date = 0;      ///< the event's date; year 9999 when the year was not stated
    std::string EMail;       ///< empty or a valid address
    std::string Remark;
    int Event = 0;           ///< 0 birthday, 1 wedding anniversary, 2 the event named UserEvent
    std::string UserEvent;
    std::string Image;       ///< full path of the picture, or empty
    TRememberOptions RememberOptions;
    TRememberTimes RememberTimes;
    std::string EmailTo;
    std::string EmailFrom;
    std::string EmailText;     ///< mail template; line breaks stored as backslash and "n"
    std::string EmailSubject;  ///< never empty after reading
    bool EmailOnly = false;    ///< send the reminder mail only on the day itself
    std::string NetSendServer;  ///< read only, never written
    std::string NetSendRecp;    ///< read only, never written
    bool Missed = false;        ///< run time only: the current occurrence was never handled

    // Date arithmetic. Every operation reads the clock (Clock()) and keeps nothing.

    /// The next occurrence; today counts as next. 29 February is kept on 28 February.
    TDateTime NextDate() const;
    /// The last occurrence; today counts as last.
    TDateTime LastDate() const;
    /// Whole days from today to NextDate (0..365).
    int DaysToNext() const;
    /// Whole days from LastDate to today (0..365).
    int DaysSinceLast() const;
    /// Signed age in whole years; -1 for year 9999; negative for dates in the future.
    int Age() const;
    /// Signed whole days between now and Date; -1 for year 9999.
    double AgeInDays() const;
    /// Text of the list column "Alter".
    std::string AgeText() const;
    /// Text of the list column "Nächstes Mal".
    std::string NextText() const;
    /// Text for the days since the last occurrence.
    std::string SinceLastText() const;
    /// Name of the event kind.
    std::string EventText() const;
    /// German name of the zodiac sign of Date (not translated).
    std::string ZodiacSign() const;
    /// Weekday of Date, or text 82 for year 9999.
    std::string BirthWeekdayText() const;
    std::string NextWeekdayText() const;
    std::string LastWeekdayText() const;
};

/// Weekday name of any date (texts 72–78, Monday to Sunday).
std::string WeekdayText(TDateTime date);

}  // namespace tw
