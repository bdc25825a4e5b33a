#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/test_support.h"
#include "ui/main_window.h"
#include "ui/tagwacht.h"

namespace tw::test {

/// An entry for a window test: name and date text, the standard reminder settings.
struct TFixtureEntry {
    std::string Name;
    std::string Date;  ///< dd.mm.yyyy
    /// Changes the entry before it is written (channels, times, mail fields).
    std::function<void(TTWEntry&)> Change = {};
    /// Keys written as "1" into the entry's section of entries.ini (occurrence marks "REM_<n>").
    std::vector<std::string> Marks = {};
    /// Further keys of that section, written as they are (keys the program never writes).
    std::vector<std::pair<std::string, std::string>> Keys = {};
    /// Only the marks above: without them the entry counts as never reminded (caught up).
    bool OnlyTheseMarks = false;
};

/// A data folder with entries, the application object built on it with the shipped language
/// files, and the main window loaded as start-up loads it; message boxes are recorded. The
/// autostart folder is a temporary one.
class TMainWindowFixture {
public:
    explicit TMainWindowFixture(const std::vector<TFixtureEntry>& entries, bool then_close = false,
                                bool autostart_argument = false);
    ~TMainWindowFixture();

    TTagwacht& App() { return *app_; }
    TfMain& Window() { return *window_; }
    TRecordingMessages& Messages() { return messages_; }
    const TTempDir& DataDir() const { return data_; }
    /// The names in the list from the top.
    std::vector<std::string> ListedNames() const;
    /// Highlights these rows (the first becomes the current row).
    void Highlight(const std::vector<int>& rows);

private:
    TTempDir data_;
    TTempDir config_;
    std::string old_config_home_;
    TRecordingMessages messages_;
    std::unique_ptr<TTagwacht> app_;
    std::unique_ptr<TfMain> window_;
};

}  // namespace tw::test
