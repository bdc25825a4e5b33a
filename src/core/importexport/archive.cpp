#include "core/importexport/archive.h"

#include <archive.h>
#include <archive_entry.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <utility>
#include <vector>

#include "core/importexport/progress.h"
#include "core/languages/languages.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

// Passes the archive's bytes to the file being written, with bytes 0-3 as the marker. The file
// appears under its name only when it is complete, so it never exists without its marker.
class TMarkedArchiveWriter {
  public:
    explicit TMarkedArchiveWriter(TAtomicFile& file) : file_(file) {}

    int Attach(archive* a) {
        return archive_write_open2(a, this, nullptr, &TMarkedArchiveWriter::Write, nullptr, nullptr);
    }

  private:
    static la_ssize_t Write(archive*, void* data, const void* buffer, size_t length) {
        auto* self = static_cast<TMarkedArchiveWriter*>(data);
        std::string_view bytes(static_cast<const char*>(buffer), length);
        if (self->offset_ < sizeof(kArchiveMarker)) {
            std::string head(bytes.substr(0, sizeof(kArchiveMarker) - self->offset_));
            for (size_t i = 0; i < head.size(); ++i) head[i] = kArchiveMarker[self->offset_ + i];
            self->file_.Write(head);
            bytes.remove_prefix(head.size());
            self->offset_ += head.size();
        }
        self->file_.Write(bytes);
        self->offset_ += bytes.size();
        return static_cast<la_ssize_t>(length);
    }

    TAtomicFile& file_;
    size_t offset_ = 0;
};

struct TArchiveWriteDeleter {
    void operator()(archive* a) const { archive_write_free(a); }
};

std::string LibraryError(archive* a) {
    const char* text = archive_error_string(a);
    return text ? text : "unknown error";
}

// The name with ".twf" appended unless its extension already is ".twf" in any letter case.
std::string ArchiveFileName(const std::string& file_name) {
    std::string name = ExtractFileName(file_name);
    size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    return LowerAscii(extension) == ".twf" ? file_name : file_name + ".twf";
}

// What a data file holds: the file byte for byte, or the store's text when it holds changes
// that are not on disk yet (or the file is missing), so the archive carries what the user sees.
std::string DataFileBytes(const TIniStore& store) {
    std::string bytes;
    if (!store.Modified() && ReadFileBytes(store.FileName(), &bytes, nullptr)) return bytes;
    return store.ToText();
}

std::time_t ModificationTime(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mtime : std::time(nullptr);
}

class TArchiveWriter {
  public:
    bool Begin(const std::string& path, TArchiveCompression compression, std::string* error) {
        path_ = path;
        if (!file_.Begin(path, error)) return false;
        writer_.reset(archive_write_new());
        archive* a = writer_.get();
        // Traditional encryption; Zip64 records are never written (members beyond 4 GiB are
        // refused instead).
        const char* options =
            compression == TArchiveCompression::Deflate
                ? "zip:encryption=zipcrypt,zip:compression=deflate,zip:compression-level=9,zip:!zip64"
                : "zip:encryption=zipcrypt,zip:compression=store,zip:!zip64";
        if (!a || archive_write_set_format_zip(a) != ARCHIVE_OK ||
            archive_write_set_options(a, options) != ARCHIVE_OK ||
            archive_write_set_passphrase(a, kArchivePassword) != ARCHIVE_OK ||
            archive_write_set_bytes_in_last_block(a, 1) != ARCHIVE_OK || marked_.Attach(a) != ARCHIVE_OK)
            return Fail(a ? LibraryError(a) : "out of memory", error);
        return true;
    }

    bool AddBytes(const std::string& name, std::string_view bytes, std::time_t mtime, std::string* error) {
        if (!Header(name, bytes.size(), mtime, error)) return false;
        return Data(bytes, error);
    }

