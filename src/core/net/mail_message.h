#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

/// The text with every CR and LF replaced by a blank, so that it cannot end a header line.
std::string HeaderSafe(std::string_view text);

/// The recipients of a "To" text: split at every comma (quotation marks mean nothing), blanks and
/// control characters trimmed from both ends, CR and LF inside made blanks; empty pieces are
/// dropped.
std::vector<std::string> SplitRecipients(std::string_view to);

/// The date as a mail Date header value in local time, e.g. "Thu, 03 Nov 2022 16:17:20 +0100".
std::string MailDate(std::time_t when);

/// The body with every line break (CR LF, CR or LF) made CR LF, in quoted-printable, so that
/// 8-bit text and lines of any length travel safely.
std::string QuotedPrintableBody(std::string_view body);

/// A header value as it stands when it is printable ASCII, else as RFC 2047 encoded words in
/// UTF-8, folded so that no header line grows long.
std::string EncodeHeaderValue(std::string_view value);

/// The whole message: the header lines From, Subject, X-Mailer (with the site address), To,
/// Date and the MIME lines of a UTF-8 plain text, a blank line and the body. `from` and
/// `subject` must already be header-safe.
std::string ComposeMail(const std::string& from, const std::vector<std::string>& recipients,
                        const std::string& subject, std::string_view body, std::time_t when);

}  // namespace tw
