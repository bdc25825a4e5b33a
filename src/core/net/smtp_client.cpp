#include <unistd.h>

#include <cstring>
#include <ctime>
#include <exception>
#include <string>
#include <string_view>

#include "core/net/curl_handle.h"
#include "core/net/indy_engine.h"
#include "core/net/mail_message.h"

namespace tw {
namespace {

struct TUpload {
    std::string_view data;
    size_t sent = 0;
};

size_t ReadMessage(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<TUpload*>(user);
    size_t n = std::min(size * count, upload->data.size() - upload->sent);
    std::memcpy(buffer, upload->data.data() + upload->sent, n);
    upload->sent += n;
    return n;
}

// Watches the commands libcurl sends, to know whether it tried to log in.
int WatchCommands(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    if (type == CURLINFO_HEADER_OUT && size >= 5 && std::memcmp(data, "AUTH ", 5) == 0) {
        *static_cast<bool*>(user) = true;
    }
    return 0;
}

std::string SmtpUrl(const std::string& host, int port, CURL* curl) {
    std::string url = port == 465 ? "smtps://" : "smtp://";
    bool ipv6 = host.find(':') != std::string::npos && host.front() != '[';
    url += ipv6 ? "[" + host + "]" : host;
    url += ":" + std::to_string(port) + "/";
    // The path is the name libcurl greets the server with (EHLO); the machine's own name is
    // what servers expect there.
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') std::strcpy(name, "localhost");
    if (char* escaped = curl_easy_escape(curl, name, 0)) {
        url += escaped;
        curl_free(escaped);
    }
    return url;
}

}  // namespace

std::string TIndyEngine::SendMail(const std::string& host, int port, bool use_authentication,
                                  const std::string& user_name, const std::string& password,
                                  const std::string& to, const std::string& from, const std::string& subject,
                                  const std::string& body) {
    try {
        bool log_in = use_authentication && !user_name.empty();
        bool login_unavailable = false;
        std::string error = SendMailOnce(host, port, log_in, user_name, password, to, from, subject, body,
                                         &login_unavailable);
        // libcurl gives up when the server offers AUTH but not LOGIN; such a server gets the mail
        // without a log-in, as one that offers no AUTH at all. Nothing was sent before the
        // log-in, so trying again cannot send the mail twice.
        if (login_unavailable) {
            error = SendMailOnce(host, port, false, "", "", to, from, subject, body, &login_unavailable);
        }
        return error;
    } catch (const std::exception& e) {
        return *e.what() ? e.what() : kUnknownError;
    } catch (...) {
        return kUnknownError;
    }
}

std::string TIndyEngine::SendMailOnce(const std::string& host, int port, bool log_in,
                                      const std::string& user_name, const std::string& password,
                                      const std::string& to, const std::string& from,
                                      const std::string& subject, const std::string& body,
                                      bool* login_unavailable) {
    *login_unavailable = false;
    std::vector<std::string> recipients = SplitRecipients(to);
    if (recipients.empty()) return "No recipient given";
    std::string sender = HeaderSafe(from);
    std::string message = ComposeMail(sender, recipients, HeaderSafe(subject), body, std::time(nullptr));

    net::TCurlHandle handle(timeouts_.ConnectMs, timeouts_.MailMs, ca_file_);
    if (!handle.Valid()) return kUnknownError;
    CURL* curl = handle.get();
    std::string url = SmtpUrl(host, port, curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, sender.c_str());
    curl_slist* rcpt = nullptr;
    for (const std::string& recipient : recipients) {
        curl_slist* grown = curl_slist_append(rcpt, recipient.c_str());
        if (!grown) {
            curl_slist_free_all(rcpt);
            return kUnknownError;
        }
        rcpt = grown;
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    if (log_in) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user_name.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
        curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    }
    TUpload upload{message};
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    bool auth_sent = false;
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, WatchCommands);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &auth_sent);

    std::string error = handle.Perform();
    curl_slist_free_all(rcpt);
    *login_unavailable = log_in && !auth_sent && handle.Code() == CURLE_LOGIN_DENIED;
    return error;
}

}  // namespace tw
