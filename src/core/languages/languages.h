#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/ini/ini_store.h"

namespace tw {

/// One usable language file.
struct TTWLanguage {
    std::string Language;  ///< display name, [Information] Language
    std::string MadeBy;    ///< translator line, [Information] MadeBy
    std::string EMail;     ///< contact line, [Information] EMail
    std::unique_ptr<TIniStore> IniFile;  ///< the open file, kept until the program ends
    std::vector<std::string> Texts;      ///< [Strings] texts; filled for the current language only
    std::vector<std::string> Numbers;    ///< [Strings] keys, index-aligned with Texts
};

/// The language files of the program folder and the current language's texts.
class TTWLanguages {
public:
    /// language_dir: the folder "languages" of the program folder; options_ini: where the choice
    /// is kept (section "Language", key "CurrentLang").
    TTWLanguages(std::string language_dir, TIniStore& options_ini);

    std::string Current;                 ///< bare file name of the current language
    std::vector<TTWLanguage> Languages;  ///< usable files, in folder order

    /// Scans the folder and fills Languages. False after a fatal stop ("Wrong language file
    /// found").
    bool LoadLanguages();
    /// True when the file exists, reads as INI, has Language, MadeBy and EMail in [Information]
    /// and has a [Strings] section.
    bool IsValidLanguageFile(const std::string& name) const;
    int CountLanguages() const;
    /// "german.twl" when usable, else the first usable file; empty when there is none.
    std::string GetDefaultLanguage() const;
    /// Determines the current language from options.ini or the default, stores the default when
    /// it had to choose, and sets Current. Empty after a fatal stop (no languages at all).
    std::string GetCurrentLanguage();
    /// Stores the choice in options.ini, writes the file at once and sets Current.
    void SetCurrentLanguage(const std::string& name);
    /// Index of the record whose file has exactly this bare name, or -1.
    int IndexOfLanguage(const std::string& name) const;
    /// Fills Numbers and Texts of the current language; "<br>" becomes LF CR.
    void LoadStrings();
    /// The text of the number in the current language; the English error text when the number
    /// is missing; empty when no language is current.
    std::string GetText(int number) const;

    const std::string& LanguageDir() const { return language_dir_; }

private:
    std::vector<std::string> ScanFolder() const;

    std::string language_dir_;
    TIniStore* options_ini_;
    // First position of each [Strings] key of the current language, so a look-up does not walk
    // the list (the list fill asks for texts for every row).
    std::unordered_map<std::string, size_t> first_index_;
    int loaded_index_ = -1;
    std::string loaded_name_;  // Current when the texts were loaded
};

/// Installs the languages that GetText reads (not owned); nullptr before they exist.
void SetLanguages(const TTWLanguages* languages);

/// The text of that number in the current language; empty before languages exist.
std::string GetText(int number);

/// The text that GetText gives for a number the language file lacks.
inline constexpr const char* kMissingTextError = "Error. This String ist not available in this language.";

}  // namespace tw
