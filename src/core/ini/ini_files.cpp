#include "core/ini/ini_files.h"

#include <thread>

namespace tw {

bool TTWIniFiles::Open(const std::string& data_dir, std::string* error) {
    OptionsIni.SetNewFileMode(0600, true);
    // The two big files are read side by side; they share nothing, and the program waits for both
    // before it goes on, so nothing else runs meanwhile.
    std::string options_error;
    bool options_ok = true;
    std::thread second([&] { options_ok = EOptionsIni.Open(data_dir + "/eoptions.ini", &options_error); });
    bool entries_ok = EntriesIni.Open(data_dir + "/entries.ini", error);
    second.join();
    if (!entries_ok) return false;
    if (!options_ok) {
        if (error) *error = options_error;
        return false;
    }
    return OptionsIni.Open(data_dir + "/options.ini", error) && RemIni.Open(data_dir + "/rem.ini", error);
}

bool TTWIniFiles::WriteAll(std::string* error) {
    bool ok = true;
    std::string errors;
    for (TIniStore* store : {&EntriesIni, &EOptionsIni, &OptionsIni, &RemIni}) {
        std::string one;
        if (!store->UpdateFile(&one)) {
            ok = false;
            errors += (errors.empty() ? "" : "\r\n") + one;
        }
    }
    if (!ok && error) *error = errors;
    return ok;
}

}  // namespace tw
