#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <ctime>
#include <exception>

#include "core/net/indy_engine.h"
#include "core/text/messages.h"

namespace tw {
namespace {

using TSteady = std::chrono::steady_clock;

// Seconds from 1900-01-01 (the Time Protocol's epoch) to 1970-01-01 (the system's).
constexpr std::int64_t kSecondsFrom1900To1970 = 2208988800;
// Waits are cut into slices so that window messages can run in between.
constexpr int kSliceMs = 50;

class TSocket {
  public:
    ~TSocket() {
        if (fd_ >= 0) close(fd_);
    }
    int fd_ = -1;
};

int RemainingMs(TSteady::time_point deadline) {
    // Rounded up, so that a wait never ends before its deadline.
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - TSteady::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the event until the deadline; false on time-out, with errno set on a poll failure.
bool WaitFor(int fd, short events, TSteady::time_point deadline) {
    while (true) {
        int left = RemainingMs(deadline);
        if (left == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        pollfd item{fd, events, 0};
        int ready = poll(&item, 1, std::min(left, kSliceMs));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
        Messages().ProcessMessages();
    }
}

std::string Connect(const std::string& host, int port, int connect_ms, TSocket& socket_out) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    int status = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (status != 0) return "Cannot resolve \"" + host + "\": " + gai_strerror(status);
    std::string error = kUnknownError;
    auto deadline = TSteady::now() + std::chrono::milliseconds(connect_ms);
    for (addrinfo* a = found; a; a = a->ai_next) {
        TSocket candidate;
        candidate.fd_ = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (candidate.fd_ < 0) {
            error = std::string("Socket Error: ") + std::strerror(errno);
            continue;
        }
        if (connect(candidate.fd_, a->ai_addr, a->ai_addrlen) != 0) {
            if (errno != EINPROGRESS) {
                error = std::string("Socket Error: ") + std::strerror(errno);
                continue;
            }
            if (!WaitFor(candidate.fd_, POLLOUT, deadline)) {
                error = errno == ETIMEDOUT ? "Connect timed out."
                                           : std::string("Socket Error: ") + std::strerror(errno);
                continue;
            }
            int so_error = 0;
            socklen_t length = sizeof so_error;
            getsockopt(candidate.fd_, SOL_SOCKET, SO_ERROR, &so_error, &length);
            if (so_error != 0) {
                error = std::string("Socket Error: ") + std::strerror(so_error);
                continue;
            }
        }
        std::swap(socket_out.fd_, candidate.fd_);
        freeaddrinfo(found);
        return "";
    }
    freeaddrinfo(found);
    return error;
}

// Reads the server's 4 bytes; elapsed_ms is the time the read took.
std::string ReadTime(int fd, int read_ms, std::uint32_t* value, long long* elapsed_ms) {
    unsigned char bytes[4];
    size_t got = 0;
    auto start = TSteady::now();
    auto deadline = start + std::chrono::milliseconds(read_ms);
    while (got < sizeof bytes) {
        if (!WaitFor(fd, POLLIN, deadline)) {
            return errno == ETIMEDOUT ? "Read timed out."
                                      : std::string("Socket Error: ") + std::strerror(errno);
        }
        ssize_t n = recv(fd, bytes + got, sizeof bytes - got, 0);
        if (n == 0) return "Connection Closed Gracefully.";
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return std::string("Socket Error: ") + std::strerror(errno);
        }
        got += static_cast<size_t>(n);
    }
    *elapsed_ms = std::chrono::duration_cast<std::chrono::milliseconds>(TSteady::now() - start).count();
    *value = static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
             static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
    return "";
}

}  // namespace

std::string TIndyEngine::SyncTime(const std::string& server) {
    try {
        return SyncTimeChecked(server);
    } catch (const std::exception& e) {
        return *e.what() ? e.what() : kUnknownError;
    } catch (...) {
        return kUnknownError;
    }
}

std::string TIndyEngine::SyncTimeChecked(const std::string& server) {
    size_t colon = server.find(':');
    std::string host = server.substr(0, colon);
    int port = 37;
    if (colon != std::string::npos) {
        std::string_view rest = std::string_view(server).substr(colon + 1);
        int parsed = 0;
        auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), parsed);
        if (ec == std::errc() && end == rest.data() + rest.size() && parsed != -1) port = parsed;
    }
    if (port < 0 || port > 65535) return "Invalid port " + std::to_string(port);
    if (!clock_setter_) return "Setting the clock is not available";

    TSocket socket;
    std::string error = Connect(host, port, timeouts_.ConnectMs, socket);
    if (!error.empty()) return error;
    std::uint32_t value = 0;
    long long elapsed_ms = 0;
    error = ReadTime(socket.fd_, timeouts_.TimeReadMs, &value, &elapsed_ms);
    if (!error.empty()) return error;
    if (value == 0) return "The time server sent no time";

    // The answer is taken to have travelled for half the measured time; only whole seconds of
    // that count.
    std::uint64_t seconds = value + static_cast<std::uint64_t>(elapsed_ms / 2) / 1000;
    if (seconds > 0xFFFFFFFFull) return "The time is out of range";
    std::time_t unix_seconds =
        static_cast<std::time_t>(static_cast<std::int64_t>(seconds) - kSecondsFrom1900To1970);
    std::tm local{};
    if (!localtime_r(&unix_seconds, &local)) return "The local time zone cannot be read";
    auto date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    auto time = EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59));
    if (!date || !time) return "The time is out of range";
    return clock_setter_->Set(unix_seconds, *date + *time);
}

}  // namespace tw
