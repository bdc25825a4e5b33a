#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app/core_session.h"
#include "core/importexport/csv_export.h"
#include "core/importexport/csv_import.h"

namespace tw {

/// The backup file of the reminder program Birthday2000 (".geb"): Windows-1252 text with CR LF
/// line ends, a fixed header line, then one person per line in eight comma-separated, quoted
/// fields: date, name, e-mail address and five empty ones.

/// The header line, exactly as Birthday2000 writes it (63 characters).
inline constexpr std::string_view kBirthday2000Header =
    "\"00.00.0000\" , \"Name\"  , \"eMail\" , \" \" , \" \" , \" \" , \" \" , \" \" ";

/// What follows the three fields on every line: five empty quoted fields.
inline constexpr std::string_view kBirthday2000Tail = ",\"\",\"\",\"\",\"\",\"\"";

/// The columns of the backup: date, name, e-mail address.
inline const std::vector<TCsvField> kBirthday2000Fields = {TCsvField::Date, TCsvField::Name,
                                                           TCsvField::EMail};

/// Writes every entry of the collection, in collection order, as a Birthday2000 backup;
/// ".geb" is appended to the file name unless it has that extension. Characters that
/// Windows-1252 lacks are written as "?". Results and file handling as ExportCSV.
TCsvExportResult ExportBirthday2000(TCoreSession& session, const std::string& file_name,
                                    std::string* written_name = nullptr, std::string* error = nullptr);

/// Imports a Birthday2000 backup with the CSV reader: the header line is skipped, the columns
/// are date, name and e-mail address. Results as ImportCSV.
TCsvImportOutcome ImportBirthday2000(TCoreSession& session, const std::string& file_name);

}  // namespace tw
