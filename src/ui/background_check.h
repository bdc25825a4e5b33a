#pragma once

#include <functional>

#include <QObject>
#include <QTimer>

#include "core/entries/entries.h"

namespace tw {

class TTagwacht;

/// Whoever shows due reminders (the reminder window).
class TReminderStarter {
public:
    virtual ~TReminderStarter() = default;
    /// Shows the entries one after another; the window disables the main window while open.
    virtual void StartReminders(TTWEntries& due) = 0;
};

/// The daily check: every five seconds, while the main window takes input, a new calendar day
/// (or entries read anew) selects the due entries and hands them to the reminder window; the
/// first quiet tick afterwards runs the start tasks once. In check-and-close mode a check that
/// finds nothing ends the program ten seconds later.
class TBackgroundCheck : public QObject {
    Q_OBJECT
public:
    /// main_window_enabled: whether the main window takes input now (the only guard against
    /// overlapping work: every dialog disables it).
    TBackgroundCheck(TTagwacht& app, std::function<bool()> main_window_enabled, QObject* parent = nullptr);

    void SetReminderStarter(TReminderStarter* starter) { starter_ = starter; }
    /// Replaces what the close timer does at its end (tests); by default the message loop ends.
    void SetEndProgram(std::function<void()> end) { end_program_ = std::move(end); }

    QTimer& CheckTimer() { return check_timer_; }
    QTimer& CloseTimer() { return close_timer_; }
    /// The entries the last check or "remind now" selected.
    TTWEntries& DueEntries() { return due_; }
    bool StartTasksDone() const { return start_tasks_done_; }

    /// One tick of the check timer.
    void CheckTick();
    /// "Jetzt erinnern": selects with the once-a-day rule off and shows what is due, or text 141.
    void RemindNow();

private:
    void RunStartTasks();
    void CloseTimerTick();

    TTagwacht& app_;
    std::function<bool()> main_window_enabled_;
    std::function<void()> end_program_;
    TReminderStarter* starter_ = nullptr;
    QTimer check_timer_;
    QTimer close_timer_;
    TTWEntries due_;
    bool start_tasks_done_ = false;
};

}  // namespace tw
