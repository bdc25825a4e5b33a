#include "core/net/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace tw::test {
namespace {

using namespace std::chrono_literals;

bool Accepts(int port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

}  // namespace

std::string ServerFile(const std::string& name) {
    return std::string(TAGWACHT_SOURCE_DIR) + "/tests/servers/" + name;
}

TServerProcess::TServerProcess(const std::string& script, const std::vector<std::string>& args) {
    std::string port_file = dir_.File("port");
    std::string log_file = dir_.File("log");
    std::vector<std::string> argv_text = {kSystemPython, "-u", ServerFile(script), "--port-file", port_file};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argv_text) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log_file.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    int failed = posix_spawn(&pid_, kSystemPython, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        pid_ = -1;
        return;
    }
    // Python start-up on a busy CI machine can take seconds; a minute is plenty.
    auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::string text = ReadFile(port_file);
        if (!text.empty()) {
            int port = std::atoi(text.c_str());
            if (port > 0 && Accepts(port)) {
                port_ = port;
                return;
            }
        }
        std::this_thread::sleep_for(20ms);
    }
}

TServerProcess::~TServerProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + 10s;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
}

std::string TServerProcess::Log() const { return ReadFile(dir_.File("log")); }

TScopedEnv::TScopedEnv(const std::string& name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name.c_str())) {
        had_ = true;
        old_ = old;
    }
    if (value) {
        setenv(name.c_str(), value, 1);
    } else {
        unsetenv(name.c_str());
    }
}

TScopedEnv::~TScopedEnv() {
    if (had_) {
        setenv(name_.c_str(), old_.c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

THttpTestServer::THttpTestServer() {
    mkdir(dir_.File("routes").c_str(), 0700);
    process_ = std::make_unique<TServerProcess>(
        "http_server.py",
        std::vector<std::string>{"--routes", dir_.File("routes"), "--record", dir_.File("requests")});
}

std::string THttpTestServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(process_->Port());
}

void THttpTestServer::SetRoute(const std::string& path, const std::string& status, const std::string& body) {
    std::string name = path.substr(path.find_first_not_of('/'));
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    WriteFile(dir_.File("routes/" + name + ".body"), body);
    WriteFile(dir_.File("routes/" + name + ".status"), status);
}

std::string THttpTestServer::Requests() const { return ReadFile(dir_.File("requests")); }

bool RunCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace tw::test
