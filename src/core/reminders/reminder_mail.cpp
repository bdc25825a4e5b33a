#include "core/reminders/reminder_mail.h"

#include "core/entries/mail_text.h"
#include "core/text/clock.h"

namespace tw {

bool ReminderMailGoesOut(const TTWEntry& due_entry, const TTWEntries& entries, const TTWOptions& options) {
    if (!due_entry.RememberOptions.Has(roEmail)) return false;
    const TTWEntry* own = entries.FindId(due_entry.Id);
    bool standard = own ? own->RememberOptions.Has(roStandard) : false;
    bool only_on_the_day = standard ? options.MailDefaults.EmailOnly : due_entry.EmailOnly;
    if (!only_on_the_day) return true;
    TCivilDate date = DecodeDate(due_entry.Date), today = DecodeDate(Today());
    return date.Day == today.Day && date.Month == today.Month;
}

std::optional<TReminderMail> BuildReminderMail(int id, const TTWEntries& entries, const TTWOptions& options) {
    const TTWEntry* entry = entries.FindId(id);
    if (!entry) return std::nullopt;
    TReminderMail mail;
    std::string text;
    if (entry->RememberOptions.Has(roStandard)) {
        mail.To = options.MailDefaults.EmailTo;
        mail.From = options.MailDefaults.EmailFrom;
        mail.Subject = options.MailDefaults.EmailSubject;
        text = options.MailDefaults.EmailText;
    } else {
        mail.To = entry->EmailTo;
        mail.From = entry->EmailFrom;
        mail.Subject = entry->EmailSubject;
        text = entry->EmailText;
    }
    mail.Body = FillMailText(text, *entry);
    return mail;
}

}  // namespace tw
