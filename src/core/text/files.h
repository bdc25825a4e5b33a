#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

/// Size in bytes of the file at the path; 0 when there is none or the path is a folder.
std::uint64_t GetFileSize(const std::string& path);

/// Deletes every file matching the mask ("*" and "?" wildcards) in the folder and, recursively,
/// in each subfolder whose name does not start with "."; folders stay. Files that cannot be
/// deleted are skipped silently.
void DeleteFiles(const std::string& folder_and_mask);

/// True when the name matches a file mask with "*" and "?", ignoring the case of A–Z.
bool MatchesMask(std::string_view name, std::string_view mask);

/// Reads a whole file. Returns false and fills the error text when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string* bytes, std::string* error);

/// Replaces the file's content in one step: writes a temporary file in the same folder, flushes
/// it to disk and renames it over the file, so a crash or a full disk never leaves a half-written
/// file. Returns false and fills the error text on failure; the old file is then unchanged. A new
/// file gets the permission bits given (before the umask); an existing file keeps its own.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         unsigned new_file_mode = 0666);

/// Writes a file in one step, as WriteFileAtomically does, from pieces: the content goes to a
/// temporary file in the same folder and replaces the file only at Commit. Without Commit the
/// temporary file is removed and the old file stays.
class TAtomicFile {
public:
    TAtomicFile() = default;
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    /// Creates the temporary file; false with the error text when that fails. The file gets the
    /// mode of the file it replaces, or new_file_mode (before the umask) when it is new or when
    /// force_mode is set.
    bool Begin(const std::string& path, std::string* error, unsigned new_file_mode = 0666, bool force_mode = false);
    /// Appends bytes (buffered); a failure is remembered and reported by Commit.
    void Write(std::string_view bytes);
    /// Flushes, syncs and renames over the file; false with the error text on failure.
    bool Commit(std::string* error);

private:
    bool Flush();
    void Abandon();

    std::string path_;
    std::string temp_;
    std::string buffer_;
    int fd_ = -1;
    int errno_ = 0;
};

/// True when a file (not a folder) exists at the path.
bool FileExists(const std::string& path);

/// True when a folder exists at the path.
bool DirectoryExists(const std::string& path);

/// The path's last component.
std::string ExtractFileName(std::string_view path);

/// The path without its last component and without the trailing "/".
std::string ExtractFileDir(std::string_view path);

}  // namespace tw
