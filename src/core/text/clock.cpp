#include "core/text/clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace tw {
namespace {

const TClock* g_clock = nullptr;

}  // namespace

TDateTime TSystemClock::Now() const {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    TDateTime date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).value_or(0);
    TDateTime time = EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(ms)).value_or(0);
    return date + time;
}

const TClock& Clock() {
    static const TSystemClock system_clock;
    return g_clock ? *g_clock : system_clock;
}

void SetClock(const TClock* clock) { g_clock = clock; }

TFrozenNow::TFrozenNow() : frozen_(Clock().Now()), previous_(g_clock) { g_clock = &frozen_; }

TFrozenNow::~TFrozenNow() { g_clock = previous_; }

TDateTime Now() { return Clock().Now(); }

TDateTime Today() { return std::trunc(Now()); }

}  // namespace tw