    bool AddFile(const std::string& name, const std::string& path, std::string* error) {
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || fstat(fd, &st) != 0) {
            if (fd >= 0) close(fd);
            *error = "Cannot open file \"" + path + "\": " + std::strerror(errno);
            return false;
        }
        bool ok = Header(name, static_cast<std::uint64_t>(st.st_size), st.st_mtime, error);
        std::vector<char> buffer(1 << 16);
        std::uint64_t done = 0;
        while (ok) {
            ssize_t got = read(fd, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                *error = "Cannot read file \"" + path + "\": " + std::strerror(errno);
                ok = false;
            } else if (got == 0) {
                break;
            } else {
                done += static_cast<std::uint64_t>(got);
                ok = Data(std::string_view(buffer.data(), static_cast<size_t>(got)), error);
            }
        }
        close(fd);
        if (ok && done != static_cast<std::uint64_t>(st.st_size)) {
            *error = "The file \"" + path + "\" changed while it was being stored.";
            ok = false;
        }
        return ok;
    }

    bool Finish(std::string* error) {
        if (archive_write_close(writer_.get()) != ARCHIVE_OK) return Fail(LibraryError(writer_.get()), error);
        return file_.Commit(error);
    }

  private:
    bool Header(const std::string& name, std::uint64_t size, std::time_t mtime, std::string* error) {
        std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(),
                                                                       archive_entry_free);
        archive_entry_set_pathname(entry.get(), name.c_str());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(size));
        archive_entry_set_mtime(entry.get(), mtime, 0);
        if (archive_write_header(writer_.get(), entry.get()) < ARCHIVE_WARN)
            return Fail("\"" + name + "\": " + LibraryError(writer_.get()), error);
        return true;
    }

    bool Data(std::string_view bytes, std::string* error) {
        if (bytes.empty()) return true;
        if (archive_write_data(writer_.get(), bytes.data(), bytes.size()) !=
            static_cast<la_ssize_t>(bytes.size()))
            return Fail(LibraryError(writer_.get()), error);
        return true;
    }

    bool Fail(const std::string& detail, std::string* error) {
        *error = "Cannot write the archive \"" + path_ + "\": " + detail;
        return false;
    }

    std::string path_;
    TAtomicFile file_;
    TMarkedArchiveWriter marked_{file_};
    std::unique_ptr<archive, TArchiveWriteDeleter> writer_;
};

// Paths relative to the folder of every file matching the mask: the folder's own files in name
// order, then each subfolder in the same way. Links to folders are not followed (no loops).
void CollectPictures(const std::string& folder, const std::string& relative, const std::string& mask,
                     std::vector<std::string>* found) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (dirent* item = readdir(dir)) names.emplace_back(item->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    std::vector<std::string> subfolders;
    for (const std::string& name : names) {
        if (name == "." || name == "..") continue;
        std::string path = folder + "/" + name;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode))
            subfolders.push_back(name);
        else if (FileExists(path) && MatchesMask(name, mask))
            found->push_back(relative + name);
    }
    for (const std::string& sub : subfolders)
        CollectPictures(folder + "/" + sub, relative + sub + "/", mask, found);
}

bool WriteArchive(TCoreSession& session, const std::string& path, TArchiveCompression compression,
                  std::string* error) {
    TArchiveWriter writer;
    if (!writer.Begin(path, compression, error)) return false;
    const std::pair<const char*, const TIniStore*> data_files[] = {
        {"entries.ini", &session.IniFiles.EntriesIni}, {"eoptions.ini", &session.IniFiles.EOptionsIni}};
    for (const auto& [name, store] : data_files) {
        if (!writer.AddBytes(name, DataFileBytes(*store), ModificationTime(store->FileName()), error))
            return false;
        Messages().ProcessMessages();
    }
    const std::string images = session.DataDir + "/" + kImagesFolder;
    for (const char* mask : {"*.jpg", "*.jpeg", "*.bmp"}) {
        std::vector<std::string> pictures;
        CollectPictures(images, "", mask, &pictures);
        for (const std::string& relative : pictures) {
            if (!writer.AddFile(relative, images + "/" + relative, error)) return false;
            Messages().ProcessMessages();
        }
    }
    return writer.Finish(error);
}

}  // namespace

TArchiveCompression AskArchiveCompression() {
    TMsgAnswer answer = Messages().MsgBox(GetText(115), TMsgButtons::YesNo, TMsgIcon::Question);
    return answer == TMsgAnswer::Yes ? TArchiveCompression::Deflate : TArchiveCompression::Store;
}

bool ExportArchive(TCoreSession& session, const std::string& file_name, TArchiveCompression compression) {
    std::string error;
    bool written;
    {
        TProgressRun progress(false, -1, true);
        written = WriteArchive(session, ArchiveFileName(file_name), compression, &error);
    }
    if (!written) ShowError(error);
    return written;
}

}  // namespace tw
