#pragma once

#include <string>

#include "core/app/core_session.h"
#include "core/text/messages.h"

namespace tw::cli {

/// Exit status of the command-line front end.
enum TExit : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

/// Message boxes become lines on standard error; questions are answered "No" (nothing is asked
/// without a screen); a fatal error ends the process with status 1.
class TStderrMessages : public TMessages {
public:
    TMsgAnswer MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon) override;
    void FatalStop() override;
};

/// Reports an error on standard error and returns kExitFailed.
int Fail(const std::string& message);

/// Writes every changed data file; on failure reports and returns kExitFailed.
int WriteBack(TCoreSession& session);

}  // namespace tw::cli
