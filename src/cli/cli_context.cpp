#include "cli/cli_context.h"

#include <cstdio>
#include <cstdlib>

#include "core/text/text_helpers.h"

namespace tw::cli {

TMsgAnswer TStderrMessages::MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon) {
    // Language texts break lines with LF CR or CR LF; a terminal wants plain line feeds.
    std::string plain = ReplaceAll(ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\n\r", "\n"), "\r", "\n");
    std::fprintf(stderr, "%s\n", plain.c_str());
    return buttons == TMsgButtons::YesNo ? TMsgAnswer::No : TMsgAnswer::Ok;
}

void TStderrMessages::FatalStop() {
    std::fflush(stdout);
    std::exit(kExitFailed);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "tagwacht-cli: %s\n", message.c_str());
    return kExitFailed;
}

int WriteBack(TCoreSession& session) {
    std::string error;
    if (!session.IniFiles.WriteAll(&error)) return Fail(error);
    return kExitOk;
}

}  // namespace tw::cli
