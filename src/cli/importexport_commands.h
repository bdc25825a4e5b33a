#pragma once

#include <string>
#include <vector>

#include "core/app/core_session.h"

namespace tw::cli {

/// import FILE [--fields CODES] [--skip-first-line] [--mail N] [--remark CODE]: by extension.
int RunImport(TCoreSession& session, const std::vector<std::string>& words);
/// export FILE [--fields CODES] [--separator C] [--no-quotes] [--last-name-first] [--store].
int RunExport(TCoreSession& session, const std::vector<std::string>& words);

}  // namespace tw::cli
