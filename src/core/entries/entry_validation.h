#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/text/date_time.h"

namespace tw {

/// Fills the blanks of a typed "dd.mm.yyyy" the way the entry form does: a blank first digit of
/// day or month becomes "0", and a blank century before a two-digit year becomes "19".
std::string CompleteDateText(std::string_view text);

/// The first step of the entry form: the name, event and date of a new or changed entry.
struct TEntryBasics {
    std::string Name;
    int Event = 0;
    std::string UserEvent;
    std::string DateText;  ///< as typed, "dd.mm.yyyy"; 9999 for an unknown year
    std::string EMail;
};

/// Empty when the basics are acceptable; otherwise text 8 + ":" followed, for each failed check,
/// by CR LF, "-" and its text (0 name too short, 1 own event name too short, 2 no valid date,
/// 3 invalid e-mail address).
std::string ValidateEntryBasics(const TEntryBasics& basics);

/// The date of valid basics (after CompleteDateText).
std::optional<TDateTime> EntryBasicsDate(const TEntryBasics& basics);

}  // namespace tw
