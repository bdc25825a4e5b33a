#include "core/reminders/due_selection.h"

#include <cmath>

#include "core/languages/languages.h"
#include "core/text/clock.h"
#include "core/text/date_text.h"
#include "core/text/messages.h"

namespace tw {
namespace {

std::string MarkKey(int occurrence) { return "REM_" + std::to_string(occurrence); }

bool IsTheDay(const TTWEntry& entry, TDateTime today) {
    TCivilDate date = DecodeDate(entry.Date), now = DecodeDate(today);
    return date.Day == now.Day && date.Month == now.Month;
}

// Day counts of the reminder times, in element order after rtStandard.
bool TimesContainDays(TRememberTimes times, int days) {
    for (int k = 0; k < static_cast<int>(std::size(kRememberDays)); ++k)
        if (kRememberDays[k] == days) return times.Has(static_cast<TRememberTime>(k + 1));
    return false;
}

}  // namespace

bool IsNewDay(TLastCheck& last) {
    TCivilDate today = DecodeDate(Today());
    if (today.Day == last.Day && today.Month == last.Month && today.Year == last.Year) return false;
    last = {today.Day, today.Month, today.Year};
    return true;
}

bool IsMarked(const TTWEntry& entry, const TIniStore& entries_ini) {
    int occurrence = entry.Age();
    if (IsTheDay(entry, Today())) --occurrence;
    return entries_ini.ValueExists(std::to_string(entry.Id), MarkKey(occurrence));
}

bool RemindedToday(const TTWEntry& entry, const TIniStore& rem_ini) {
    return rem_ini.ValueExists(std::to_string(entry.Id), DateToText(Today()));
}

void MarkReminded(const TTWEntry& entry, TTWIniFiles& files) {
    TFrozenNow one_moment;
    const TDateTime today = Today();
    int occurrence = entry.Age();
    // Handled is the occurrence less than a month away, or the one just passed. On the day itself
    // Age already counts today's occurrence, the one the selection asks about from tomorrow on:
    // marking the following year's instead would remind again tomorrow as caught up, and would
    // keep next year's from ever being caught up.
    bool next_is_near = std::trunc(std::fabs(entry.NextDate() - today) / 30.4375) == 0;
    if (next_is_near && !IsTheDay(entry, today)) ++occurrence;
    const std::string section = std::to_string(entry.Id);
    files.EntriesIni.WriteBool(section, MarkKey(occurrence), true);
    files.RemIni.WriteBool(section, DateToText(today), true);
    // The marks decide what is reminded again, so they are on disk before the reminder goes on.
    if (!files.EntriesIni.UpdateFile() || !files.RemIni.UpdateFile()) ShowError(GetText(86));
}

void SelectDueEntries(TTWEntries& entries, TTWIniFiles& files, const TTWOptions& options, bool once_day,
                      TTWEntries& due) {
    TFrozenNow one_moment;
    due.Clear();
    for (size_t i = 0; i < entries.Count(); ++i) {
        TTWEntry& entry = entries[i];
        if (entry.Missed) continue;
        TRememberTimes times = entry.RememberTimes.Has(rtStandard) ? options.RememberTimes : entry.RememberTimes;
        bool is_due = TimesContainDays(times, entry.DaysToNext());
        if (!IsMarked(entry, files.EntriesIni)) {
            entry.Missed = true;
            is_due = true;
        }
        if (is_due && once_day && RemindedToday(entry, files.RemIni)) is_due = false;
        if (!is_due) continue;
        // The collection holds what the files hold (every change goes through both), so the copy
        // is taken from it instead of reading the files again.
        TTWEntry copy = entry;
        copy.Missed = false;
        if (copy.RememberOptions.Has(roStandard)) copy.RememberOptions = options.RememberOptions;
        due.Append(std::move(copy));
    }
}

}  // namespace tw
