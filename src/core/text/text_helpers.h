#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tw {

/// The text with the character appended until it is at least width characters long.
std::string PadRight(std::string_view text, char fill, size_t width);

/// True when the whole text matches "[A-Z0-9]*[A-Z0-9]@[A-Z0-9]*[A-Z0-9].[A-Z0-9]*", where "*"
/// is any run of characters and letters match in either case.
bool IsValidEMail(std::string_view text);

/// Equal when only the letters a–z and A–Z differ in case.
bool SameTextAscii(std::string_view a, std::string_view b);

/// The text with A–Z turned into a–z; other characters unchanged.
std::string LowerAscii(std::string_view text);

/// Decimal text of a number.
std::string IntToStr(long long value);

/// One argument of FormatText: a text for "%s", an integer for "%d", "%u" and "%x".
using TFormatArg = std::variant<long long, std::string>;

/// Fills a format pattern the way the program's language texts use them: "%s", "%d", "%u",
/// "%x" with optional argument index ("%1:s"), "-" for left alignment, width and precision,
/// and "%%" for a percent sign. Nothing when a placeholder is malformed, its argument is
/// missing or of the other kind.
std::optional<std::string> TryFormat(std::string_view pattern, const std::vector<TFormatArg>& args);

/// TryFormat, or the pattern itself when the arguments do not fit it, so a faulty language text
/// never loses the message.
std::string Format(std::string_view pattern, const std::vector<TFormatArg>& args);

/// The text with "&", "<", ">" and '"' replaced by their character references, so that a value
/// shows as written and never becomes markup.
std::string HtmlEscape(std::string_view text);

/// Replaces every occurrence of from by to; the inserted text is not searched again.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

/// Splits at every occurrence of the separator; an empty text gives one empty part.
std::vector<std::string> SplitText(std::string_view text, char separator);

}  // namespace tw
