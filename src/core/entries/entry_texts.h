#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/entries/entry.h"

namespace tw {

/// Splits a stored mail text at every backslash + "n" (both dropped). Empty lines between two
/// breaks remain; a break at the very end adds no empty line, and an empty last line is dropped.
std::vector<std::string> EmailTextToLines(std::string_view text);

/// Joins lines with backslash + "n" into the stored form. Leading empty lines vanish.
std::string LinesToEmailText(const std::vector<std::string>& lines);

/// The reminder days of the entry, e.g. "0, 7, 28", followed by text 100 when the standard
/// times apply.
std::string RememberTimesText(const TTWEntry& entry);

/// The reminder channels of the entry (texts 101, 102, 103, then 104 or 43 for the mail), or
/// text 100 alone when the standard options apply.
std::string RememberOptionsText(const TTWEntry& entry);

}  // namespace tw
