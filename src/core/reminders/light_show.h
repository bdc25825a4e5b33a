#pragma once

#include <functional>

namespace tw {

/// The three lock lights of the keyboard.
enum class TLockKey { Num, Caps, Scroll };

/// Reads and sets the keyboard's lock lights. The desktop program drives the real keyboard;
/// tests record what was set.
class TLockLights {
public:
    virtual ~TLockLights() = default;
    virtual bool GetLockKey(TLockKey key) = 0;
    virtual void SetLockKey(TLockKey key, bool on) = 0;
};

/// The light show of a reminder: 48 frames, 6.2 seconds of waiting in all. stop_blink is
/// cleared first; it is tested before every single light change (and the wait that follows
/// it), so setting it while a wait runs ends the show at once. The three lights always end in
/// the states they had before, set back in the order Num, Caps, Scroll. wait(ms) returns after
/// that many milliseconds and lets the program handle its messages meanwhile.
void BlinkKeyboard(TLockLights& lights, bool& stop_blink, const std::function<void(int milliseconds)>& wait);

}  // namespace tw
