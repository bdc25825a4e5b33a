#pragma once

#include <string>
#include <vector>

#include "core/app/core_session.h"

namespace tw::cli {

/// "due [--now]": the entries the daily check selects now, with their reminder sentences.
int RunDue(TCoreSession& session, const std::vector<std::string>& words);
/// "remind [--now]": the same selection, then the marks and the e-mails, one outcome line each.
int RunRemind(TCoreSession& session, const std::vector<std::string>& words);

}  // namespace tw::cli
