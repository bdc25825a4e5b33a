#include "platform/restart.h"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <fstream>
#include <limits>
#include <string>
#include <thread>

namespace tw {

namespace {

// The state letter of /proc/<pid>/stat, which follows the command name in parentheses (the
// name itself may hold spaces and parentheses, so the last ")" counts).
char ProcessState(pid_t pid) {
    // Files under /proc report a size of 0, so the line is read to its end rather than by size.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return '\0';
    const size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size()) return '\0';
    return line[close + 2];
}

}  // namespace

bool ProcessIsAlive(pid_t pid) {
    if (pid <= 0) return false;
    if (kill(pid, 0) != 0 && errno == ESRCH) return false;
    const char state = ProcessState(pid);
    // Without a readable stat the signal test has the last word: the process exists.
    return state != 'Z' && state != 'X';
}

bool StartDetachedAfterThisEnds(const QString& program, const QStringList& arguments, qint64* pid) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kWaitForPidVariable),
                       QString::number(QCoreApplication::applicationPid()));
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessEnvironment(environment);
    return process.startDetached(pid);
}

bool StartInstanceAfterThisEnds() {
    return StartDetachedAfterThisEnds(QCoreApplication::applicationFilePath(), {});
}

bool WaitForPreviousInstance(int timeout_ms) {
    const QByteArray value = qgetenv(kWaitForPidVariable);
    qunsetenv(kWaitForPidVariable);
    long long pid = 0;
    const char* begin = value.constData();
    const char* end = begin + value.size();
    const auto [stop, error] = std::from_chars(begin, end, pid);
    if (value.isEmpty() || error != std::errc() || stop != end || pid <= 0 ||
        pid > std::numeric_limits<pid_t>::max() || pid == getpid()) {
        return true;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (ProcessIsAlive(static_cast<pid_t>(pid))) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace tw
