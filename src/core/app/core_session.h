#pragma once

#include <memory>
#include <string>

#include "core/entries/entries.h"
#include "core/ini/ini_files.h"
#include "core/languages/languages.h"

namespace tw {

/// What every front end builds first: the folders, the four data files, the current language
/// and the entry collection, in the order the program starts them.
class TCoreSession {
public:
    TCoreSession() = default;
    ~TCoreSession();
    TCoreSession(const TCoreSession&) = delete;
    TCoreSession& operator=(const TCoreSession&) = delete;

    std::string ProgramDir;   ///< the folder holding languages/
    std::string DataDir;      ///< the per-user data folder
    std::string LanguageDir;  ///< ProgramDir + "/languages"
    TTWIniFiles IniFiles;
    std::unique_ptr<TTWLanguages> Languages;
    TTWEntries Entries;

    /// Creates the data folder if needed, opens the four data files and loads the current
    /// language (installing it for GetText). False with the error text when a folder or file
    /// cannot be used or no language is available (the latter after the fatal-error report).
    bool Open(const std::string& program_dir, const std::string& data_dir, std::string* error);
};

}  // namespace tw
