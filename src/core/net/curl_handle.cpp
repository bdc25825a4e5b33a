#include "core/net/curl_handle.h"

#include <mutex>

#include "core/net/indy_engine.h"
#include "core/text/messages.h"

namespace tw::net {
namespace {

int KeepResponsive(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    Messages().ProcessMessages();
    return 0;
}

}  // namespace

TCurlHandle::TCurlHandle(int connect_ms, int total_ms, const std::string& ca_file) {
    static std::once_flag global_init;
    std::call_once(global_init, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    curl_ = curl_easy_init();
    if (!curl_) return;
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, error_);
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    // An empty proxy turns off the proxy variables of the environment as well.
    curl_easy_setopt(curl_, CURLOPT_PROXY, "");
    curl_easy_setopt(curl_, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connect_ms));
    curl_easy_setopt(curl_, CURLOPT_TIMEOUT_MS, static_cast<long>(total_ms));
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!ca_file.empty()) curl_easy_setopt(curl_, CURLOPT_CAINFO, ca_file.c_str());
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, KeepResponsive);
}

TCurlHandle::~TCurlHandle() {
    if (curl_) curl_easy_cleanup(curl_);
}

std::string TCurlHandle::Perform() {
    error_[0] = '\0';
    code_ = curl_easy_perform(curl_);
    if (code_ == CURLE_OK) return "";
    if (error_[0] != '\0') return error_;
    const char* text = curl_easy_strerror(code_);
    return text && *text ? text : kUnknownError;
}

}  // namespace tw::net
