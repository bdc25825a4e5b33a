#include <exception>
#include <string>

#include "core/net/curl_handle.h"
#include "core/net/indy_engine.h"
#include "core/text/files.h"

namespace tw {
namespace {

// Far above anything the program fetches; a server that sends more is not the one we expect.
constexpr size_t kMaxBodyBytes = 16 * 1024 * 1024;

struct TReply {
    std::string body;
    std::string status_line;
    bool too_large = false;
};

size_t KeepBody(char* data, size_t size, size_t count, void* user) {
    auto* reply = static_cast<TReply*>(user);
    size_t n = size * count;
    if (reply->body.size() + n > kMaxBodyBytes) {
        reply->too_large = true;
        return 0;
    }
    reply->body.append(data, n);
    return n;
}

// Keeps the last status line ("HTTP/1.1 404 Not Found"): it explains a failure best.
size_t KeepStatusLine(char* data, size_t size, size_t count, void* user) {
    auto* reply = static_cast<TReply*>(user);
    std::string_view line(data, size * count);
    if (line.substr(0, 5) == "HTTP/") {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        reply->status_line = line;
    }
    return size * count;
}

// Lines split at LF (a CR before it stays), each written with CR LF; a non-empty tail after
// the last LF is a line too.
std::string WithCrLfLines(std::string_view body) {
    std::string out;
    out.reserve(body.size() + body.size() / 16 + 2);
    size_t start = 0;
    for (size_t lf = body.find('\n'); lf != std::string_view::npos; lf = body.find('\n', start)) {
        out.append(body.substr(start, lf - start));
        out += "\r\n";
        start = lf + 1;
    }
    if (start < body.size()) {
        out.append(body.substr(start));
        out += "\r\n";
    }
    return out;
}

}  // namespace

std::string TIndyEngine::Download(const std::string& url, const std::string& file_name) {
    try {
        return DownloadChecked(url, file_name);
    } catch (const std::exception& e) {
        return *e.what() ? e.what() : kUnknownError;
    } catch (...) {
        return kUnknownError;
    }
}

std::string TIndyEngine::DownloadChecked(const std::string& url, const std::string& file_name) {
    net::TCurlHandle handle(timeouts_.ConnectMs, timeouts_.DownloadMs, ca_file_);
    if (!handle.Valid()) return kUnknownError;
    CURL* curl = handle.get();
    TReply reply;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)");
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, KeepBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, KeepStatusLine);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &reply);

    std::string error = handle.Perform();
    if (reply.too_large) return "The answer is too large";
    if (!error.empty()) return error;
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) return reply.status_line.empty() ? kUnknownError : reply.status_line;

    if (!WriteFileAtomically(file_name, WithCrLfLines(reply.body), nullptr)) return kDownloadWriteError;
    return "";
}

}  // namespace tw
