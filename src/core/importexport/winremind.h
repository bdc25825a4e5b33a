#pragma once

#include <string>

#include "core/app/core_session.h"

namespace tw {

/// Imports a backup of the reminder program WinRemind (".bkp"): a text file whose first line is
/// not used, followed by one block of five lines per person: name, date ("dd.mm.yyyy" in fixed
/// places), an unused line, the remark (text 117 stands for no remark) and an unused line. A
/// complete file has exactly 1 + 5·N lines.
///
/// Each person whose entry is valid becomes a new entry with the standard reminder settings;
/// invalid ones (a name of one character, for example) are dropped without a message. True when
/// the file ends exactly after a block. A file that ends inside a block imports its complete
/// blocks and returns false. A file with a date that cannot be read, or that cannot be read at
/// all, imports nothing and returns false; the error text says why. No progress is shown and
/// nothing can be cancelled. Every change is on disk when the call returns.
bool ImportWinRemind(TCoreSession& session, const std::string& file_name, std::string* error = nullptr);

}  // namespace tw
