#include "core/app/core_session.h"

#include "core/app/paths.h"

namespace tw {

TCoreSession::~TCoreSession() {
    if (Languages) SetLanguages(nullptr);
}

bool TCoreSession::Open(const std::string& program_dir, const std::string& data_dir, std::string* error) {
    ProgramDir = program_dir;
    DataDir = data_dir;
    LanguageDir = program_dir + "/languages";
    if (!EnsureDirectory(DataDir, error) || !IniFiles.Open(DataDir, error)) return false;
    Languages = std::make_unique<TTWLanguages>(LanguageDir, IniFiles.OptionsIni);
    if (!Languages->LoadLanguages() || Languages->GetCurrentLanguage().empty()) {
        if (error) *error = "There are no languages available";
        return false;
    }
    Languages->LoadStrings();
    SetLanguages(Languages.get());
    return true;
}

}  // namespace tw
