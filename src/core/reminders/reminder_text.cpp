#include "core/reminders/reminder_text.h"

#include "core/languages/languages.h"
#include "core/reminders/due_selection.h"
#include "core/text/clock.h"
#include "core/text/date_text.h"
#include "core/text/text_helpers.h"

namespace tw {

bool IsCaughtUp(const TTWEntry& entry, const TIniStore& entries_ini) {
    TCivilDate date = DecodeDate(entry.Date), today = DecodeDate(Today());
    bool the_day = date.Day == today.Day && date.Month == today.Month;
    return !IsMarked(entry, entries_ini) && !the_day;
}

std::string ReminderSentence(const TTWEntry& entry, const TIniStore& entries_ini) {
    TFrozenNow one_moment;
    const bool birthday = entry.Event == 0;
    const std::string name = entry.Name + " ";
    if (IsCaughtUp(entry, entries_ini)) return Format(GetText(birthday ? 144 : 145), {name, entry.SinceLastText()});
    return Format(GetText(birthday ? 147 : 148), {name, entry.NextText()});
}

std::string ReminderWhenText(const TTWEntry& entry, const TIniStore& entries_ini) {
    TFrozenNow one_moment;
    if (IsCaughtUp(entry, entries_ini))
        return Format(GetText(146), {entry.SinceLastText(), entry.LastWeekdayText(), DateToText(entry.LastDate())});
    return Format(GetText(149), {entry.NextText(), entry.NextWeekdayText(), DateToText(entry.NextDate())});
}

}  // namespace tw
