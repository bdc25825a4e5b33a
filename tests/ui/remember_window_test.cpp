#include "ui/remember_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ini/ini_store.h"
#include "core/languages/languages.h"
#include "core/net/server_process.h"
#include "core/reminders/light_show.h"
#include "core/test_support.h"
#include "core/text/files.h"
#include "platform/sound_player.h"
#include "platform/speech.h"
#include "ui/background_check.h"
#include "ui/remember.h"
#include "ui/translation.h"
#include "ui/ui_fixture.h"

namespace tw {
namespace {

using test::D;
using test::TFixtureEntry;
using test::TMainWindowFixture;
using test::TScopedClock;
using test::TServerProcess;
using test::TTempDir;

// What the channels were asked to do, in order.
struct TChannelLog {
    std::vector<std::string> Sounds;
    std::vector<std::string> Spoken;
    int SpeechStops = 0;
    int Shows = 0;
    std::vector<std::string> Notifications;  // title + "|" + text
};

class TFakeSound : public TSoundPlayer {
  public:
    TFakeSound(TChannelLog& log, bool starts) : log_(log), starts_(starts) {}
    bool Play(const std::string& wav_file) override {
        log_.Sounds.push_back(wav_file);
        return starts_;
    }

  private:
    TChannelLog& log_;
    bool starts_;
};

class TFakeSpeechControl : public TSpeechControl {
  public:
    explicit TFakeSpeechControl(TChannelLog& log) : log_(log) {}
    bool Speaking() const override { return speaking_; }
    void Stop() override {
        speaking_ = false;
        ++log_.SpeechStops;
    }

  private:
    TChannelLog& log_;
    bool speaking_ = true;
};

class TFakeSpeech : public TSpeechEngine {
  public:
    explicit TFakeSpeech(TChannelLog& log) : log_(log) {}
    std::unique_ptr<TSpeechControl> Speak(const std::string& text) override {
        log_.Spoken.push_back(text);
        if (OnSpeak) OnSpeak();
        return std::make_unique<TFakeSpeechControl>(log_);
    }
    std::function<void()> OnSpeak;

  private:
    TChannelLog& log_;
};

class TFakeLights : public TLockLights {
  public:
    explicit TFakeLights(TChannelLog& log) : log_(log) {}
    bool GetLockKey(TLockKey key) override {
        if (key == TLockKey::Num) ++log_.Shows;
        return state_[key];
    }
    void SetLockKey(TLockKey key, bool on) override {
        state_[key] = on;
        ++changes_;
        if (OnChange) OnChange(changes_);
    }
    std::map<TLockKey, bool> state_{{TLockKey::Num, true}, {TLockKey::Caps, false}, {TLockKey::Scroll, true}};
    std::function<void(int changes)> OnChange;

  private:
    TChannelLog& log_;
    int changes_ = 0;
};

class TFakeNotifier : public TDesktopNotifier {
  public:
    explicit TFakeNotifier(TChannelLog& log) : log_(log) {}
    bool Notify(const std::string& title, const std::string& text) override {
        log_.Notifications.push_back(title + "|" + text);
        if (OnNotify) OnNotify();
        return true;
    }
    std::function<void()> OnNotify;

  private:
    TChannelLog& log_;
};

// Friday, 3 May 2024, 10:00. The options' standard times are the first start's: on the day and
// 1, 5, 7, 14 and 21 days before.
TDateTime Now() { return D(3, 5, 2024) + 10.0 / 24; }

// The main window loaded on the entries, the reminder window wired to its check, and every
// channel replaced by a recording fake. The sound file is a temporary one.
class TReminderRun {
  public:
    explicit TReminderRun(const std::vector<TFixtureEntry>& entries, bool then_close = false)
        : fixture_(entries, then_close, then_close), window_(fixture_.App(), fixture_.Window()) {
        TTWRemember& remember = *fixture_.App().Remember;
        remember.SetSoundPlayer(std::make_unique<TFakeSound>(Log, true));
        auto speech = std::make_unique<TFakeSpeech>(Log);
        Speech = speech.get();
        remember.SetSpeechEngine(std::move(speech));
        auto lights = std::make_unique<TFakeLights>(Log);
        Lights = lights.get();
        remember.SetLockLights(std::move(lights));
        fixture_.App().Engine.SetDesktopNotifier(&Notifier);
        test::WriteFile(sound_dir_.File("chime.wav"), "RIFF");
        Options().ProgramOptions.RememberSound = sound_dir_.File("chime.wav");
        Options().RememberOptions = {roSound, roSpeech, roKeyboard};
        fixture_.Window().Check().SetReminderStarter(&window_);
        window_.SetEndProgram([this] { ++ProgramEnds; });
    }
    ~TReminderRun() { fixture_.App().Engine.SetDesktopNotifier(nullptr); }

