#include "core/net/indy_engine.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <exception>

#include "core/text/text_helpers.h"

namespace tw {
namespace {

// The messenger of the original system reached other machines; a desktop notification only
// reaches this one, so only names of this machine count.
bool NamesThisMachine(const std::string& server) {
    if (server.empty() || SameTextAscii(server, "localhost")) return true;
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return false;
    std::string host = name;
    return SameTextAscii(server, host) || SameTextAscii(server, host.substr(0, host.find('.')));
}

}  // namespace

TIndyEngine::TIndyEngine() = default;
TIndyEngine::~TIndyEngine() = default;

bool TIndyEngine::SendNetMessage(const std::string& server, const std::string& recipient,
                                 const std::string& from, const std::string& message) {
    (void)recipient;  // the notification goes to whoever is logged on to this desktop
    try {
        if (!notifier_ || !NamesThisMachine(server)) return false;
        return notifier_->Notify(from, message);
    } catch (...) {
        return false;
    }
}

std::string TSystemClockSetter::Set(std::int64_t unix_seconds, TDateTime local_time) {
    (void)local_time;
    timespec now{};
    now.tv_sec = static_cast<std::time_t>(unix_seconds);
    if (clock_settime(CLOCK_REALTIME, &now) != 0)
        return std::string("Cannot set the clock: ") + std::strerror(errno);
    return "";
}

}  // namespace tw
