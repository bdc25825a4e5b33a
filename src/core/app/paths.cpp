#include "core/app/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/text/files.h"

namespace tw {

std::string ExecutableDir() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    return ExtractFileDir(std::string(buf, static_cast<size_t>(n)));
}

std::string FindProgramDir(const std::string& executable_dir) {
    if (DirectoryExists(executable_dir + "/languages")) return executable_dir;
    std::string installed = ExtractFileDir(executable_dir) + "/share/tagwacht";
    if (DirectoryExists(installed + "/languages")) return installed;
    return executable_dir;
}

std::string ChooseDataDir(const std::string& program_dir) {
    if (const char* forced = std::getenv("TAGWACHT_DATA_DIR"); forced && *forced) return forced;
    std::ifstream savedir(program_dir + "/savedir.txt");
    std::string line;
    if (savedir && std::getline(savedir, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        while (line.size() > 1 && line.back() == '/') line.pop_back();
        if (!line.empty() && DirectoryExists(line)) return line;
    }
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/Tagwacht";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/Tagwacht";
}

bool EnsureDirectory(const std::string& path, std::string* error) {
    if (path.empty() || DirectoryExists(path)) return true;
    std::string parent = ExtractFileDir(path);
    if (!parent.empty() && parent != path && !EnsureDirectory(parent, error)) return false;
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        if (error) *error = "Cannot create folder \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace tw
