#pragma once

#include <string>

namespace tw {

/// The desktop's autostart entry of the program: "Tagwacht6.desktop" in the user's XDG autostart
/// folder ($XDG_CONFIG_HOME/autostart, else ~/.config/autostart), which starts the program with
/// the switch "autostart".
class TAutostart {
public:
    /// program_path: the desktop program's executable, as the entry shall start it.
    explicit TAutostart(std::string program_path) : program_path_(std::move(program_path)) {}

    /// On: writes the entry (always, so a moved program is corrected); off: removes it. An older
    /// "Tagwacht.desktop" with the same command is removed, one with another command stays.
    /// Failures are not reported.
    void Set(bool on) const;

    /// The command line the entry holds.
    std::string Command() const;

    /// The autostart folder in use.
    static std::string Folder();

private:
    std::string program_path_;
};

}  // namespace tw
