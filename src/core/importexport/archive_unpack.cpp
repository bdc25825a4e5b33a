#include "core/importexport/archive_unpack.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "core/importexport/archive.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

constexpr unsigned char kZipSignature[4] = {0x50, 0x4B, 0x03, 0x04};

// The archive file as libarchive sees it: read with pread, with bytes 0-3 served as the ZIP
// signature, so the user's file is never opened for writing (a read-only file imports as well).
class TMarkedArchiveFile {
  public:
    ~TMarkedArchiveFile() {
        if (fd_ >= 0) close(fd_);
    }

    bool Open(const std::string& path, std::string* error) {
        fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd_ < 0 || fstat(fd_, &st) != 0) {
            *error = "Cannot open file \"" + path + "\": " + std::strerror(errno);
            return false;
        }
        size_ = st.st_size;
        buffer_.resize(1 << 16);
        return true;
    }

    int Attach(archive* a) {
        archive_read_set_callback_data(a, this);
        archive_read_set_read_callback(a, &TMarkedArchiveFile::Read);
        archive_read_set_seek_callback(a, &TMarkedArchiveFile::Seek);
        archive_read_set_skip_callback(a, &TMarkedArchiveFile::Skip);
        return archive_read_open1(a);
    }

  private:
    static la_ssize_t Read(archive* a, void* data, const void** block) {
        auto* self = static_cast<TMarkedArchiveFile*>(data);
        ssize_t got;
        do got = pread(self->fd_, self->buffer_.data(), self->buffer_.size(), self->offset_);
        while (got < 0 && errno == EINTR);
        if (got < 0) {
            archive_set_error(a, errno, "Cannot read the archive file: %s", std::strerror(errno));
            return ARCHIVE_FATAL;
        }
        for (la_int64_t pos = self->offset_; pos < 4 && pos < self->offset_ + got; ++pos)
            self->buffer_[static_cast<size_t>(pos - self->offset_)] = static_cast<char>(kZipSignature[pos]);
        self->offset_ += got;
        *block = self->buffer_.data();
        return got;
    }

    static la_int64_t Seek(archive*, void* data, la_int64_t offset, int whence) {
        auto* self = static_cast<TMarkedArchiveFile*>(data);
        la_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? self->offset_ : self->size_;
        if (base + offset < 0) return ARCHIVE_FATAL;
        self->offset_ = base + offset;
        return self->offset_;
    }

    static la_int64_t Skip(archive*, void* data, la_int64_t request) {
        auto* self = static_cast<TMarkedArchiveFile*>(data);
        la_int64_t skip = std::max<la_int64_t>(0, std::min(request, self->size_ - self->offset_));
        self->offset_ += skip;
        return skip;
    }

    int fd_ = -1;
    la_int64_t size_ = 0;
    la_int64_t offset_ = 0;
    std::vector<char> buffer_;
};

struct TArchiveReadDeleter {
    void operator()(archive* a) const { archive_read_free(a); }
};

std::string LibraryError(archive* a) {
    const char* text = archive_error_string(a);
    return text ? text : "unknown error";
}

std::string MemberText(const std::string& name) { return "The archive member \"" + name + "\""; }

// Reads the data of the current member to its end, so that the library checks its CRC, and
// hands each block to the sink.
template <typename Sink>
bool ReadMember(archive* a, const std::string& name, const TUnpackLimits& limits, std::uint64_t* total,
                std::vector<char>& buffer, Sink sink, std::string* error) {
    std::uint64_t member = 0;
    while (true) {
        la_ssize_t got = archive_read_data(a, buffer.data(), buffer.size());
        if (got == 0) return true;
        if (got < 0) {
            // ARCHIVE_WARN here is a CRC or size mismatch: the member is damaged.
            *error = MemberText(name) + " cannot be unpacked: " + LibraryError(a);
            return false;
        }
        member += static_cast<std::uint64_t>(got);
        *total += static_cast<std::uint64_t>(got);
        if (member > limits.MaxMemberBytes || *total > limits.MaxTotalBytes) {
            *error = MemberText(name) + " unpacks to more data than an archive of the program can hold.";
            return false;
        }
        if (!sink(std::string_view(buffer.data(), static_cast<size_t>(got)))) return false;
    }
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t put = write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            if (put == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(put));
    }
    return true;
}

