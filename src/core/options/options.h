#pragma once

#include <string>
#include <vector>

#include "core/entries/list_view.h"
#include "core/entries/remember_sets.h"
#include "core/ini/ini_store.h"
#include "core/options/autostart.h"

namespace tw {

/// The SMTP server.
struct TTWEMailServerOptions {
    std::string Server;
    int Port = 0;  ///< 1..9999
    bool AuthenticationRequired = false;
    std::string Username;
    std::string Password;  ///< plain in memory, enciphered in options.ini
};

/// The standard reminder e-mail (the same fields an entry has of its own).
struct TTWEmailOptions {
    std::string EmailTo;
    std::string EmailFrom;
    std::string EmailText;     ///< line breaks stored as backslash and "n"
    std::string EmailSubject;  ///< never empty after loading
    bool EmailOnly = false;
};

/// How the program behaves.
struct TTWProgramOptions {
    bool Autostart = false;
    bool ThenClose = false;
    bool Updatecheck = false;
    bool OnceDay = false;
    int DblList = 0;            ///< double-click on an entry: 0 details, 1 edit, 2 delete
    bool DblEmptyList = false;  ///< double-click on the empty list: false new entry, true nothing
    std::string RememberSound;  ///< full path of the WAV file, may be empty
    std::string TimeServer;
    bool AutoTimeSync = false;
    bool AutoCloseRememberWindow = false;
};

/// The main window's geometry and list column widths, as the window shows them.
struct TWindowLayout {
    int Width = 0;
    int Height = 0;
    int Left = 0;
    int Top = 0;
    bool Maximized = false;
    std::vector<int> ColumnWidths;  ///< one per list column, index = column
};

/// The main window as designed, before any options were saved.
TWindowLayout DesignLayout();

/// All user settings.
struct TTWOptions {
    int Width = 0;
    int Height = 0;
    int Left = 0;
    int Top = 0;
    bool Maximized = false;
    TRememberTimes RememberTimes;
    TRememberOptions RememberOptions;
    TTWEMailServerOptions MailServer;
    TTWEmailOptions MailDefaults;
    TTWProgramOptions ProgramOptions;
    std::vector<int> ColumnWidths;  ///< stored widths of the list columns, index = column (0 hidden)
};

/// What loading and saving the options work with besides the record.
struct TOptionsFiles {
    TIniStore& OptionsIni;
    std::string ProgramDir;       ///< where notify.wav lies
    const TAutostart& Autostart;  ///< the desktop entry that autostart switches
};

/// Save modes.
enum class TSaveMode {
    Full,          ///< layout, then every setting
    LayoutOnly,    ///< window geometry, column widths, sort state
    TimeSyncOnly,  ///< only "AutoTimeSync"
};

/// On the first start (no "OptionsSet"): writes the marker and the defaults (reminder days 0, 1,
/// 5, 7, 14 and 21, sound and keyboard lights, port 25, update check, notify.wav) with the given
/// layout. Does nothing afterwards.
void WriteDefaultOptions(TTWOptions& options, TOptionsFiles& files, const TWindowLayout& layout,
                         const TListSortState& sort);

/// Fills the options from options.ini (writing the defaults first on the first start), repairing
/// and reporting damaged keys, applies the autostart value and turns the stored sort state into
/// the list's (the direction negated, so the first sort restores it). list_columns: the number of
/// columns of the main list, whose stored widths are read.
void LoadOptions(TTWOptions& options, TOptionsFiles& files, TListSortState& sort, int list_columns,
                 const TWindowLayout& design = DesignLayout());

/// Writes options.ini in the given mode and writes the file to disk; a failure is reported.
/// layout: the main window as it is now. The options record is not changed.
void SaveOptions(const TTWOptions& options, TOptionsFiles& files, TSaveMode mode, const TWindowLayout& layout,
                 const TListSortState& sort);

/// True when the path is usable as reminder sound: the file exists (else text 36), is at most
/// 1,024,000 bytes (text 35) and ends in ".wav" (text 34). Unless quiet, the reason is shown.
bool CheckSoundFile(const std::string& path, bool quiet);

}  // namespace tw
