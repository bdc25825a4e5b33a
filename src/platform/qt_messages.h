#pragma once

#include <functional>
#include <string>

#include <QPointer>
#include <QWidget>

#include "core/text/messages.h"

namespace tw {

/// The desktop's answer to the core's messages: message boxes titled "Tagwacht" on the window
/// they belong to, the status text on the main window, pending events while long work runs.
class TQtMessages : public TMessages {
public:
    /// The window a box belongs to when no other window is active (the main window).
    void SetMainWindow(QWidget* window) { main_window_ = window; }
    /// Where status texts go (the main window's message panel).
    void SetStatusSink(std::function<void(const std::string&)> sink) { status_sink_ = std::move(sink); }
    /// Runs before a fatal stop ends the process (saves the window layout).
    void SetBeforeFatalStop(std::function<void()> hook) { before_fatal_stop_ = std::move(hook); }

    TMsgAnswer MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon) override;
    void SetStatusText(const std::string& text) override;
    void ProcessMessages() override;
    void WaitProcessing(int milliseconds) override;
    void OpenDocument(const std::string& path_or_address) override;
    void FatalStop() override;

private:
    QPointer<QWidget> main_window_;
    std::function<void(const std::string&)> status_sink_;
    std::function<void()> before_fatal_stop_;
};

/// A box with no owner window, for the few messages shown before any window exists.
TMsgAnswer PlainMessageBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon);

}  // namespace tw
