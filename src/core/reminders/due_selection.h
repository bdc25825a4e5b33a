#pragma once

#include "core/entries/entries.h"
#include "core/ini/ini_files.h"
#include "core/options/options.h"

namespace tw {

/// The date of the last new-day check; all -1 after the entries were read, so that the next
/// check counts as a new day.
struct TLastCheck {
    int Day = -1;
    int Month = -1;
    int Year = -1;
};

/// True when today differs from the last check's date; today then becomes the last check.
bool IsNewDay(TLastCheck& last);

/// True when the entry's most recent occurrence carries its mark "REM_<n>" in entries.ini (on the
/// day itself the occurrence before it is asked for).
bool IsMarked(const TTWEntry& entry, const TIniStore& entries_ini);

/// True when rem.ini holds today's day mark for the entry.
bool RemindedToday(const TTWEntry& entry, const TIniStore& rem_ini);

/// Writes the occurrence mark (of the coming occurrence when it is less than 30.4375 days away,
/// else of the one just passed) and today's day mark, and writes both files to disk; text 86 when
/// that fails.
void MarkReminded(const TTWEntry& entry, TTWIniFiles& files);

/// Fills due with copies of the entries due now, in collection
/// order: those whose reminder times (their own or the options') contain the days to their next
/// occurrence, and those whose most recent occurrence was never handled, which are flagged Missed
/// in the collection and skipped by later checks. With once_day, entries already reminded today
/// are left out. A copy that uses the standard channels gets the options' channels. Marks nothing.
void SelectDueEntries(TTWEntries& entries, TTWIniFiles& files, const TTWOptions& options, bool once_day,
                      TTWEntries& due);

}  // namespace tw
