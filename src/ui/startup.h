#pragma once

#include <QApplication>
#include <QStringList>

namespace tw {

/// Start-up after the application object exists: the one-instance rule (a second start hands an
/// archive path to the running instance), the data folder, the application object, the main
/// window and the loading of the entries; then the message loop. Returns the exit status.
int RunDesktopProgram(QApplication& application, const QStringList& arguments);

}  // namespace tw
