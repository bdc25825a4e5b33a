#pragma once

#include <functional>

namespace tw {

/// Runs the function on the user-interface thread when the process is asked to end with
/// SIGTERM or SIGHUP (the desktop session ends, `kill`), so that the program closes as if the
/// user had closed it and its close-time routine saves what it saves. Call once.
void CloseOnTerminationSignal(std::function<void()> close);

}  // namespace tw
