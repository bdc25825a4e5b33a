// The desktop program's start-up: one instance per user, the data folder, the application
// object, the windows in their order, the entries loaded before the user can act.

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include "core/app/paths.h"
#include "core/languages/languages.h"
#include "core/text/messages.h"
#include "platform/instance.h"
#include "platform/instance_handover.h"
#include "platform/qt_messages.h"
#include "platform/restart.h"
#include "platform/tagwacht_application.h"
#include "ui/main_window.h"
#include "ui/startup.h"
#include "ui/tagwacht.h"

int main(int argc, char** argv) {
    using namespace tw;
    WaitForPreviousInstance();
    TTagwachtApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tagwacht"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tagwacht"));
    QApplication::setDesktopFileName(QStringLiteral("tagwacht"));
    // The program lives on in the tray when its window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    return RunDesktopProgram(application, QCoreApplication::arguments());
}
