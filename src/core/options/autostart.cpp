#include "core/options/autostart.h"

#include <unistd.h>

#include <cstdlib>

#include "core/app/paths.h"
#include "core/ini/ini_store.h"
#include "core/text/files.h"

namespace tw {
namespace {

constexpr const char* kEntryFile = "Tagwacht6.desktop";
constexpr const char* kOlderEntryFile = "Tagwacht.desktop";

std::string ExecOf(const std::string& path) {
    TIniStore entry;
    if (!FileExists(path) || !entry.Open(path)) return "";
    return entry.ReadString("Desktop Entry", "Exec", "");
}

}  // namespace

std::string TAutostart::Folder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/autostart";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/autostart";
}

std::string TAutostart::Command() const { return "\"" + program_path_ + "\" \"autostart\""; }

void TAutostart::Set(bool on) const {
    const std::string folder = Folder();
    const std::string current = folder + "/" + kEntryFile;
    const std::string older = folder + "/" + kOlderEntryFile;
    if (FileExists(older) && FileExists(current) && ExecOf(older) == ExecOf(current)) unlink(older.c_str());
    if (!on) {
        unlink(current.c_str());
        return;
    }
    if (!EnsureDirectory(folder, nullptr)) return;
    const std::string text =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Tagwacht\n"
        "Comment=Erinnert an Geburtstage und Jahrestage\n"
        "Exec=" + Command() + "\n"
        "Icon=tagwacht\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n";
    WriteFileAtomically(current, text, nullptr, 0644);
}

}  // namespace tw
