#include "ui/startup.h"

#include <cstdlib>

#include <QFileInfo>
#include <QThread>

#include "core/app/paths.h"
#include "core/languages/languages.h"
#include "core/text/messages.h"
#include "platform/desktop_notifier.h"
#include "platform/instance.h"
#include "platform/instance_handover.h"
#include "platform/qt_messages.h"
#include "platform/lock_lights.h"
#include "platform/restart.h"
#include "platform/sound_player.h"
#include "platform/speech.h"
#include "platform/termination_signal.h"
#include "platform/tray_icon.h"
#include "core/importexport/progress.h"
#include "ui/background_check.h"
#include "ui/import_progress_window.h"
#include "ui/language_window.h"
#include "ui/main_window.h"
#include "ui/remember.h"
#include "ui/remember_window.h"
#include "ui/tagwacht.h"
#include "ui/translation.h"

namespace tw {

namespace {

constexpr int kHandOverTimeoutMs = 5000;

// Archive paths among the arguments (the desktop opens .twf files with the program).
QStringList ArchiveArguments(const QStringList& arguments) {
    QStringList archives;
    for (const QString& line : HandOverLines(arguments))
        if (QFileInfo(line).suffix().compare(QStringLiteral("twf"), Qt::CaseInsensitive) == 0) archives << line;
    return archives;
}

}  // namespace

int RunDesktopProgram(QApplication& application, const QStringList& arguments) {
    QThread::msleep(300);
    const bool start_hidden = HasSwitch(arguments, QStringLiteral("autostart"));
    const QStringList archives = ArchiveArguments(arguments);

    TQtMessages messages;
    SetMessages(&messages);

    if (IsAlreadyRunning()) {
        if (!archives.isEmpty() && HandOverToRunningInstance(archives, kHandOverTimeoutMs)) return 0;
        if (start_hidden) return 0;
        const std::string prompt =
            "Tagwacht läuft bereits. Ein neue Instanz starten? (Nicht empfohlen!!)\r\n"
            "Tagwacht is already running. Start a new instance? (Not recommended!!)";
        if (PlainMessageBox(prompt, TMsgButtons::YesNo, TMsgIcon::Information) != TMsgAnswer::Yes) return 0;
    }

    TTagwacht app;
    SetApp(&app);
    TfMain main_window(app);
    messages.SetMainWindow(&main_window);
    messages.SetStatusSink([&main_window](const std::string& text) {
        main_window.SetMessagePanel(QString::fromStdString(text));
    });
    messages.SetBeforeFatalStop([&app, &main_window] {
        if (!app.Autostart) return;
        TOptionsFiles files = app.OptionsFiles();
        SaveOptions(app.Options, files, TSaveMode::LayoutOnly, main_window.CurrentLayout(), app.Sort);
    });

    TStartupSettings settings;
    settings.ProgramDir = FindProgramDir(ExecutableDir());
    settings.DataDir = ChooseDataDir(settings.ProgramDir);
    settings.ExecutablePath = QCoreApplication::applicationFilePath().toStdString();
    settings.FirstArgumentIsAutostart = arguments.size() > 1 && arguments.at(1) == QStringLiteral("autostart");

    std::string error;
    if (!app.Construct(settings, [] { TranslateForm("fMain"); }, DesignLayout(), &error)) {
        PlainMessageBox(error, TMsgButtons::Ok, TMsgIcon::Error);
        return 1;
    }
    // Once the update server has answered, the gift tips come from the shop.
    app.Update->OnOnline = [&app, &main_window] {
        app.GiftTips.RefreshOnline(app.Online);
        main_window.ShowGiftTips();
    };
    main_window.setWindowIcon(ProgramIcon(QString::fromStdString(app.ProgramDir())));
    application.setWindowIcon(main_window.windowIcon());
    QObject::connect(app.TrayIcon.get(), &TTWTrayIcon::RightReleased, &main_window, &TfMain::TrayRightReleased);
    QObject::connect(app.TrayIcon.get(), &TTWTrayIcon::LeftReleased, &main_window, &TfMain::TrayLeftReleased);
    QObject::connect(app.TrayIcon.get(), &TTWTrayIcon::DoubleClicked, &main_window, &TfMain::TrayLeftReleased);

    // The session's end closes the window as the user would; the close-time routine saves
    // everything, so the process ends right there, even inside a message box's own loop.
    CloseOnTerminationSignal([&main_window, &app] {
        main_window.close();
        if (app.IsShutDown()) std::_Exit(0);
    });

    TInstanceServer instance_server;
    instance_server.Listen();
    QObject::connect(&instance_server, &TInstanceServer::LinesReceived, &main_window, &TfMain::HandOverReceived);

    main_window.SetMessagePanel(QString::fromStdString(GetText(169)));
    // A new language takes effect in a new instance, started once this one has ended.
    TfLanguage language_window(&main_window, *app.Session.Languages, [] {
        if (StartInstanceAfterThisEnds()) std::_Exit(0);
        Messages().MsgBox("Tagwacht could not be started again; please start it yourself.", TMsgButtons::Ok,
                          TMsgIcon::Error);
    });
    TranslateForm("fLanguage");
    TMainWindowHooks hooks;
    hooks.ShowLanguageWindow = [&language_window] { language_window.ShowLanguageWindow(); };
    main_window.SetHooks(hooks);
    TfImportProgress progress_window(Progress());
    TranslateForm("fImportProgress");

    // The reminder's channels reach the desktop: sound, speech, lock lights, notifications.
    const std::unique_ptr<TDesktopNotifier> notifier = CreateDesktopNotifier();
    app.Engine.SetDesktopNotifier(notifier.get());
    app.Remember->SetSoundPlayer(CreateDesktopSoundPlayer());
    app.Remember->SetSpeechEngine(CreateDesktopSpeechEngine());
    app.Remember->SetLockLights(CreateDesktopLockLights());
    TfRemember remember_window(app, main_window);
    TranslateForm("fRemember");
    main_window.Check().SetReminderStarter(&remember_window);

    main_window.UpdateClock();
    main_window.PlaceFromOptions();
    main_window.Check().CheckTimer().start();
    if (!start_hidden) {
        main_window.show();
        main_window.CentreReadingPanel();
        main_window.repaint();
    } else {
        main_window.ToTray();
    }

    if (!main_window.LoadEntriesAtStart()) return 1;
    main_window.ColumnClick(app.Sort.SortColumn);
    if (!archives.isEmpty()) main_window.HandOverReceived(archives);

    const int status = QApplication::exec();
    // The close-time routine ran when the window closed; a loop ended otherwise (the close timer
    // of check-and-close) leaves the layout as it was.
    main_window.Check().SetReminderStarter(nullptr);
    app.Engine.SetDesktopNotifier(nullptr);
    SetMessages(nullptr);
    SetApp(nullptr);
    return status;
}

}  // namespace tw
