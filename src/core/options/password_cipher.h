#pragma once

#include <string>
#include <string_view>

namespace tw {

/// Enciphers the SMTP password for options.ini. The result is one line of printable text, as long
/// as the password in characters for every password without control characters (two characters
/// for each control character); empty when the text is not UTF-8 or the result would exceed 255
/// characters. This hides the password from a glance at the file; it is no protection against
/// someone who has this program.
std::string EncryptText(std::string_view text);

/// The inverse of EncryptText; empty for a text that EncryptText cannot have produced.
std::string DecryptText(std::string_view text);

}  // namespace tw
