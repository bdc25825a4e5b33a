#pragma once

#include <string>
#include <string_view>

#include "core/ini/ini_store.h"
#include "core/text/date_time.h"

namespace tw {

/// The typed, self-repairing reads through which entries, options and language texts are read.
/// Each first passes a write-back point of the store, then reads; a missing, over-long or
/// out-of-range value is reported with ShowError (the file name, section and key in text 37),
/// repaired in the file where the program repairs it, and reading goes on.

/// The text of the key. Over max_length characters (max_length >= 0): the first max_length
/// characters, the file keeps the long value, report with text 38. Missing: written empty
/// ("01.01.2000" for the key "Date"), reported, and the result is empty.
std::string ReadStringChecked(TIniStore& store, std::string_view section, std::string_view key, int max_length);

/// The stored Boolean. Missing: "0" is written, reported, and the result is false.
bool ReadBoolChecked(TIniStore& store, std::string_view section, std::string_view key);

/// The stored date, read with TextToDate. Missing or not a date: 01.01.1970 is written, reported,
/// and the result is the current date and time.
TDateTime ReadDateChecked(TIniStore& store, std::string_view section, std::string_view key);

/// The stored integer; -1 for a text that is not a number. Below minimum or above maximum (a
/// bound below 0 is no bound): the bound is written to the file and reported with text 39 or 40,
/// but the value read is returned. Missing: 0 is written, reported with a fixed German message
/// (not for the key "Sex"), and the result is -1.
int ReadIntegerChecked(TIniStore& store, std::string_view section, std::string_view key, int minimum, int maximum);

}  // namespace tw
