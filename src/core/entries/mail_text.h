#pragma once

#include <string>
#include <string_view>

#include "core/entries/entries.h"
#include "core/entries/entry.h"

namespace tw {

/// Replaces every "%" + key + "%" in the text by value, comparing the letters A–Z without regard
/// to case. The inserted values are not searched again.
std::string ReplacePlaceholder(std::string_view text, std::string_view key, std::string_view value);

/// The reminder mail body for one entry: every backslash + "n" of the stored template becomes
/// CR LF, then the placeholders %name%, %date%, %fulldate%, %email%, %remark%, %event%, %age%,
/// %fullage%, %next%, %daystonext%, %fulldaystonext%, %fullnext%, %rememberoptions% and
/// %remembertimes% are replaced in this order, each on the result of the one before, with the
/// entry's data as of now. Unknown keys and stray percent signs stay as they are.
std::string FillMailText(std::string_view mail_template, const TTWEntry& entry);

/// The reminder mail body for the entry with that id in the collection; for an id that is not
/// there only the line breaks are turned into CR LF.
std::string FillMailText(std::string_view mail_template, int id, const TTWEntries& entries);

}  // namespace tw
