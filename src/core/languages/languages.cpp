#include "core/languages/languages.h"

#include <dirent.h>

#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

const TTWLanguages* g_languages = nullptr;

constexpr const char* kDefaultLanguage = "german.twl";

}  // namespace

TTWLanguages::TTWLanguages(std::string language_dir, TIniStore& options_ini)
    : language_dir_(std::move(language_dir)), options_ini_(&options_ini) {}

std::vector<std::string> TTWLanguages::ScanFolder() const {
    std::vector<std::string> names;
    DIR* dir = opendir(language_dir_.c_str());
    if (!dir) return names;
    while (dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        if (MatchesMask(name, "*.twl") && FileExists(language_dir_ + "/" + name)) names.push_back(name);
    }
    closedir(dir);
    return names;
}

bool TTWLanguages::IsValidLanguageFile(const std::string& name) const {
    std::string path = language_dir_ + "/" + name;
    if (!FileExists(path)) return false;
    TIniStore file;
    if (!file.Open(path)) return false;
    return file.ValueExists("Information", "Language") && file.ValueExists("Information", "MadeBy") &&
           file.ValueExists("Information", "EMail") && file.SectionExists("Strings");
}

bool TTWLanguages::LoadLanguages() {
    Languages.clear();
    if (!DirectoryExists(language_dir_)) return true;
    for (const std::string& name : ScanFolder()) {
        if (!IsValidLanguageFile(name)) continue;
        TTWLanguage language;
        language.IniFile = std::make_unique<TIniStore>();
        if (!language.IniFile->Open(language_dir_ + "/" + name)) {
            ShowFatalError("Wrong language file found");
            return false;
        }
        language.Language = language.IniFile->ReadString("Information", "Language", "");
        language.MadeBy = language.IniFile->ReadString("Information", "MadeBy", "");
        language.EMail = language.IniFile->ReadString("Information", "EMail", "");
        Languages.push_back(std::move(language));
    }
    return true;
}

int TTWLanguages::CountLanguages() const {
    if (!DirectoryExists(language_dir_)) return 0;
    int count = 0;
    for (const std::string& name : ScanFolder()) count += IsValidLanguageFile(name);
    return count;
}

std::string TTWLanguages::GetDefaultLanguage() const {
    if (!DirectoryExists(language_dir_)) return "";
    if (FileExists(language_dir_ + "/" + kDefaultLanguage) && IsValidLanguageFile(kDefaultLanguage))
        return kDefaultLanguage;
    for (const std::string& name : ScanFolder())
        if (IsValidLanguageFile(name)) return name;
    return "";
}

std::string TTWLanguages::GetCurrentLanguage() {
    std::string result;
    if (options_ini_->ValueExists("Language", "CurrentLang")) {
        std::string stored = options_ini_->ReadString("Language", "CurrentLang", "");
        // A stored name is a bare file name; anything with a folder part is not a language.
        if (stored.find('/') == std::string::npos && IsValidLanguageFile(stored)) result = stored;
        else ShowError("The selected language file is not available");
    }
    if (result.empty()) {
        if (CountLanguages() == 0) {
            ShowFatalError("There are no languages available");
            return "";
        }
        result = GetDefaultLanguage();
        SetCurrentLanguage(result);
    }
    Current = result;
    return result;
}

void TTWLanguages::SetCurrentLanguage(const std::string& name) {
    options_ini_->WriteString("Language", "CurrentLang", name);
    std::string error;
    if (!options_ini_->UpdateFile(&error)) ShowError(error);
    Current = name;
}

int TTWLanguages::IndexOfLanguage(const std::string& name) const {
    for (size_t i = 0; i < Languages.size(); ++i)
        if (Languages[i].IniFile && ExtractFileName(Languages[i].IniFile->FileName()) == name)
            return static_cast<int>(i);
    return -1;
}

void TTWLanguages::LoadStrings() {
    int index = IndexOfLanguage(Current);
    first_index_.clear();
    loaded_index_ = index;
    loaded_name_ = Current;
    if (index < 0) return;
    TTWLanguage& language = Languages[static_cast<size_t>(index)];
    language.Numbers.clear();
    language.Texts.clear();
    for (const std::string& line : language.IniFile->ReadSectionLines("Strings")) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        first_index_.emplace(key, language.Numbers.size());
        language.Numbers.push_back(std::move(key));
        language.Texts.push_back(ReplaceAll(std::string_view(line).substr(eq + 1), "<br>", "\n\r"));
    }
}

std::string TTWLanguages::GetText(int number) const {
    // The texts loaded are those of the current language unless Current changed since.
    int index = loaded_index_ >= 0 && loaded_name_ == Current ? loaded_index_ : IndexOfLanguage(Current);
    if (index < 0) return "";
    const TTWLanguage& language = Languages[static_cast<size_t>(index)];
    if (index != loaded_index_) return kMissingTextError;
    auto hit = first_index_.find(std::to_string(number));
    if (hit == first_index_.end() || hit->second >= language.Texts.size()) return kMissingTextError;
    return language.Texts[hit->second];
}

void SetLanguages(const TTWLanguages* languages) { g_languages = languages; }

std::string GetText(int number) { return g_languages ? g_languages->GetText(number) : ""; }

}  // namespace tw
