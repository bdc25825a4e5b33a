#pragma once

#include <string>
#include <vector>

#include "core/app/core_session.h"

namespace tw::cli {

/// "show ID": one line "Key: value" per field and computed value of the entry.
int RunShow(TCoreSession& session, const std::vector<std::string>& words);
/// "list [--sort COLUMN [--ctrl]]": the main list, one TAB-separated line per entry.
int RunList(TCoreSession& session, const std::vector<std::string>& words);
/// "add NAME DATE [...]": a new entry with the standard reminder settings.
int RunAdd(TCoreSession& session, const std::vector<std::string>& words);
/// "delete ID": removes the entry and its data, as the main window's delete does.
int RunDelete(TCoreSession& session, const std::vector<std::string>& words);

}  // namespace tw::cli
