#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/ini/ini_store.h"
#include "core/languages/languages.h"
#include "core/text/clock.h"
#include "core/text/messages.h"

namespace tw::test {

/// Records every message box and fatal stop instead of showing them; questions are answered
/// from a queue (default: the first button).
class TRecordingMessages : public TMessages {
public:
    TRecordingMessages() { SetMessages(this); }
    ~TRecordingMessages() override { SetMessages(nullptr); }

    TMsgAnswer MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon) override;
    void FatalStop() override { ++FatalStops; }

    std::vector<std::string> Boxes;
    std::vector<TMsgIcon> Icons;
    std::vector<TMsgAnswer> Answers;  ///< answers for Yes/No boxes, used from the front
    int FatalStops = 0;
};

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

/// Writes a file with the given bytes, creating nothing else.
void WriteFile(const std::string& path, const std::string& bytes);
/// The whole file, or "" when missing.
std::string ReadFile(const std::string& path);

/// A language set for tests: a language folder holding "test.twl" whose [Strings] text for
/// number N is "T<N>" unless given otherwise, made current and installed for GetText.
/// extra_sections is appended to the file as written (window sections).
class TTestLanguage {
public:
    explicit TTestLanguage(std::map<int, std::string> texts = {}, const std::string& extra_sections = "");
    ~TTestLanguage();
    const TTWLanguages& Languages() const { return languages_; }

private:
    TTempDir dir_;
    TIniStore options_;
    TTWLanguages languages_;
};

/// Installs a fixed clock for the lifetime of the object.
class TScopedClock {
public:
    explicit TScopedClock(TDateTime now) : clock_(now) { SetClock(&clock_); }
    ~TScopedClock() { SetClock(nullptr); }
    void Set(TDateTime now) { clock_.Set(now); }

private:
    TFixedClock clock_;
};

/// A date value for a test; fails the test on an impossible date.
TDateTime D(int day, int month, int year);

}  // namespace tw::test
