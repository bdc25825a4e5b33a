#include "core/net/mail_message.h"

#include <algorithm>

#include "core/net/site_url.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Two(int n) {
    return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

std::string Base64(std::string_view bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16 |
                     static_cast<unsigned char>(bytes[i + 1]) << 8 | static_cast<unsigned char>(bytes[i + 2]);
        out += {kAlphabet[n >> 18], kAlphabet[(n >> 12) & 63], kAlphabet[(n >> 6) & 63], kAlphabet[n & 63]};
    }
    if (i + 1 == bytes.size()) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        out += {kAlphabet[n >> 18], kAlphabet[(n >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1])
                                                                      << 8;
        out += {kAlphabet[n >> 18], kAlphabet[(n >> 12) & 63], kAlphabet[(n >> 6) & 63], '='};
    }
    return out;
}

// One line without its break; soft breaks keep every encoded line within 76 characters.
void AppendQuotedPrintableLine(std::string_view line, std::string& out) {
    size_t column = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        bool last = i + 1 == line.size();
        // Blanks at the end of a line would be stripped on the way, so they are encoded there.
        bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last);
        size_t width = literal ? 1 : 3;
        if (column + width > 75) {
            out += "=\r\n";
            column = 0;
        }
        if (literal) {
            out += static_cast<char>(c);
        } else {
            out += {'=', kHex[c >> 4], kHex[c & 15]};
        }
        column += width;
    }
}

}  // namespace

std::string HeaderSafe(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

std::vector<std::string> SplitRecipients(std::string_view to) {
    std::vector<std::string> recipients;
    for (const std::string& piece : SplitText(to, ',')) {
        size_t begin = 0, end = piece.size();
        while (begin < end && IsBlankOrControl(piece[begin])) ++begin;
        while (end > begin && IsBlankOrControl(piece[end - 1])) --end;
        // An empty piece (a trailing comma) names nobody; the server would only reject it.
        if (begin < end) recipients.push_back(HeaderSafe(std::string_view(piece).substr(begin, end - begin)));
    }
    return recipients;
}

std::string MailDate(std::time_t when) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    if (!localtime_r(&when, &local)) return "";
    long offset = local.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0) offset = -offset;
    return std::string(kDays[local.tm_wday]) + ", " + Two(local.tm_mday) + " " + kMonths[local.tm_mon] + " " +
           std::to_string(local.tm_year + 1900) + " " + Two(local.tm_hour) + ":" + Two(local.tm_min) + ":" +
           Two(local.tm_sec) + " " + sign + Two(static_cast<int>(offset / 60)) +
           Two(static_cast<int>(offset % 60));
}

std::string QuotedPrintableBody(std::string_view body) {
    std::string out;
    size_t start = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '\r' && body[i] != '\n') continue;
        AppendQuotedPrintableLine(body.substr(start, i - start), out);
        out += "\r\n";
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ++i;
        start = i + 1;
    }
    AppendQuotedPrintableLine(body.substr(start), out);
    return out;
}

std::string EncodeHeaderValue(std::string_view value) {
    bool plain = true;
    for (char c : value) plain = plain && c >= ' ' && c <= '~';
    if (plain) return std::string(value);
    // Encoded words of at most 45 bytes (60 in Base64) that never split a UTF-8 sequence.
    std::string out;
    size_t start = 0;
    while (start < value.size()) {
        size_t end = std::min(value.size(), start + 45);
        while (end < value.size() && end > start + 1 &&
               (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80)
            --end;
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + Base64(value.substr(start, end - start)) + "?=";
        start = end;
    }
    return out;
}

std::string ComposeMail(const std::string& from, const std::vector<std::string>& recipients,
                        const std::string& subject, std::string_view body, std::time_t when) {
    std::string to;
    for (const std::string& recipient : recipients) to += (to.empty() ? "" : ", ") + recipient;
    std::string message;
    message += "From: " + from + "\r\n";
    message += "Subject: " + EncodeHeaderValue(subject) + "\r\n";
    message += "X-Mailer: Indy used by Tagwacht " + SiteUrl() + "\r\n";
    message += "To: " + to + "\r\n";
    message += "Date: " + MailDate(when) + "\r\n";
    message += "MIME-Version: 1.0\r\n";
    message += "Content-Type: text/plain; charset=UTF-8\r\n";
    message += "Content-Transfer-Encoding: quoted-printable\r\n";
    message += "\r\n";
    message += QuotedPrintableBody(body);
    return message;
}

}  // namespace tw
