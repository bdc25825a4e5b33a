#pragma once

// What the benchmarks share: timing, peak memory, a temporary data folder and child processes
// (the generators, and a benchmark re-running itself so that each size has a peak of its own).

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

extern char** environ;

namespace tw::bench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double Megabytes(double bytes) { return bytes / 1e6; }

/// The peak resident memory of this process so far, in MB. Children do not count; a process
/// started by posix_spawn begins with the peak of the process that started it.
inline double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return Megabytes(static_cast<double>(usage.ru_maxrss) * 1024.0);  // ru_maxrss is in KiB
}

inline const char* Verdict(bool ok) { return ok ? "ok" : "MISSED"; }

/// The full path of an executable in the folder of this one; empty (after a message) when the
/// own path cannot be read.
inline std::string SiblingExecutable(const std::string& name) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        std::fprintf(stderr, "cannot read /proc/self/exe: %s\n", ec.message().c_str());
        return "";
    }
    return (exe.parent_path() / name).string();
}

/// Runs args[0] with the arguments and waits for it. With output, its standard output is
/// collected there; standard error stays ours. False (after a message) when it cannot start or
/// does not exit with 0.
inline bool RunProcess(const std::vector<std::string>& args, std::string* output = nullptr) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output) {
        if (pipe2(fds, O_CLOEXEC) != 0) {
            std::perror("pipe2");
            posix_spawn_file_actions_destroy(&actions);
            return false;
        }
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    }
    pid_t pid = 0;
    int err = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output) close(fds[1]);
    if (err != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::generic_category().message(err).c_str());
        if (output) close(fds[0]);
        return false;
    }
    if (output) {
        output->clear();
        char buffer[4096];
        for (;;) {
            ssize_t got = read(fds[0], buffer, sizeof buffer);
            if (got > 0)
                output->append(buffer, static_cast<size_t>(got));
            else if (got == 0 || errno != EINTR)
                break;
        }
        close(fds[0]);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string line;
        for (const std::string& arg : args) line += (line.empty() ? "" : " ") + arg;
        std::fprintf(stderr, "failed: %s\n", line.c_str());
        return false;
    }
    return true;
}

/// A folder under the system's temporary folder, removed with everything in it at the end.
class TTempDir {
  public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tagwacht-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TTempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    /// Empty when the folder could not be created.
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace tw::bench