// Extracts the current member into a new file at the path. Whatever stood there is removed
// first and the file is created anew without following links, so nothing outside the working
// folder can be written through a name left there.
bool ExtractMember(archive* a, const std::string& name, const std::string& path, const TUnpackLimits& limits,
                   std::uint64_t* total, std::vector<char>& buffer, std::string* error) {
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
        *error = "Cannot replace file \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = "Cannot write file \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    auto sink = [&](std::string_view bytes) {
        if (WriteAll(fd, bytes)) return true;
        *error = "Cannot write file \"" + path + "\": " + std::strerror(errno);
        return false;
    };
    bool ok = ReadMember(a, name, limits, total, buffer, sink, error);
    if (close(fd) != 0 && ok) {
        *error = "Cannot write file \"" + path + "\": " + std::strerror(errno);
        ok = false;
    }
    if (!ok) unlink(path.c_str());
    return ok;
}

bool IsPictureName(std::string_view name) {
    return MatchesMask(name, "*.jpg") || MatchesMask(name, "*.jpeg") || MatchesMask(name, "*.bmp");
}

}  // namespace

TArchiveMember ClassifyArchiveMember(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return TArchiveMember::Refused;
    if (name.size() >= 2 && name[1] == ':') return TArchiveMember::Refused;  // "C:..." names a drive
    size_t parts = 0;
    std::string_view last;
    for (size_t start = 0; start <= name.size();) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = name.size();
        std::string_view part = name.substr(start, end - start);
        if (part == "." || part == "..") return TArchiveMember::Refused;
        ++parts;
        last = part;
        start = end + 1;
    }
    if (parts > 1) return IsPictureName(last) ? TArchiveMember::FolderPicture : TArchiveMember::Refused;
    if (SameTextAscii(name, "entries.ini")) return TArchiveMember::EntriesFile;
    if (SameTextAscii(name, "eoptions.ini")) return TArchiveMember::EOptionsFile;
    return IsPictureName(name) ? TArchiveMember::Picture : TArchiveMember::Unused;
}

bool UnpackArchive(const std::string& file_name, const std::string& temp_dir, const std::string& images_dir,
                   const TUnpackLimits& limits, TUnpackedArchive* unpacked, std::string* error) {
    TMarkedArchiveFile file;
    if (!file.Open(file_name, error)) return false;
    std::unique_ptr<archive, TArchiveReadDeleter> reader(archive_read_new());
    archive* a = reader.get();
    // The seekable reader works from the central directory, which alone knows the sizes of
    // encrypted members whose lengths follow their data.
    if (!a || archive_read_support_format_zip_seekable(a) != ARCHIVE_OK ||
        archive_read_add_passphrase(a, kArchivePassword) != ARCHIVE_OK || file.Attach(a) != ARCHIVE_OK) {
        *error =
            "The archive \"" + file_name + "\" cannot be read: " + (a ? LibraryError(a) : "out of memory");
        return false;
    }
    std::vector<char> buffer(1 << 16);
    std::uint64_t total = 0;
    while (true) {
        archive_entry* entry = nullptr;
        int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF) return true;
        // A warning here concerns the conversion of a name only; the data are checked below.
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
            *error = "The archive \"" + file_name + "\" cannot be read: " + LibraryError(a);
            return false;
        }
        const char* raw_name = archive_entry_pathname(entry);
        if (!raw_name) raw_name = archive_entry_pathname_utf8(entry);
        std::string name = raw_name ? raw_name : "";
        TArchiveMember kind = ClassifyArchiveMember(name);
        if (kind == TArchiveMember::Refused) {
            *error = MemberText(name) + " is refused: its name does not stand for a file of the program.";
            return false;
        }
        if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_hardlink(entry) ||
            archive_entry_symlink(entry)) {
            *error = MemberText(name) + " is refused: it is a link, a folder or no plain file.";
            return false;
        }
        if (archive_entry_size_is_set(entry) &&
            static_cast<std::uint64_t>(archive_entry_size(entry)) > limits.MaxMemberBytes) {
            *error = MemberText(name) + " unpacks to more data than an archive of the program can hold.";
            return false;
        }
        bool ok = true;
        switch (kind) {
            case TArchiveMember::EntriesFile:
                ok = ExtractMember(a, name, temp_dir + "/entries.ini", limits, &total, buffer, error);
                unpacked->EntriesFile |= ok;
                break;
            case TArchiveMember::EOptionsFile:
                ok = ExtractMember(a, name, temp_dir + "/eoptions.ini", limits, &total, buffer, error);
                unpacked->EOptionsFile |= ok;
                break;
            case TArchiveMember::Picture:
                ok = ExtractMember(a, name, images_dir + "/" + name, limits, &total, buffer, error);
                if (ok) unpacked->Pictures.insert(name);
                break;
            default:
                ok = ReadMember(
                    a, name, limits, &total, buffer, [](std::string_view) { return true; }, error);
                break;
        }
        if (!ok) return false;
        Messages().ProcessMessages();
    }
}

}  // namespace tw
