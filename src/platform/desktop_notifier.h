#pragma once

#include <memory>

#include "core/net/indy_engine.h"

namespace tw {

/// Shows notifications through the desktop's notification service
/// (org.freedesktop.Notifications on the session bus).
std::unique_ptr<TDesktopNotifier> CreateDesktopNotifier();

}  // namespace tw
