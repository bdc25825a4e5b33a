#include "ui/remember.h"

#include "core/languages/languages.h"
#include "core/reminders/reminder_mail.h"
#include "core/text/messages.h"
#include "ui/tagwacht.h"

namespace tw {

void TTWRemember::PlayReminderSound() {
    const std::string& file = app_.Options.ProgramOptions.RememberSound;
    if (!CheckSoundFile(file, true)) return;
    if (!sound_ || !sound_->Play(file)) ShowError(GetText(kSoundErrorText));
}

std::unique_ptr<TSpeechControl> TTWRemember::SpeakText(const std::string& text) {
    std::unique_ptr<TSpeechControl> control = speech_ ? speech_->Speak(text) : nullptr;
    if (!control) {
        ShowError(GetText(105));
        return nullptr;
    }
    Messages().ProcessMessages();
    return control;
}

void TTWRemember::BlinkKeyboard() {
    if (!lights_) return;
    tw::BlinkKeyboard(*lights_, StopBlink, [](int milliseconds) { Messages().WaitProcessing(milliseconds); });
}

bool TTWRemember::SendReminderMail(int id) {
    const std::optional<TReminderMail> mail = BuildReminderMail(id, app_.Entries(), app_.Options);
    if (!mail) return false;
    const TTWEMailServerOptions& server = app_.Options.MailServer;
    return app_.Engine
        .SendMail(server.Server, server.Port, server.AuthenticationRequired, server.Username, server.Password,
                  mail->To, mail->From, mail->Subject, mail->Body)
        .empty();
}

}  // namespace tw
