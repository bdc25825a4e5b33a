#include "core/text/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tw {
namespace {

std::string ErrnoText(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::uint64_t GetFileSize(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ExtractFileName(std::string_view path) {
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtractFileDir(std::string_view path) {
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return "";
    return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

bool MatchesMask(std::string_view name, std::string_view mask) {
    // Iterative wildcard match with one back-tracking point, linear in practice.
    size_t n = 0, m = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || LowerChar(mask[m]) == LowerChar(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            star = m++;
            mark = n;
        } else if (star != std::string_view::npos) {
            m = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

void DeleteFiles(const std::string& folder_and_mask) {
    std::string folder = ExtractFileDir(folder_and_mask);
    std::string mask = ExtractFileName(folder_and_mask);
    if (folder.empty()) folder = ".";
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> subfolders;
    while (dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        if (name == "." || name == "..") continue;
        std::string path = folder + "/" + name;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (name[0] != '.') subfolders.push_back(path);
        } else if (S_ISREG(st.st_mode) && MatchesMask(name, mask)) {
            // A file without write permission counts as read-only and stays, as on the
            // original system.
            if (access(path.c_str(), W_OK) == 0) unlink(path.c_str());
        }
    }
    closedir(dir);
    for (const std::string& sub : subfolders) DeleteFiles(sub + "/" + mask);
}

bool ReadFileBytes(const std::string& path, std::string* bytes, std::string* error) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = ErrnoText("Cannot open file", path);
        return false;
    }
    bytes->clear();
    struct stat st {};
    size_t expected = fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
    // Read straight into the string; a file that grows meanwhile is read on in chunks.
    bytes->resize(expected + 1);
    size_t done = 0;
    while (true) {
        if (done == bytes->size()) bytes->resize(bytes->size() + (1 << 16));
        ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            if (error) *error = ErrnoText("Cannot read file", path);
            close(fd);
            bytes->clear();
            return false;
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    bytes->resize(done);
    close(fd);
    return true;
}

TAtomicFile::~TAtomicFile() { Abandon(); }

bool TAtomicFile::Begin(const std::string& path, std::string* error, unsigned new_file_mode, bool force_mode) {
    Abandon();
    path_ = path;
    std::string dir = ExtractFileDir(path);
    temp_ = (dir.empty() ? std::string(".") : dir) + "/." + ExtractFileName(path) + ".XXXXXX";
    fd_ = mkstemp(temp_.data());
    if (fd_ < 0) {
        if (error) *error = ErrnoText("Cannot write file", path);
        return false;
    }
    struct stat st {};
    mode_t mode;
    if (!force_mode && stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = static_cast<mode_t>(new_file_mode) & ~mask;
    }
    errno_ = fchmod(fd_, mode) == 0 ? 0 : errno;
    buffer_.reserve(1 << 16);
    return true;
}

void TAtomicFile::Write(std::string_view bytes) {
    if (fd_ < 0 || errno_ != 0) return;
    if (buffer_.size() + bytes.size() > (1 << 16) && !Flush()) return;
    if (bytes.size() >= (1 << 16)) {
        buffer_.assign(bytes);
        Flush();
        return;
    }
    buffer_.append(bytes);
}

bool TAtomicFile::Flush() {
    size_t done = 0;
    while (done < buffer_.size()) {
        ssize_t put = write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            errno_ = put == 0 ? ENOSPC : errno;
            return false;
        }
        done += static_cast<size_t>(put);
    }
    buffer_.clear();
    return true;
}

bool TAtomicFile::Commit(std::string* error) {
    if (fd_ < 0) {
        if (error) *error = "Cannot write file \"" + path_ + "\"";
        return false;
    }
    if (errno_ == 0) Flush();
    if (errno_ == 0 && fsync(fd_) != 0) errno_ = errno;
    if (close(fd_) != 0 && errno_ == 0) errno_ = errno;
    fd_ = -1;
    if (errno_ == 0 && rename(temp_.c_str(), path_.c_str()) != 0) errno_ = errno;
    if (errno_ != 0) {
        unlink(temp_.c_str());
        temp_.clear();
        errno = errno_;
        if (error) *error = ErrnoText("Cannot write file", path_);
        return false;
    }
    temp_.clear();
    return true;
}

void TAtomicFile::Abandon() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temp_.empty()) unlink(temp_.c_str());
    temp_.clear();
    buffer_.clear();
    errno_ = 0;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         unsigned new_file_mode) {
    TAtomicFile file;
    if (!file.Begin(path, error, new_file_mode)) return false;
    file.Write(bytes);
    return file.Commit(error);
}

}  // namespace tw
