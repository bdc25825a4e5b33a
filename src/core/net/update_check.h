#pragma once

#include <functional>
#include <string>

#include "core/ini/ini_store.h"
#include "core/net/indy_engine.h"

namespace tw {

/// What the site's answer announces (its section "update").
struct TTWUpdateClass {
    bool Available = false;   ///< "update": an announcement is present
    int UpdateId = -1;        ///< "id"
    int Kind = -1;            ///< "type": 0 new version, 1 message, anything else ignored
    std::string Version;      ///< "v1"."v2"."v3", each "0" when missing
    std::string Text;         ///< "text", "Keine" when missing or empty
    std::string ReleaseDate;  ///< "date", "01.01.2000" when missing
};

/// Reads the site's answer; the other keys are read only when "update" is true.
TTWUpdateClass ReadUpdateAnswer(const TIniStore& answer);

/// The address that asks the site about this version: SiteUrl() + "/update.php?v1=6&v2=3&v3=2".
std::string UpdateRequestUrl();

/// The address of the setup download: SiteUrl() + "/download/setup.exe".
std::string SetupDownloadUrl();

/// Asks the product web site whether there is a new version or a message for this version, and
/// shows each announcement once unless the user asks to be reminded again. The announcements
/// shown are remembered in options.ini, section "Update", one key per id with the value "1".
class TTWUpdate {
  public:
    /// options_ini: options.ini; online: the application's flag that tells the gift tips
    /// whether the site can be reached (set by every check).
    TTWUpdate(TIndyEngine& engine, TIniStore& options_ini, bool& online);

    /// Runs after a successful download, before the answer is shown (the gift tips refresh here).
    std::function<void()> OnOnline;
    /// Brings the main window to the front before an announcement, when the program shows its
    /// tray icon (the callback decides).
    std::function<void()> OnBringToFront;

    /// The whole check. Silent (the automatic run) shows only announcements, never a failure or
    /// "nothing new". The answer is fetched into a temporary folder of its own, removed again.
    void CheckForUpdate(bool silent);

    /// False for -1; else whether the id is remembered.
    bool IsKnown(int update_id) const;
    /// Remembers the id (written to options.ini at once).
    void Remember(int update_id);
    /// Forgets the id (written to options.ini at once), so that the next check shows it again.
    void Forget(int update_id);

  private:
    /// Shows the announcement when there is a new one; false when a text does not fit its
    /// arguments. *shown tells whether a question was asked.
    bool ShowAnnouncement(const TTWUpdateClass& update, bool* shown);

    TIndyEngine* engine_;
    TIniStore* options_ini_;
    bool* online_;
};

}  // namespace tw