    TTagwacht& App() { return fixture_.App(); }
    TTWOptions& Options() { return fixture_.App().Options; }
    TfRemember& Window() { return window_; }
    TfMain& Main() { return fixture_.Window(); }
    test::TRecordingMessages& Messages() { return fixture_.Messages(); }
    const TTempDir& DataDir() const { return fixture_.DataDir(); }

    /// The daily check; lets the light-show timer fire.
    void Check() {
        fixture_.Window().Check().CheckTick();
        Settle();
    }
    /// Lets the window's timers that are due by now fire (the light show's starts after 1 ms).
    static void Settle() { QTest::qWait(30); }
    void Next() {
        window_.Unten_WeiterClick();
        Settle();
    }
    void Back() {
        window_.Unten_ZurueckClick();
        Settle();
    }
    QString Text(const char* name) const { return window_.findChild<QLabel*>(name)->text(); }
    QPushButton* Button(const char* name) const { return window_.findChild<QPushButton*>(name); }

    /// Whether the file on disk holds the key in the entry's section.
    bool FileHas(const char* file, int id, const std::string& key) const {
        TIniStore store;
        EXPECT_TRUE(store.Open(fixture_.DataDir().File(file)));
        return store.ValueExists(std::to_string(id), key);
    }

    TChannelLog Log;
    TFakeSpeech* Speech = nullptr;
    TFakeLights* Lights = nullptr;
    int ProgramEnds = 0;

  private:
    TScopedClock clock_{Now()};
    TTempDir sound_dir_;
    TMainWindowFixture fixture_;
    TfRemember window_;

