#include "core/reminders/light_show.h"

#include <array>
#include <utility>

namespace tw {

namespace {

constexpr signed char kOff = 0;
constexpr signed char kOn = 1;
constexpr signed char kKeep = -1;  // the frame leaves this light as it is

// One frame of the show: the lights it sets, changed in the order Num, Caps, Scroll, and the
// wait that follows the last change of the frame.
struct TFrame {
    signed char Num;
    signed char Caps;
    signed char Scroll;
    int WaitMs;
};

// clang-format off
constexpr std::array<TFrame, 48> kFrames = {{
    {kOff,  kOff,  kOff,  500},  // 1: dark
    {kOn,   kKeep, kKeep, 200},  // 2-4: one light after the other comes on
    {kKeep, kOn,   kKeep, 200},
    {kKeep, kKeep, kOn,   200},
    {kOff,  kKeep, kKeep, 200},  // 5-7: and goes out again
    {kKeep, kOff,  kKeep, 200},
    {kKeep, kKeep, kOff,  300},
    {kOn,   kOn,   kOn,   200},  // 8
    {kOff,  kOff,  kOff,  200},  // 9
    {kOn,   kOff,  kOn,   200},  // 10-12: outer and middle lights in turn
    {kOff,  kOn,   kOff,  300},
    {kOn,   kOff,  kOn,   200},
    {kKeep, kOn,   kKeep, 200},  // 13-19: one light per frame
    {kKeep, kKeep, kOff,  200},
    {kKeep, kOff,  kKeep, 200},
    {kOff,  kKeep, kKeep, 200},
    {kOn,   kKeep, kKeep, 200},
    {kKeep, kOn,   kKeep, 200},
    {kKeep, kKeep, kOn,   200},
    {kOff,  kOff,  kOff,  50},   // 20-28: all lights flash, beginning and ending dark
    {kOn,   kOn,   kOn,   50},
    {kOff,  kOff,  kOff,  50},
    {kOn,   kOn,   kOn,   50},
    {kOff,  kOff,  kOff,  50},
    {kOn,   kOn,   kOn,   50},
    {kOff,  kOff,  kOff,  50},
    {kOn,   kOn,   kOn,   50},
    {kOff,  kOff,  kOff,  50},
    {kKeep, kOn,   kKeep, 50},   // 29-38: Caps alone flashes
    {kKeep, kOff,  kKeep, 50},
    {kKeep, kOn,   kKeep, 50},
    {kKeep, kOff,  kKeep, 50},
    {kKeep, kOn,   kKeep, 50},
    {kKeep, kOff,  kKeep, 50},
    {kKeep, kOn,   kKeep, 50},
    {kKeep, kOff,  kKeep, 50},
    {kKeep, kOn,   kKeep, 50},
    {kKeep, kOff,  kKeep, 50},
    {kOn,   kKeep, kOn,   50},   // 39-47: the two outer lights flash together
    {kOff,  kKeep, kOff,  50},
    {kOn,   kKeep, kOn,   50},
    {kOff,  kKeep, kOff,  50},
    {kOn,   kKeep, kOn,   50},
    {kOff,  kKeep, kOff,  50},
    {kOn,   kKeep, kOn,   50},
    {kOff,  kKeep, kOff,  50},
    {kOn,   kKeep, kOn,   50},
    {kOn,   kOn,   kOn,   500},  // 48: all on
}};
// clang-format on

constexpr int TotalWaitMs() {
    int total = 0;
    for (const TFrame& frame : kFrames) total += frame.WaitMs;
    return total;
}
static_assert(TotalWaitMs() == 6200, "the show waits 6.2 seconds in all");

// Runs one frame. The flag is tested before each single change, and the frame's wait belongs to
// its last change, so a flag set during a wait (or set by anything a change sets off) ends the
// show before the next change. Returns false once the flag stopped the show.
bool RunFrame(const TFrame& frame, TLockLights& lights, const bool& stop_blink,
              const std::function<void(int)>& wait) {
    const std::array<std::pair<TLockKey, signed char>, 3> changes = {
        {{TLockKey::Num, frame.Num}, {TLockKey::Caps, frame.Caps}, {TLockKey::Scroll, frame.Scroll}}};
    int last = -1;
    for (int i = 0; i < static_cast<int>(changes.size()); ++i)
        if (changes[i].second != kKeep) last = i;
    for (int i = 0; i <= last; ++i) {
        if (changes[i].second == kKeep) continue;
        if (stop_blink) return false;
        lights.SetLockKey(changes[i].first, changes[i].second == kOn);
        if (i == last && wait) wait(frame.WaitMs);
    }
    return true;
}

}  // namespace

void BlinkKeyboard(TLockLights& lights, bool& stop_blink, const std::function<void(int milliseconds)>& wait) {
    stop_blink = false;
    const bool num = lights.GetLockKey(TLockKey::Num);
    const bool caps = lights.GetLockKey(TLockKey::Caps);
    const bool scroll = lights.GetLockKey(TLockKey::Scroll);

    for (const TFrame& frame : kFrames)
        if (!RunFrame(frame, lights, stop_blink, wait)) break;

    lights.SetLockKey(TLockKey::Num, num);
    lights.SetLockKey(TLockKey::Caps, caps);
    lights.SetLockKey(TLockKey::Scroll, scroll);
}

}  // namespace tw
