#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace tw {

/// Upper bound of the data an archive may unpack to, per member and in all; far above any real
/// set of entries and pictures, and a stop for archives built to expand without end.
inline constexpr std::uint64_t kMaxUnpackedBytes = std::uint64_t{2} << 30;

/// How much an unpack run reads before it gives up.
struct TUnpackLimits {
    std::uint64_t MaxMemberBytes = kMaxUnpackedBytes;  ///< one member, as unpacked
    std::uint64_t MaxTotalBytes = kMaxUnpackedBytes;   ///< every member read, extracted or only checked
};

/// What the import does with a member, judged by its name alone.
enum class TArchiveMember {
    EntriesFile,    ///< "entries.ini" at the root (letter case ignored)
    EOptionsFile,   ///< "eoptions.ini" at the root
    Picture,        ///< "*.jpg", "*.jpeg" or "*.bmp" at the root
    Unused,         ///< any other name at the root: checked, not extracted
    FolderPicture,  ///< a picture in a subfolder, as the export stores them: checked, not extracted
    Refused,        ///< empty, absolute, with a "." or ".." part, or another file in a folder
};

/// Classifies a member name; "/" and "\" both separate folders.
TArchiveMember ClassifyArchiveMember(std::string_view name);

/// The files an unpack run wrote.
struct TUnpackedArchive {
    bool EntriesFile = false;        ///< temp_dir/entries.ini
    bool EOptionsFile = false;       ///< temp_dir/eoptions.ini
    std::set<std::string> Pictures;  ///< names of the files in images_dir
};

/// Reads an archive file without ever writing to it: its first four bytes (the marker, or the
/// ZIP signature an older import left) are read as the ZIP signature 50 4B 03 04. Every member
/// is decrypted with kArchivePassword (plain members are read as they are) and checked against
/// its CRC; the two entry files are extracted into temp_dir and the root pictures into
/// images_dir (both folders must exist), replacing files of the same name. Lets window messages
/// run after each member.
///
/// False with the error text on the first member that cannot be read, is refused by its name,
/// is not a plain file (folder, link, device) or exceeds the limits; files extracted before stay
/// and are listed in unpacked.
bool UnpackArchive(const std::string& file_name, const std::string& temp_dir, const std::string& images_dir,
                   const TUnpackLimits& limits, TUnpackedArchive* unpacked, std::string* error);

}  // namespace tw
