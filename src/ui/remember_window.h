#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>

#include "core/entries/entries.h"
#include "ui/background_check.h"

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTextBrowser;

namespace tw {

class TImageLabel;
class TSpeechControl;
class TTagwacht;
class TfMain;

/// The reminder window "fRemember": the due entries one step at a time with their labels,
/// picture and gift tips; the first showing of an entry in a run fires its channels (sound,
/// speech, light show, desktop notification, e-mail). Closing it ends the run, and in
/// check-and-close mode the program.
class TfRemember : public QWidget, public TReminderStarter {
    Q_OBJECT
  public:
    TfRemember(TTagwacht& app, TfMain& main_window, QWidget* parent = nullptr);
    ~TfRemember() override;

    /// Opens the window on the first of the due entries (the collection stays the caller's and
    /// is emptied when the window closes).
    void StartReminders(TTWEntries& due) override;
    /// Shows the entry at that index and, the first time in this run, fires its channels.
    void ShowStep(int index);
    /// The end of a run: the main window is free again, the due entries are emptied; in
    /// check-and-close mode the program ends.
    void FinishReminders();

    void Unten_ZurueckClick();
    void Unten_WeiterClick();
    void WeiterTimerTimer();
    void tKeyboardTimer();
    void iImageClick();
    void iBigClick();

    /// Replaces how the program ends in check-and-close mode (tests); by default the message
    /// loop ends.
    void SetEndProgram(std::function<void()> end) { end_program_ = std::move(end); }

    int CurrentStep() const { return current_step_; }
    bool StepDone() const { return step_done_; }
    /// The ids whose channels fired in this run.
    const std::set<int>& Notified() const { return notified_; }
    QTimer& KeyboardTimer() { return keyboard_timer_; }
    QTimer& AutoAdvanceTimer() { return weiter_timer_; }
    QTextBrowser* GiftTipsView() const { return web_browser_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void StopSpeech();
    void SetButtonsEnabled(bool enabled);
    void ShowPicture(TTWEntry& due_entry, TTWEntry& shown);
    void ShowGiftTips(const TTWEntry& entry);
    void FireChannels(const TTWEntry& entry, const std::string& sentence, int run);

    TTagwacht& app_;
    TfMain& main_window_;
    TTWEntries* due_ = nullptr;
    int current_step_ = 0;
    bool step_done_ = true;
    int run_ = 0;           // counts the runs, so that a step can tell that its run has ended
    bool running_ = false;  // between StartReminders and FinishReminders
    bool blinking_ = false;
    std::set<int> notified_;
    std::unique_ptr<TSpeechControl> speech_control_;
    std::function<void()> end_program_;
    QTimer keyboard_timer_;
    QTimer weiter_timer_;

    QProgressBar* progress_ = nullptr;
    QLabel* step_label_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* date_ = nullptr;
    QLabel* email_ = nullptr;
    QLabel* remark_ = nullptr;
    QLabel* event_ = nullptr;
    QLabel* age_ = nullptr;
    QLabel* when_ = nullptr;
    QLabel* send_mail_ = nullptr;
    QLabel* net_send_ = nullptr;
    TImageLabel* image_ = nullptr;
    QWidget* middle_ = nullptr;
    QWidget* big_panel_ = nullptr;
    QLabel* big_image_ = nullptr;
    QPixmap picture_;  // the entry's picture as loaded, for the enlarged view
    QTextBrowser* web_browser_ = nullptr;
};

}  // namespace tw
