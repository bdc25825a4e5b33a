#pragma once

#include <string>

#include "core/app/core_session.h"
#include "core/importexport/import_result.h"

namespace tw {

/// The data file of the program's versions up to 5.5 (".twd"): one byte N, the number of
/// records, then N records of 86 bytes: a name (length byte and up to 40 characters), a date
/// "day.month.year" (length byte and up to 10 characters) and a remark (length byte and up to 33
/// characters), in Windows-1252.
inline constexpr size_t kOldDataRecordSize = 86;

struct TOldDataOutcome {
    TImportResult Result = TImportResult::Failed;
    int Imported = 0;   ///< entries added (0 unless Done)
    int Skipped = 0;    ///< records not added: invalid ones and those missing from a short file
    std::string Error;  ///< why it failed
};

/// Adds every record of an old data file as a new entry with the standard reminder settings and
/// the id NextFreeId. Progress is reported as an import that can be cancelled; a cancel removes
/// the entries added, last first (Cancelled).
///
/// A record whose entry is not valid (a name shorter than 2 characters) is skipped and counted.
/// A file shorter than its records claim imports its complete records and counts the missing
/// ones as skipped; no byte beyond the end of the file is used. Failed, adding nothing, when the
/// file cannot be read, is empty, or holds a date that is no valid date. Every change is on disk
/// when the call returns.
TOldDataOutcome ImportOldData(TCoreSession& session, const std::string& file_name);

}  // namespace tw
