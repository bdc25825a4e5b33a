#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/text/date_time.h"

namespace tw {

/// "dd.mm.yyyy": two-digit day and month, the year with four digits, zero-padded (year 5 gives
/// "0005").
std::string DateToText(TDateTime date);

/// "dd.mm.": day and month with two digits, each followed by ".".
std::string DayMonthText(TDateTime date);

/// "hh:nn:ss" on the 24-hour clock.
std::string TimeToText(TDateTime time);

/// Reads day, month and year separated by "."; the last of any further parts is the year, and
/// a missing or zero year means 9999. Nothing on a conversion error (empty or non-numeric part,
/// impossible date).
std::optional<TDateTime> TextToDate(std::string_view text);

/// Reads the fixed layout "dd.mm.yyyy" (characters 1–2, 4–5 and 7–10). Nothing on a conversion
/// error.
std::optional<TDateTime> FixedTextToDate(std::string_view text);

}  // namespace tw
