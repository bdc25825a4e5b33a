#pragma once

#include <string>
#include <string_view>

#include "core/entries/entry.h"
#include "core/ini/ini_files.h"
#include "core/ini/ini_store.h"

namespace tw {

/// Outcome of reading one entry.
enum class TReadEntryResult {
    Valid,
    /// The entry failed IsValid. From the program's own files it has been reported, moved to
    /// entries.invalid.ini and the program asked to stop (TMessages::FatalStop); from other files
    /// (an archive being imported) it has been reported and nothing was touched.
    Invalid,
};

/// Fills the entry from the program's own files (entries.ini and eoptions.ini), repairing and
/// reporting missing or damaged keys.
TReadEntryResult ReadEntry(TTWEntry& entry, int id, TTWIniFiles& files);

/// Fills the entry from other stores (the unpacked files of an archive). Picture paths are kept
/// even when the file is missing; an invalid entry is reported and left alone.
TReadEntryResult ReadEntry(TTWEntry& entry, int id, TIniStore& entries, TIniStore& reminders);

/// Writes the entry to entries.ini and eoptions.ini (in memory; the files are written at their
/// next write-back point). Sets the occurrence mark of the entry's current age.
void WriteEntry(const TTWEntry& entry, TTWIniFiles& files);

/// Erases the entry's sections in entries.ini, eoptions.ini and rem.ini and deletes its picture.
void DeleteEntryData(const TTWEntry& entry, TTWIniFiles& files);

/// Moves the sections of an entry out of entries.ini, eoptions.ini and rem.ini into
/// entries.invalid.ini in the same folder, so the user can repair them, and writes all four
/// files. The copy is on disk before anything is removed; on failure nothing is removed and the
/// error text is filled.
bool QuarantineEntry(int id, TTWIniFiles& files, std::string* error);

/// Name of 2..255 characters, e-mail empty or valid, both reminder sets not empty, a date that
/// can be written as text.
bool IsValid(const TTWEntry& entry);

TRememberOptions ReadRememberOptions(TIniStore& store, std::string_view section);
TRememberTimes ReadRememberTimes(TIniStore& store, std::string_view section);
void WriteRememberOptions(TRememberOptions options, TIniStore& store, std::string_view section);
void WriteRememberTimes(TRememberTimes times, TIniStore& store, std::string_view section);

/// Name of the file next to entries.ini that holds entries moved out because they were invalid.
inline constexpr const char* kInvalidEntriesFile = "entries.invalid.ini";

}  // namespace tw
