#pragma once

#include <memory>
#include <string>

#include "core/reminders/light_show.h"
#include "platform/sound_player.h"
#include "platform/speech.h"

namespace tw {

class TTagwacht;

/// The reminder's channels: sound, speech, the keyboard-light show and the e-mail. Each reaches
/// the desktop through an exchangeable piece, so that tests can count what fired; a piece that
/// is missing makes its channel do nothing.
class TTWRemember {
  public:
    explicit TTWRemember(TTagwacht& app) : app_(app) {}

    /// Set to end a running light show at once.
    bool StopBlink = false;

    void SetSoundPlayer(std::unique_ptr<TSoundPlayer> player) { sound_ = std::move(player); }
    void SetSpeechEngine(std::unique_ptr<TSpeechEngine> engine) { speech_ = std::move(engine); }
    void SetLockLights(std::unique_ptr<TLockLights> lights) { lights_ = std::move(lights); }

    /// Starts the options' reminder sound and returns at once; an unusable file plays nothing
    /// and says nothing, a sound that cannot start is reported.
    void PlayReminderSound();

    /// Starts speaking the sentence; the control that speaks it, or nullptr (reported) when no
    /// speech engine can.
    std::unique_ptr<TSpeechControl> SpeakText(const std::string& text);

    /// The light show on the keyboard lock lights; the lights end as they were.
    void BlinkKeyboard();

    /// Sends the reminder e-mail of the entry with that id in the main collection; true when the
    /// server accepted it. Nothing is retried or queued.
    bool SendReminderMail(int id);

  private:
    TTagwacht& app_;
    std::unique_ptr<TSoundPlayer> sound_;
    std::unique_ptr<TSpeechEngine> speech_;
    std::unique_ptr<TLockLights> lights_;
};

/// The error text shown when the reminder sound cannot be started.
inline constexpr int kSoundErrorText = 193;

}  // namespace tw
