#pragma once

#include <string>

#include "core/ini/ini_store.h"

namespace tw {

/// The four data files of the data folder, opened in this order.
struct TTWIniFiles {
    TIniStore EntriesIni;   ///< entries.ini: one section per entry, its data and occurrence marks
    TIniStore EOptionsIni;  ///< eoptions.ini: one section per entry, its reminder options and times
    TIniStore OptionsIni;   ///< options.ini: program options, layout, language, update notices
    TIniStore RemIni;       ///< rem.ini: one section per entry, the days it was reminded

    /// Opens the four files in the data folder (missing files are empty stores). options.ini is
    /// created readable by its owner only, as it holds the mail password. False with the error
    /// text when a file exists but cannot be read.
    bool Open(const std::string& data_dir, std::string* error);

    /// Writes every store that holds changes; false with the errors of the stores that failed.
    bool WriteAll(std::string* error);
};

}  // namespace tw
