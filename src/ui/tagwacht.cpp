#include "ui/tagwacht.h"

#include <filesystem>
#include <system_error>

#include "core/importexport/archive.h"
#include "core/languages/languages.h"
#include "core/text/count_text.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "ui/gift_tips_view.h"
#include "ui/remember.h"

namespace tw {

namespace {

TTagwacht* g_app = nullptr;

// An archive import that failed half-way may leave its working folders behind; only empty ones
// go, so nothing the user might still want is removed.
void RemoveEmptyImportFolders(const std::string& data_dir) {
    std::error_code ignored;
    const std::filesystem::path temp = std::filesystem::path(data_dir) / kImportTempFolder;
    for (const std::filesystem::path& path : {temp / kImagesFolder, temp}) {
        if (std::filesystem::is_directory(path, ignored) && std::filesystem::is_empty(path, ignored))
            std::filesystem::remove(path, ignored);
    }
}

}  // namespace

TTagwacht* App() { return g_app; }
void SetApp(TTagwacht* app) { g_app = app; }

TTagwacht::TTagwacht() = default;

TTagwacht::~TTagwacht() {
    if (g_app == this) g_app = nullptr;
}

TOptionsFiles TTagwacht::OptionsFiles() {
    return TOptionsFiles{Session.IniFiles.OptionsIni, Session.ProgramDir, *Autostart};
}

bool TTagwacht::Construct(const TStartupSettings& settings, const std::function<void()>& translate_main,
                          const TWindowLayout& design_layout, std::string* error) {
    if (!Session.Open(settings.ProgramDir, settings.DataDir, error)) return false;
    HelpFile = Session.ProgramDir + "/manual/index.html";
    Online = false;
    // Read once, before anything is shown; their messages are German whatever the language.
    GiftTips.RefreshOnline(Online);
    GiftTips.LoadFiles(Session.ProgramDir);
    GiftTipsView = std::make_unique<TGiftTipsView>(GiftTips, [this] { return &Entries(); });
    RemoveEmptyImportFolders(Session.DataDir);

    Engine.SetClockSetter(&ClockSetter);
    Update = std::make_unique<TTWUpdate>(Engine, Session.IniFiles.OptionsIni, Online);
    Remember = std::make_unique<TTWRemember>(*this);

    TrayIcon = std::make_unique<TTWTrayIcon>(QString::fromStdString(Session.ProgramDir));
    TrayIcon->BaseTip = QString::fromStdString("Tagwacht " + VersionText());
    TrayIcon->SetTip(TrayIcon->BaseTip);

    if (translate_main) translate_main();

    Autostart = std::make_unique<TAutostart>(settings.ExecutablePath);
    TOptionsFiles files = OptionsFiles();
    LoadOptions(Options, files, Sort, kListColumns, design_layout);
    FirstRunAfterInstallation();

    CheckAndClose = Options.ProgramOptions.ThenClose && settings.FirstArgumentIsAutostart;
    if (CheckAndClose) TrayIcon->SetTip(TrayIcon->Tip() + "\n\r" + QString::fromStdString(GetText(166)));
    return true;
}

// An installer leaves a marker file in the program folder: the first start then switches on
// autostart, check-and-close and the update check.
void TTagwacht::FirstRunAfterInstallation() {
    const std::string marker = Session.ProgramDir + "/DummyFile.dummy";
    if (!FileExists(marker)) return;
    Options.ProgramOptions.Autostart = true;
    Autostart->Set(true);
    Options.ProgramOptions.ThenClose = true;
    Options.ProgramOptions.Updatecheck = true;
    TOptionsFiles files = OptionsFiles();
    TWindowLayout layout{Options.Width, Options.Height, Options.Left, Options.Top, Options.Maximized,
                         Options.ColumnWidths};
    SaveOptions(Options, files, TSaveMode::Full, layout, Sort);
    std::error_code failed;
    if (!std::filesystem::remove(marker, failed) || failed)
        Messages().MsgBox(marker + " konnte nicht gelöscht werden! Bitte löschen Sie sie per Hand.", TMsgButtons::Ok,
                          TMsgIcon::Information);
}

void TTagwacht::ShutDown(const TWindowLayout& layout) {
    if (shut_down_) return;
    shut_down_ = true;
    if (Autostart) {
        TOptionsFiles files = OptionsFiles();
        SaveOptions(Options, files, TSaveMode::LayoutOnly, layout, Sort);
    }
    std::string error;
    if (!Session.IniFiles.WriteAll(&error)) ShowError(error);
    if (TrayIcon) TrayIcon->HideIcon();
}

}  // namespace tw
