#pragma once

#include <string>

#include "core/entries/entry.h"
#include "core/ini/ini_store.h"

namespace tw {

/// True when the entry is shown as caught up: its most recent occurrence is unmarked and today is
/// not the day itself.
bool IsCaughtUp(const TTWEntry& entry, const TIniStore& entries_ini);

/// The sentence that reminds of the entry, spoken and sent as the network message: the name and
/// when the occurrence is (texts 147/148) or, caught up, how long ago it was (texts 144/145).
std::string ReminderSentence(const TTWEntry& entry, const TIniStore& entries_ini);

/// The "Wann" line of the reminder window: texts 149 or, caught up, 146.
std::string ReminderWhenText(const TTWEntry& entry, const TIniStore& entries_ini);

}  // namespace tw
