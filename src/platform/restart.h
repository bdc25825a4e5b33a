#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>

namespace tw {

/// The environment variable through which a new instance learns which old one to wait for.
inline constexpr const char* kWaitForPidVariable = "TAGWACHT_WAIT_FOR_PID";

/// How long a new instance waits at most for the old one to end.
inline constexpr int kWaitForPreviousInstanceMs = 15000;

/// Starts the program's own executable again, detached and without arguments, telling it to
/// wait until this process has ended (the one-instance rule would otherwise see this one).
/// False when the program could not be started.
bool StartInstanceAfterThisEnds();

/// The same for any program and arguments: starts it detached with this process's environment
/// plus TAGWACHT_WAIT_FOR_PID=<this process id>. The new process id goes to *pid when given.
bool StartDetachedAfterThisEnds(const QString& program, const QStringList& arguments, qint64* pid = nullptr);

/// The first thing start-up does: when TAGWACHT_WAIT_FOR_PID names another process, waits
/// until that process is gone (a zombie counts as gone) or timeout_ms has passed, then removes
/// the variable so that nothing started later inherits it. True when there was nothing to wait
/// for or the process ended in time; false after the time-out.
bool WaitForPreviousInstance(int timeout_ms = kWaitForPreviousInstanceMs);

/// True while the process exists and has not ended (a zombie has ended).
bool ProcessIsAlive(pid_t pid);

}  // namespace tw
