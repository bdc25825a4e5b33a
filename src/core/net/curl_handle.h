#pragma once

#include <curl/curl.h>

#include <string>

namespace tw::net {

/// One libcurl transfer handle, fresh for every operation so that no connection outlives it.
/// Sets what every transfer of the program shares: no signals, no proxy, no connection reuse,
/// the time limits, the trusted CA file, and a progress callback that keeps the windows
/// responsive while the transfer waits.
class TCurlHandle {
  public:
    /// connect_ms limits the connection set-up, total_ms the whole transfer; ca_file empty means
    /// the system's certificate store.
    TCurlHandle(int connect_ms, int total_ms, const std::string& ca_file);
    ~TCurlHandle();
    TCurlHandle(const TCurlHandle&) = delete;
    TCurlHandle& operator=(const TCurlHandle&) = delete;

    /// False when libcurl could not create a handle.
    bool Valid() const { return curl_ != nullptr; }
    CURL* get() const { return curl_; }

    /// Runs the transfer; returns the error text, empty on success: libcurl's detailed message
    /// when it has one, else its text for the code.
    std::string Perform();
    /// libcurl's code of the last Perform.
    CURLcode Code() const { return code_; }

  private:
    CURL* curl_ = nullptr;
    CURLcode code_ = CURLE_OK;
    char error_[CURL_ERROR_SIZE] = {};
};

}  // namespace tw::net
