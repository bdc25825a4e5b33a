#include "core/text/messages.h"

#include <cstdio>

#include "core/languages/languages.h"

namespace tw {
namespace {

class TStderrMessages : public TMessages {
public:
    TMsgAnswer MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return buttons == TMsgButtons::YesNo ? TMsgAnswer::No : TMsgAnswer::Ok;
    }
    void FatalStop() override {}
};

TMessages* g_messages = nullptr;

}  // namespace

TMessages& Messages() {
    static TStderrMessages fallback;
    return g_messages ? *g_messages : fallback;
}

void SetMessages(TMessages* messages) { g_messages = messages; }

void ShowError(const std::string& text) {
    Messages().MsgBox(GetText(29) + ":" + kCrLf + text, TMsgButtons::Ok, TMsgIcon::Error);
}

void ShowFatalError(const std::string& text) {
    Messages().MsgBox(GetText(30) + ":" + kCrLf + text + kCrLf + GetText(31), TMsgButtons::Ok, TMsgIcon::Error);
    Messages().FatalStop();
}

}  // namespace tw
