#pragma once

#include <string>

#include "core/app/core_session.h"
#include "core/importexport/import_result.h"

namespace tw {

/// How the members of an exported archive are stored.
enum class TArchiveCompression {
    Deflate,  ///< Deflate at the highest level
    Store,    ///< no compression
};

/// The password of every archive the program writes and reads (traditional PKWARE encryption).
/// Archives can only be exchanged between builds that use the same constant.
inline constexpr char kArchivePassword[] = "Tagwacht6-Zq4.Lm8_Vr2:Kd7+Hx3=Nb9,Pw5@Jc1";
static_assert(sizeof(kArchivePassword) == 41 + 1);

/// The four bytes that stand at the start of an archive file instead of the ZIP signature
/// 50 4B 03 04 of its first member: "TW" and two zero bytes.
inline constexpr char kArchiveMarker[4] = {'T', 'W', '\0', '\0'};

/// Folders below the data folder that an import unpacks into; they exist only while it runs.
inline constexpr const char* kImportTempFolder = "temp";
inline constexpr const char* kImagesFolder = "images";

/// Asks text 115 (Yes/No, question icon): Yes compresses, No stores.
TArchiveCompression AskArchiveCompression();

/// Writes the archive of the data folder: "entries.ini" and "eoptions.ini", then every picture of
/// the folder "images" matching "*.jpg", then "*.jpeg", then "*.bmp" (letter case ignored),
/// pictures in subfolders under their path relative to "images". Every member is encrypted with
/// kArchivePassword; the file starts with kArchiveMarker. ".twf" is appended unless the name
/// already ends so (in any case). The file is replaced in one step, so a failed export leaves an
/// earlier file of that name as it was. Progress is shown as an export without a total that
/// cannot be cancelled. False on any failure.
bool ExportArchive(TCoreSession& session, const std::string& file_name, TArchiveCompression compression);

/// Adds every entry of an archive as a new entry with the id NextFreeId, its picture moved into
/// the folder "images" under the new id. The archive file is only read, never written.
///
/// Failed, adding nothing, when the file is missing, cannot be unpacked (wrong password, damaged
/// member, a member that is a link or no plain file, a name that leads out of the archive's root,
/// more than 2 GiB of unpacked data), lacks one of the two entry files, or when the
/// added entries cannot be saved; the reason is reported with ShowError unless the file is
/// missing. An entry of the archive that is not valid is reported and skipped; the program's own
/// entries are never touched on its account. Cancelled through the progress window: every entry
/// added is removed again, last first. Every change is on disk when the call returns; the main
/// collection is loaded anew from the data files whenever entries were written.
TImportResult ImportArchive(TCoreSession& session, const std::string& file_name);

}  // namespace tw