  public:
    TFakeNotifier Notifier{Log};
};

// Due on 3 May 2024: Anna on her day (occurrence 33 already marked from last year's reminder),
// Bernd's anniversary in 7 days; Clara in 48 days is not due.
std::vector<TFixtureEntry> TwoDue() {
    return {
        {"Anna Berger", "03.05.1990", {}, {"REM_33"}},
        {"Bernd Krause", "10.05.2000", [](TTWEntry& e) { e.Event = 1; }, {"REM_23"}},
        {"Clara Dietz", "20.06.1980", {}, {"REM_43"}},
    };
}

TEST(RememberWindow, StepsThroughTwoEntriesWithLabelsWordingsAndMarks) {
    TReminderRun run(TwoDue());
    run.Check();

    ASSERT_TRUE(run.Window().isVisible());
    EXPECT_FALSE(run.Main().isEnabled());
    EXPECT_EQ(run.Text("Unten_Schritt"), "Erinnerung 1 von 2");
    EXPECT_EQ(run.Button("Unten_Zurueck")->text(), "Schließen");
    EXPECT_EQ(run.Button("Unten_Weiter")->text(), "Weiter -->");
    EXPECT_EQ(run.Text("Mitte_Name"), "Anna Berger");
    EXPECT_EQ(run.Text("Mitte_Datum"), "Donnerstag, den 03.05.1990 (Sternzeichen: Stier)");
    EXPECT_TRUE(run.Text("Mitte_Wann").endsWith("den 03.05.2024")) << run.Text("Mitte_Wann").toStdString();
    ASSERT_EQ(run.Log.Spoken.size(), 1u);
    EXPECT_EQ(run.Log.Spoken[0].rfind("Anna Berger hat ", 0), 0u) << run.Log.Spoken[0];
    // On the day the occurrence celebrated today counts as handled; the day mark goes to rem.ini.
    EXPECT_TRUE(run.FileHas("entries.ini", 0, "REM_34"));
    EXPECT_TRUE(run.FileHas("rem.ini", 0, "03.05.2024"));

    run.Next();
    EXPECT_EQ(run.Text("Unten_Schritt"), "Erinnerung 2 von 2");
    EXPECT_EQ(run.Button("Unten_Zurueck")->text(), "<-- Zurück");
    EXPECT_EQ(run.Button("Unten_Weiter")->text(), "Fertig");
    EXPECT_EQ(run.Text("Mitte_Name"), "Bernd Krause");
    // No zodiac sign for an anniversary.
    EXPECT_EQ(run.Text("Mitte_Datum"), "Mittwoch, den 10.05.2000");
    EXPECT_TRUE(run.Text("Mitte_Wann").endsWith("den 10.05.2024"));
    ASSERT_EQ(run.Log.Spoken.size(), 2u);
    EXPECT_NE(run.Log.Spoken[1].find("Jahrestag"), std::string::npos) << run.Log.Spoken[1];
    EXPECT_TRUE(run.FileHas("entries.ini", 1, "REM_24"));
    EXPECT_TRUE(run.FileHas("rem.ini", 1, "03.05.2024"));
    EXPECT_FALSE(run.FileHas("rem.ini", 2, "03.05.2024"));

    run.Next();
    EXPECT_FALSE(run.Window().isVisible());
    EXPECT_TRUE(run.Main().isEnabled());
    EXPECT_EQ(run.Main().Check().DueEntries().Count(), 0u);
    EXPECT_EQ(run.ProgramEnds, 0);
    EXPECT_TRUE(run.Messages().Boxes.empty());
}

TEST(RememberWindow, ChannelsFireOncePerRunHoweverOftenTheUserStepsBack) {
    TReminderRun run(TwoDue());
    run.Check();
    run.Next();
    run.Back();
    run.Next();
    run.Back();

    EXPECT_EQ(run.Log.Sounds.size(), 2u);
    EXPECT_EQ(run.Log.Spoken.size(), 2u);
    EXPECT_EQ(run.Log.Shows, 2);
    EXPECT_EQ(run.Window().Notified(), (std::set<int>{0, 1}));
    // Stepping on or back stops the sentence still being spoken (the first two steps); later
    // steps find the last sentence already stopped.
    EXPECT_EQ(run.Log.SpeechStops, 2);
    // "Zurück" on the first step closes the window.
    run.Back();
    EXPECT_FALSE(run.Window().isVisible());
    EXPECT_TRUE(run.Main().isEnabled());

    // A new run fires them again, starting with the first step.
    run.Main().Check().RemindNow();
    TReminderRun::Settle();
    EXPECT_EQ(run.Log.Sounds.size(), 3u);
    EXPECT_EQ(run.Log.Shows, 3);
    EXPECT_EQ(run.Window().Notified(), (std::set<int>{0}));
}

TEST(RememberWindow, CaughtUpEntryTurnsToTheNormalWordingWhenShownAgain) {
    // Dora's day passed five days ago and was never reminded.
    TReminderRun run({
        {"Dora Engel", "28.04.1970", {}, {}, {}, true},
        {"Anna Berger", "03.05.1990", {}, {"REM_33"}},
    });
    run.Check();
    ASSERT_EQ(run.Text("Mitte_Name"), "Dora Engel");
    EXPECT_TRUE(run.Text("Mitte_Wann").endsWith("den 28.04.2024")) << run.Text("Mitte_Wann").toStdString();
    ASSERT_EQ(run.Log.Spoken.size(), 1u);
    EXPECT_EQ(run.Log.Spoken[0].rfind("Dora Engel hatte ", 0), 0u) << run.Log.Spoken[0];
    EXPECT_TRUE(run.FileHas("entries.ini", 0, "REM_54"));

    run.Next();
    run.Back();
    // Marked at its first showing: now its next occurrence is told.
    EXPECT_EQ(run.Text("Mitte_Name"), "Dora Engel");
    EXPECT_TRUE(run.Text("Mitte_Wann").endsWith("den 28.04.2025")) << run.Text("Mitte_Wann").toStdString();
    EXPECT_EQ(run.Log.Spoken.size(), 2u);
}

TEST(RememberWindow, ProblemsOfSoundSpeechAndPictureAreReportedAndTheStepGoesOn) {
    TTempDir pictures;
    test::WriteFile(pictures.File("broken.jpg"), "not a picture");
    const std::string broken = pictures.File("broken.jpg");
    TReminderRun run({{"Anna Berger", "03.05.1990", [&](TTWEntry& e) { e.Image = broken; }, {"REM_33"}}});
    run.App().Remember->SetSoundPlayer(std::make_unique<TFakeSound>(run.Log, false));
    run.App().Remember->SetSpeechEngine(nullptr);
    run.Check();

    ASSERT_EQ(run.Messages().Boxes.size(), 2u);
    EXPECT_NE(run.Messages().Boxes[0].find("Der Erinnerungston konnte nicht abgespielt werden."),
              std::string::npos);
    EXPECT_NE(run.Messages().Boxes[1].find("Die Sprachausgabe konnte nicht gestartet werden."),
              std::string::npos);
    EXPECT_TRUE(run.Window().StepDone());
    EXPECT_EQ(run.Log.Shows, 1);
    // The due copy forgets the picture; the entry and its file stay.
    EXPECT_TRUE(run.Main().Check().DueEntries()[0].Image.empty());
    EXPECT_EQ(run.App().Entries()[0].Image, broken);
    EXPECT_EQ(run.Window().findChild<QLabel*>("iImage")->pixmap().isNull(), true);
}

TEST(RememberWindow, UnusableSoundFileStaysSilent) {
    TReminderRun run(TwoDue());
    run.Options().ProgramOptions.RememberSound = "/nonexistent/chime.wav";
    run.Check();
    EXPECT_TRUE(run.Log.Sounds.empty());
    EXPECT_TRUE(run.Messages().Boxes.empty());
}

TEST(RememberWindow, PictureIsShownAndEnlargedOnClick) {
    TTempDir pictures;
    QImage image(60, 100, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    ASSERT_TRUE(image.save(QString::fromStdString(pictures.File("anna.png"))));
    const std::string path = pictures.File("anna.png");
    TReminderRun run({{"Anna Berger", "03.05.1990", [&](TTWEntry& e) { e.Image = path; }, {"REM_33"}}});
    run.Check();

    auto* picture = run.Window().findChild<QLabel*>("iImage");
    auto* panel = run.Window().findChild<QWidget*>("pPanel");
    ASSERT_FALSE(picture->pixmap().isNull());
    EXPECT_FALSE(panel->isVisible());
    QTest::mouseClick(picture, Qt::LeftButton);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_GT(run.Window().findChild<QLabel*>("iBig")->pixmap().height(), picture->pixmap().height());
    QTest::mouseClick(run.Window().findChild<QLabel*>("iBig"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
}

TEST(RememberWindow, NetworkMessageBecomesADesktopNotificationForThisMachineOnly) {
    TReminderRun run({
        {"Anna Berger", "03.05.1990", {}, {"REM_33"}, {{"NetSendServer", "localhost"}, {"NetSendRecp", "x"}}},
        {"Bernd Krause",
         "10.05.2000",
         {},
         {"REM_23"},
         {{"NetSendServer", "elsewhere.example"}, {"NetSendRecp", "x"}}},
        {"Clara Dietz", "04.05.1980", {}, {"REM_43"}},
    });
    // The buttons wait while the message goes out.
    std::vector<bool> buttons_while_sending;
    run.Notifier.OnNotify = [&] {
        buttons_while_sending = {run.Button("Unten_Zurueck")->isEnabled(),
                                 run.Button("Unten_Weiter")->isEnabled()};
    };
    run.Check();
    EXPECT_EQ(buttons_while_sending, (std::vector<bool>{false, false}));
    ASSERT_EQ(run.Log.Notifications.size(), 1u);
    EXPECT_EQ(run.Log.Notifications[0], "Tagwacht|" + run.Log.Spoken[0]);
    EXPECT_EQ(run.Text("Mitte_NetSend"), "Die Netzwerknachricht wurde gesendet.");
    run.Next();
    EXPECT_EQ(run.Log.Notifications.size(), 1u);
    EXPECT_EQ(run.Text("Mitte_NetSend"), "Die Netzwerknachricht konnte nicht gesendet werden.");
    run.Next();
    EXPECT_EQ(run.Text("Mitte_NetSend"), "");
    EXPECT_TRUE(run.Button("Unten_Weiter")->isEnabled());
}

// A real SMTP server on loopback records what it receives.
class RememberWindowMail : public ::testing::Test {
  protected:
    void SetUp() override {
        server_ = std::make_unique<TServerProcess>("smtp_server.py",
                                                   std::vector<std::string>{"--record-dir", record_.Path()});
        ASSERT_TRUE(server_->Started()) << server_->Log();
    }
    void PointAt(TTWOptions& options, int port) {
        options.MailServer.Server = "127.0.0.1";
        options.MailServer.Port = port;
        options.MailServer.AuthenticationRequired = false;
    }
    std::string Received(int n, const char* part) const {
        const std::string path = record_.File(std::to_string(n) + "." + part);
        return FileExists(path) ? test::ReadFile(path) : std::string();
    }

    TTempDir record_;
    std::unique_ptr<TServerProcess> server_;
};

void OwnMail(TTWEntry& e, const std::string& to, bool only_on_the_day) {
    e.RememberOptions = {roEmail};
    e.EmailTo = to;
    e.EmailFrom = "tagwacht@example.org";
    e.EmailSubject = "Erinnerung an " + e.Name;
    e.EmailText = "Hallo,\\n%name% wird %age%.";
    e.EmailOnly = only_on_the_day;
}

TEST_F(RememberWindowMail, OwnAndStandardMailsGoOutAndOnlyOnTheDayIsObeyed) {
    TReminderRun run({
        // Its day, only on the day: sent.
        {"Anna Berger", "03.05.1990", [](TTWEntry& e) { OwnMail(e, "anna@example.org", true); }, {"REM_33"}},
        // Seven days before, only on the day: not sent.
        {"Franz Graf", "10.05.1975", [](TTWEntry& e) { OwnMail(e, "franz@example.org", true); }, {"REM_48"}},
        // Standard channels: the options' mail; its own fields do not count.
        {"Bernd Krause",
         "04.05.2000",
         [](TTWEntry& e) {
             OwnMail(e, "bernd@example.org", true);
             e.RememberOptions = {roStandard};
         },
         {"REM_23"}},
    });
    PointAt(run.Options(), server_->Port());
    run.Options().RememberOptions = {roEmail};
    run.Options().MailDefaults = {.EmailTo = "standard@example.org",
                                  .EmailFrom = "options@example.org",
                                  .EmailText = "Gruss an %name%\\n",
                                  .EmailSubject = "Gruss von Tagwacht",
                                  .EmailOnly = false};
    run.Check();

    EXPECT_EQ(run.Text("Mitte_SendMail"), "Die E-Mail wurde gesendet.");
    EXPECT_NE(Received(1, "envelope").find("RCPT TO:anna@example.org"), std::string::npos)
        << Received(1, "envelope");
    EXPECT_EQ(Received(1, "subject"), "Erinnerung an Anna Berger");
    EXPECT_NE(Received(1, "body").find("Anna Berger wird 34."), std::string::npos) << Received(1, "body");

    run.Next();
    EXPECT_EQ(run.Text("Mitte_SendMail"), "");
    run.Next();
    EXPECT_EQ(run.Text("Mitte_SendMail"), "Die E-Mail wurde gesendet.");
    EXPECT_NE(Received(2, "envelope").find("RCPT TO:standard@example.org"), std::string::npos);
    EXPECT_NE(Received(2, "envelope").find("MAIL FROM:options@example.org"), std::string::npos);
    EXPECT_EQ(Received(2, "subject"), "Gruss von Tagwacht");
    EXPECT_NE(Received(2, "body").find("Gruss an Bernd Krause"), std::string::npos) << Received(2, "body");
    EXPECT_EQ(Received(3, "envelope"), "");

    // Stepping back sends nothing again.
    run.Back();
    run.Back();
    EXPECT_EQ(Received(3, "envelope"), "");
}

TEST_F(RememberWindowMail, ServerThatCannotBeReachedShowsTheFailureAndFreesTheButtons) {
    TReminderRun run({{"Anna Berger",
                       "03.05.1990",
                       [](TTWEntry& e) { OwnMail(e, "anna@example.org", false); },
                       {"REM_33"}}});
    // A port nobody listens on: the server's, after it has been stopped.
    const int port = server_->Port();
    server_.reset();
    PointAt(run.Options(), port);
    run.Check();
    EXPECT_EQ(run.Text("Mitte_SendMail"), "Die E-Mail konnte nicht gesendet werden.");
    EXPECT_TRUE(run.Button("Unten_Weiter")->isEnabled());
    EXPECT_TRUE(run.Button("Unten_Zurueck")->isEnabled());
    EXPECT_TRUE(run.Window().StepDone());
}

TEST_F(RememberWindowMail, CloseWhileTheStepStillFiresKeepsItsEntryAndSendsTheMail) {
    TReminderRun run({
        {"Anna Berger",
         "03.05.1990",
         [](TTWEntry& e) {
             OwnMail(e, "anna@example.org", false);
             e.RememberOptions = {roSpeech, roEmail, roKeyboard};
         },
         {"REM_33"}},
    });
    PointAt(run.Options(), server_->Port());
    // The close is handled while the speech starts, before the mail goes out.
    run.Speech->OnSpeak = [&run] { run.Window().close(); };
    run.Check();

    EXPECT_FALSE(run.Window().isVisible());
    EXPECT_TRUE(run.Main().isEnabled());
    EXPECT_EQ(run.Main().Check().DueEntries().Count(), 0u);
    EXPECT_NE(Received(1, "envelope").find("RCPT TO:anna@example.org"), std::string::npos);
    // The light show belongs to the window that is gone.
    EXPECT_EQ(run.Log.Shows, 0);
    EXPECT_FALSE(run.Window().KeyboardTimer().isActive());
}

TEST(RememberWindow, ClosingDuringTheLightShowSetsTheLightsBackAtOnce) {
    TReminderRun run(TwoDue());
    int changes_at_close = 0;
    run.Lights->OnChange = [&](int changes) {
        if (changes == 5 && run.Window().isVisible()) {
            changes_at_close = changes;
            run.Window().close();
        }
    };
    run.Check();

    EXPECT_EQ(changes_at_close, 5);
    EXPECT_FALSE(run.Window().isVisible());
    // Five changes of the show, then the three restores; the lights are as before.
    EXPECT_EQ(run.Lights->state_[TLockKey::Num], true);
    EXPECT_EQ(run.Lights->state_[TLockKey::Caps], false);
    EXPECT_EQ(run.Lights->state_[TLockKey::Scroll], true);
}

TEST(RememberWindow, AutoAdvanceInCheckAndCloseModeEndsTheProgramAfterTheLastStep) {
    TReminderRun run(
        {
            {"Anna Berger", "03.05.1990", {}, {"REM_33"}},
            {"Bernd Krause", "04.05.2000", {}, {"REM_23"}},
            {"Clara Dietz", "08.05.1980", {}, {"REM_43"}},
        },
        true);
    ASSERT_TRUE(run.App().CheckAndClose);
    run.Options().ProgramOptions.AutoCloseRememberWindow = true;
    QElapsedTimer clock;
    clock.start();
    run.Check();
    ASSERT_EQ(run.Text("Unten_Schritt"), "Erinnerung 1 von 3");

    std::vector<QString> steps{run.Text("Mitte_Name")};
    while (run.ProgramEnds == 0 && clock.elapsed() < 10000) {
        QTest::qWait(50);
        if (run.Text("Mitte_Name") != steps.back()) steps.push_back(run.Text("Mitte_Name"));
    }
    EXPECT_EQ(steps, (std::vector<QString>{"Anna Berger", "Bernd Krause", "Clara Dietz"}));
    EXPECT_EQ(run.ProgramEnds, 1);
    // One second after each of the three steps.
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_TRUE(run.App().IsShutDown());
    EXPECT_EQ(run.Log.Sounds.size(), 3u);
    EXPECT_TRUE(run.FileHas("rem.ini", 2, "03.05.2024"));
}

TEST(RememberWindow, CloseIsRefusedOnlyBetweenAFinishedStepAndItsLightShow) {
    TReminderRun run(TwoDue());
    run.Main().Check().CheckTick();  // the show's timer has not fired yet
    ASSERT_TRUE(run.Window().KeyboardTimer().isActive());
    EXPECT_FALSE(run.Window().close());
    EXPECT_TRUE(run.Window().isVisible());
    TReminderRun::Settle();
    EXPECT_EQ(run.Log.Shows, 1);
    EXPECT_TRUE(run.Window().close());
    EXPECT_TRUE(run.Main().isEnabled());
}

TEST(RememberWindow, ShippedLanguagesTranslateItsCaptionsAndTexts) {
    TReminderRun run(TwoDue());
    TTWLanguages& languages = *run.App().Session.Languages;
    for (const char* file : {"english.twl", "german.twl"}) {
        languages.SetCurrentLanguage(file);
        languages.LoadStrings();
        TranslateForm("fRemember");
        const bool english = std::string(file) == "english.twl";
        EXPECT_EQ(run.Text("lKommentar"), english ? "Remark:" : "Kommentar:");
        EXPECT_EQ(run.Window().findChild<QGroupBox*>("gSendMail")->title(),
                  english ? "Sending e-mail" : "E-Mail Versand");
        run.Main().Check().RemindNow();
        TReminderRun::Settle();
        EXPECT_EQ(run.Text("Unten_Schritt"), english ? "Reminder 1 of 2" : "Erinnerung 1 von 2");
        EXPECT_EQ(run.Button("Unten_Weiter")->text(), english ? "Next -->" : "Weiter -->");
        EXPECT_TRUE(run.Window().close());
    }
    EXPECT_TRUE(run.Messages().Boxes.empty()) << run.Messages().Boxes.front();
}

}  // namespace
}  // namespace tw
