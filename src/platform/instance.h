#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>
#include <QVector>

namespace tw {

/// The executable name the one-instance rule looks for.
inline constexpr const char* kProgramExecutableName = "tagwacht";

/// True when any argument, argument 0 (the program path) included, equals name, ignoring the
/// case of the letters A to Z only (so "AUTOSTART" matches "autostart", but no other letters
/// are folded).
bool HasSwitch(const QStringList& arguments, const QString& name);

/// The ids of the processes of the given user whose executable file name equals
/// executable_name, ignoring the case of A to Z. The name is the file name of the link
/// "<proc_root>/<pid>/exe" (a " (deleted)" mark of a replaced program file is dropped); when the
/// link cannot be read, the first line of "<proc_root>/<pid>/comm". The owner is the real user
/// id of "<proc_root>/<pid>/status". Processes that end while the list is read are left out;
/// an unreadable proc_root gives an empty list.
QVector<pid_t> FindRunningInstances(const QString& executable_name, const QString& proc_root, uid_t uid);

/// The number of such processes of the current user under /proc unless told otherwise.
int CountRunningInstances(const QString& executable_name = QString::fromLatin1(kProgramExecutableName),
                          const QString& proc_root = QStringLiteral("/proc"));

/// True when more than one process of the current user runs as "tagwacht" (this process is
/// one of them).
bool IsAlreadyRunning(const QString& proc_root = QStringLiteral("/proc"));

}  // namespace tw
