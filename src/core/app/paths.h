#pragma once

#include <string>

namespace tw {

/// Folder of the running executable, without a trailing "/".
std::string ExecutableDir();

/// The program folder: the folder that holds "languages/". That is the executable's own folder
/// in the build tree, and <prefix>/share/tagwacht when installed under <prefix>/bin.
std::string FindProgramDir(const std::string& executable_dir);

/// The per-user data folder: TAGWACHT_DATA_DIR when set; else the first line of "savedir.txt"
/// in the program folder when it names an existing folder; else $XDG_DATA_HOME/Tagwacht
/// (~/.local/share/Tagwacht when XDG_DATA_HOME is unset or not absolute).
std::string ChooseDataDir(const std::string& program_dir);

/// Creates the folder and its missing parents. False with the error text when that fails.
bool EnsureDirectory(const std::string& path, std::string* error);

}  // namespace tw
