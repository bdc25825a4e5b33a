#pragma once

#include <string>
#include <vector>

#include "core/app/core_session.h"
#include "core/importexport/csv_split.h"

namespace tw {

/// The choices of the CSV import window.
struct TCsvImportSettings {
    std::vector<TCsvField> Fields = {TCsvField::Name, TCsvField::Date};  ///< the columns, in file order
    bool SkipFirstLine = false;                                          ///< the first line is a header
};

/// Outcome of an import; the values are the program's result codes.
enum class TCsvImportResult {
    AllImported = 0,   ///< every line became an entry
    LinesSkipped = 1,  ///< at least one line gave no valid entry; the others were imported
    Failed = 2,        ///< nothing was imported (see TCsvImportOutcome::Error)
    Cancelled = 3,     ///< stopped through the progress window; what it had added is removed
};

struct TCsvImportOutcome {
    TCsvImportResult Result = TCsvImportResult::Failed;
    int Imported = 0;   ///< entries added (0 after a cancel)
    int Skipped = 0;    ///< lines that gave no valid entry
    std::string Error;  ///< why it failed, when the reason is more than "no valid line"
};

/// The entries that one import adds to the program's files and main collection. While it lives,
/// the write-backs of entries.ini, eoptions.ini and rem.ini are held off, so a large import
/// writes each file once; Finish (or the destructor) writes them.
class TImportBatch {
  public:
    explicit TImportBatch(TCoreSession& session);
    ~TImportBatch();
    TImportBatch(const TImportBatch&) = delete;
    TImportBatch& operator=(const TImportBatch&) = delete;

    /// Adds a new entry: a remark over 255 characters is cut to that length; an entry that is
    /// not valid, or whose e-mail address is longer than 255 characters, is refused (false).
    /// Otherwise the entry gets the id NextFreeId, is written to the files and appended to the
    /// main collection.
    bool Add(TTWEntry entry);
    /// Number of entries added and not rolled back.
    int Count() const { return static_cast<int>(ids_.size()); }
    /// Removes every added entry, last first, from the files and the collection.
    void RollBack();
    /// Writes the three files. When that fails the added entries are rolled back (and the
    /// files written again where possible); false with the error text.
    bool Finish(std::string* error);

  private:
    TCoreSession& session_;
    std::vector<int> ids_;
    TDeferredWriteBack entries_write_;
    TDeferredWriteBack options_write_;
    TDeferredWriteBack rem_write_;
    bool finished_ = false;
};

/// True when the fields are enough for an import: the date, and the name or both first and last
/// name. The import window refuses other selections with text 129.
bool IsCompleteImportSelection(const std::vector<TCsvField>& fields);

/// Reads a delimited text file line by line (separator guessed per line, quotes honoured) and
/// adds one entry per line that gives a valid entry, with the standard reminder settings and
/// the id NextFreeId. A line without a readable date, or whose entry is not valid, is skipped.
/// First and last name are joined into the name in either column order. Progress is reported
/// as an import that can be cancelled; a cancel removes the entries added, last first.
///
/// Failed, adding nothing, when the file cannot be read, is no text file, holds no line at all,
/// or has lines to import of which none gives an entry (a file holding only the skipped first
/// line imports nothing and counts as AllImported). Every change is on disk when the call
/// returns; when writing fails, nothing stays added and the result is Failed with the error.
TCsvImportOutcome ImportCSV(TCoreSession& session, const TCsvImportSettings& settings,
                            const std::string& file_name);

}  // namespace tw
