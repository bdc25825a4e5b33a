#pragma once

#include <memory>
#include <string>

#include "core/app/core_session.h"
#include "core/entries/list_view.h"
#include "core/gifttips/gift_tips.h"
#include "core/net/indy_engine.h"
#include "core/net/update_check.h"
#include "core/options/autostart.h"
#include "core/options/options.h"
#include "core/reminders/due_selection.h"
#include "platform/tray_icon.h"

namespace tw {

class TGiftTipsView;
class TTWRemember;

/// Where the program's folders and switches come from; start-up fills it, tests build it.
struct TStartupSettings {
    std::string ProgramDir;      ///< the folder holding languages/
    std::string DataDir;         ///< the per-user data folder
    std::string ExecutablePath;  ///< what the autostart entry starts
    bool FirstArgumentIsAutostart = false;  ///< argument 1 is exactly "autostart"
};

/// The application object: every window reaches the shared state through the one instance.
class TTagwacht {
public:
    TTagwacht();
    ~TTagwacht();
    TTagwacht(const TTagwacht&) = delete;
    TTagwacht& operator=(const TTagwacht&) = delete;

    TCoreSession Session;       ///< folders, the four data files, languages, entries
    std::string HelpFile;       ///< ProgramDir + "/manual/index.html"
    TListSortState Sort;        ///< the main list's sort state, stored in options.ini
    bool Online = false;        ///< the update server answered in this run
    TTWOptions Options;
    std::unique_ptr<TAutostart> Autostart;
    std::unique_ptr<TTWTrayIcon> TrayIcon;
    bool CheckAndClose = false;  ///< started by autostart with "ThenClose": check, then end
    TLastCheck LastCheck;
    TIndyEngine Engine;
    TSystemClockSetter ClockSetter;
    std::unique_ptr<TTWUpdate> Update;
    std::unique_ptr<TTWRemember> Remember;  ///< the reminder channels
    TTWGeschenktipps GiftTips;
    std::unique_ptr<TGiftTipsView> GiftTipsView;  ///< fills the windows' gift-tip views

    const std::string& ProgramDir() const { return Session.ProgramDir; }
    const std::string& DataDir() const { return Session.DataDir; }
    TTWEntries& Entries() { return Session.Entries; }
    TTWIniFiles& IniFiles() { return Session.IniFiles; }

    /// Builds everything in start-up order up to the options: folders and data files, paths,
    /// left-over import folders, update check, tray icon, languages, options, first-run marker,
    /// check-and-close mode. translate_main runs right after the language texts are loaded.
    /// False with the error text when the data folder or files cannot be used or there is no
    /// language (the caller reports and ends).
    bool Construct(const TStartupSettings& settings, const std::function<void()>& translate_main,
                   const TWindowLayout& design_layout, std::string* error);

    /// The files LoadOptions and SaveOptions work with.
    TOptionsFiles OptionsFiles();

    /// The close-time routine: the window layout and sort state are saved, the data files
    /// written and closed, the tray icon removed. Runs once; later calls do nothing.
    void ShutDown(const TWindowLayout& layout);
    bool IsShutDown() const { return shut_down_; }

private:
    void FirstRunAfterInstallation();
    bool shut_down_ = false;
};

/// The one application object of the desktop program; nullptr before start-up built it.
TTagwacht* App();
void SetApp(TTagwacht* app);

/// The time server the automatic synchronisation uses when the options name none.
inline constexpr const char* kDefaultTimeServer = "time.nist.gov";

}  // namespace tw
