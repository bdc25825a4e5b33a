#pragma once

#include <string>
#include <vector>

#include "core/app/core_session.h"
#include "core/importexport/csv_split.h"

namespace tw {

/// The choices of the CSV export window.
struct TCsvExportSettings {
    std::vector<TCsvField> Fields;  ///< the columns, in file order; must not be empty
    std::string Separator = ";";    ///< blanks around it are removed before use
    bool Quote = true;              ///< every value in double quotes
    bool LastNameFirst = false;     ///< the name's first word is the last name
};

/// Outcome of an export; the values are the program's result codes.
enum class TCsvExportResult {
    Written = 0,
    Cancelled = 1,  ///< stopped through the progress window; no file was written
    Failed = 2,
};

/// Writes every entry of the collection, in collection order, as one line of delimited text in
/// UTF-8 with CR LF line ends. The file name gets ".csv" appended unless its extension is
/// ".csv" or ".txt" (in any case). Progress is reported as an export that can be cancelled.
///
/// The file is replaced in one step when the last line is written: a cancelled or failed
/// export leaves a file that was there before unchanged and creates none. Failed when no field
/// is given, the separator is blank, or the file cannot be written (the error text says why).
/// The name of the file written is stored in *written_name when given.
TCsvExportResult ExportCSV(TCoreSession& session, const TCsvExportSettings& settings,
                           const std::string& file_name, std::string* written_name = nullptr,
                           std::string* error = nullptr);

/// The writer behind ExportCSV and the Birthday2000 export. With birthday2000 the file name
/// gets ".geb" unless it has that extension, the file is written in Windows-1252, begins with
/// the Birthday2000 header line, and every line ends with five empty quoted fields.
TCsvExportResult ExportDelimited(TCoreSession& session, const TCsvExportSettings& settings, bool birthday2000,
                                 const std::string& file_name, std::string* written_name, std::string* error);

/// The value of one field of an entry as the export writes it (without quotes).
std::string CsvFieldValue(const TTWEntry& entry, TCsvField field, bool last_name_first);

/// The file name with the extension appended unless its extension (compared without case) is
/// one of the accepted ones; each is given with its dot, the first one is appended.
std::string WithExtension(const std::string& file_name, const std::vector<std::string>& accepted);

}  // namespace tw
