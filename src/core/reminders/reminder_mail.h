#pragma once

#include <optional>
#include <string>

#include "core/entries/entries.h"
#include "core/options/options.h"

namespace tw {

/// The reminder e-mail of one entry, ready for the mail engine.
struct TReminderMail {
    std::string To;
    std::string From;
    std::string Subject;
    std::string Body;  ///< the mail text with its placeholders filled, CR LF line ends
};

/// Whether a due entry's reminder sends its e-mail now: its channels (already the standard ones
/// where it uses them) include e-mail, and the only-on-the-day flag — the options' when the entry
/// in the collection uses the standard channels, else its own — is off or today is the day itself
/// (same day and month as the entry's date; an entry of 29 February never has its day, since it
/// is reminded on 28 February).
bool ReminderMailGoesOut(const TTWEntry& due_entry, const TTWEntries& entries, const TTWOptions& options);

/// The e-mail for the entry with that id in the collection: recipient, sender, subject and text
/// from the options when the entry uses the standard channels, else its own; the text filled for
/// the entry. Nothing when the id is not in the collection.
std::optional<TReminderMail> BuildReminderMail(int id, const TTWEntries& entries, const TTWOptions& options);

}  // namespace tw
