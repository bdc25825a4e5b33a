#include "ui/background_check.h"

#include <QApplication>
#include <QWidget>

#include "core/languages/languages.h"
#include "core/reminders/due_selection.h"
#include "core/text/messages.h"
#include "ui/tagwacht.h"

namespace tw {

TBackgroundCheck::TBackgroundCheck(TTagwacht& app, std::function<bool()> main_window_enabled, QObject* parent)
    : QObject(parent), app_(app), main_window_enabled_(std::move(main_window_enabled)) {
    check_timer_.setObjectName(QStringLiteral("tCheck"));
    check_timer_.setInterval(5000);
    close_timer_.setObjectName(QStringLiteral("CloseTimer"));
    close_timer_.setInterval(10000);
    close_timer_.setSingleShot(true);
    connect(&check_timer_, &QTimer::timeout, this, &TBackgroundCheck::CheckTick);
    connect(&close_timer_, &QTimer::timeout, this, &TBackgroundCheck::CloseTimerTick);
    end_program_ = [] { QCoreApplication::exit(0); };
}

void TBackgroundCheck::CheckTick() {
    const bool enabled = main_window_enabled_();
    if (enabled && IsNewDay(app_.LastCheck)) {
        if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
        due_.Clear();
        SelectDueEntries(app_.Entries(), app_.IniFiles(), app_.Options, app_.Options.ProgramOptions.OnceDay, due_);
        if (due_.Count() > 0) {
            if (starter_) starter_->StartReminders(due_);
        } else if (app_.CheckAndClose) {
            app_.TrayIcon->SetTip(app_.TrayIcon->BaseTip + "\n\r" + QString::fromStdString(GetText(141)));
            close_timer_.start();
        }
    } else if (!start_tasks_done_ && enabled) {
        RunStartTasks();
    }
}

// Their outcome is not shown: the user did not ask for them.
void TBackgroundCheck::RunStartTasks() {
    start_tasks_done_ = true;
    TTWProgramOptions& program = app_.Options.ProgramOptions;
    if (program.AutoTimeSync) {
        if (program.TimeServer.empty()) program.TimeServer = kDefaultTimeServer;
        (void)app_.Engine.SyncTime(program.TimeServer);
    }
    if (program.Updatecheck && app_.Update) app_.Update->CheckForUpdate(true);
}

void TBackgroundCheck::RemindNow() {
    if (!main_window_enabled_()) return;
    due_.Clear();
    SelectDueEntries(app_.Entries(), app_.IniFiles(), app_.Options, false, due_);
    IsNewDay(app_.LastCheck);
    if (due_.Count() == 0)
        Messages().MsgBox(GetText(141), TMsgButtons::Ok, TMsgIcon::Information);
    else if (starter_)
        starter_->StartReminders(due_);
}

// Check-and-close with nothing due: the program ends without the close-time routine; the data
// files hold no unwritten changes here, but they are written all the same.
void TBackgroundCheck::CloseTimerTick() {
    if (app_.TrayIcon) app_.TrayIcon->HideIcon();
    std::string ignored;
    app_.IniFiles().WriteAll(&ignored);
    end_program_();
}

}  // namespace tw
