#pragma once

#include <memory>

#include "core/reminders/light_show.h"

namespace tw {

/// The lock lights of the X server's core keyboard over XKB: Caps and Num Lock through their
/// modifiers, Scroll Lock through its named indicator.
std::unique_ptr<TLockLights> CreateXkbLockLights(const char* display_name);

/// The lights of the desktop the program runs on; nullptr on Wayland or without an X server
/// with XKB (the show then does nothing and says nothing).
std::unique_ptr<TLockLights> CreateDesktopLockLights();

}  // namespace tw
