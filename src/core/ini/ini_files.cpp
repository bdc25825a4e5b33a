#include "core/ini/ini_files.h"

namespace tw {

bool TTWIniFiles::Open(const std::string& data_dir, std::string* error) {
    OptionsIni.SetNewFileMode(0600, true);
    return EntriesIni.Open(data_dir + "/entries.ini", error) && EOptionsIni.Open(data_dir + "/eoptions.ini", error) &&
           OptionsIni.Open(data_dir + "/options.ini", error) && RemIni.Open(data_dir + "/rem.ini", error);
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
