#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tw {

/// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

/// Converts Windows-1252 bytes to UTF-8. The five unassigned bytes map to the C1 controls.
std::string Cp1252ToUtf8(std::string_view bytes);

/// Converts UTF-8 to Windows-1252; characters that code page lacks become "?".
std::string Utf8ToCp1252(std::string_view text);

/// Text as the program keeps it in memory: the bytes when they are valid UTF-8, else the bytes
/// read as Windows-1252 and converted.
std::string DecodeFileText(std::string_view bytes);

/// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t code_point);

/// The code points of UTF-8 text; nothing when the text is not valid UTF-8.
std::optional<std::u32string> DecodeUtf8(std::string_view text);

/// Number of characters (code points) in UTF-8 text.
size_t Utf8Length(std::string_view text);

/// The first count characters of UTF-8 text.
std::string_view Utf8Left(std::string_view text, size_t count);

}  // namespace tw
