#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "core/test_support.h"

namespace tw::test {

/// Debian's Python, which carries the modules the test servers need (a Python found first on
/// PATH may not).
inline constexpr const char* kSystemPython = "/usr/bin/python3";

/// A test server from tests/servers/, run as its own process on 127.0.0.1 for the lifetime of
/// the object. The server picks a free port and names it in a port file; the constructor waits
/// (generously, for loaded machines) until the port accepts connections. Output of the server
/// goes to a log that Log() returns for failure messages.
class TServerProcess {
  public:
    /// script: a file name under tests/servers/; args: its arguments besides --port-file.
    TServerProcess(const std::string& script, const std::vector<std::string>& args);
    ~TServerProcess();
    TServerProcess(const TServerProcess&) = delete;
    TServerProcess& operator=(const TServerProcess&) = delete;

    /// The port, or 0 when the server did not come up (the test should ASSERT on Started()).
    int Port() const { return port_; }
    bool Started() const { return port_ > 0; }
    std::string Log() const;

  private:
    TTempDir dir_;
    pid_t pid_ = -1;
    int port_ = 0;
};

/// The HTTP test server with its routes folder and request record.
class THttpTestServer {
  public:
    THttpTestServer();
    bool Started() const { return process_->Started(); }
    std::string Log() const { return process_->Log(); }
    /// "http://127.0.0.1:<port>".
    std::string BaseUrl() const;
    /// What the server answers for the path (without query): status "200", "404", "302 /target"
    /// or "hang", and the body.
    void SetRoute(const std::string& path, const std::string& status, const std::string& body = "");
    /// One line per request: "GET <path with query> <version> UA=<user agent>".
    std::string Requests() const;

  private:
    TTempDir dir_;
    std::unique_ptr<TServerProcess> process_;
};

/// Sets an environment variable (or unsets it for nullptr) and restores the old value at the end.
class TScopedEnv {
  public:
    TScopedEnv(const std::string& name, const char* value);
    ~TScopedEnv();

  private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

/// Runs a shell command; true when it exits with 0.
bool RunCommand(const std::string& command);

/// The full path of a file under tests/servers/.
std::string ServerFile(const std::string& name);

}  // namespace tw::test
