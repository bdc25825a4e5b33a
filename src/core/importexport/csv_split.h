#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

/// The pieces that the delimited-text formats share (CSV, Birthday2000 backup, WinRemind
/// backup, the gift-tip product list): field codes, the field splitter and reading a text file
/// as lines.

/// The fields a CSV file can hold; the value is the code that the export and import windows and
/// the command line use. The order of a field list is the column order of the file.
enum class TCsvField : int {
    Name = 0,       ///< the stored name
    FirstName = 1,  ///< the name before its first blank (after it with last name first)
    LastName = 2,   ///< the name after its first blank (before it with last name first)
    Date = 3,       ///< "dd.mm.yyyy", 9999 for a date without year
    EMail = 4,
    Remark = 5,
    Event = 6,  ///< the event text; ignored when importing
};

/// Reads a list of field codes such as "0,3,4" (decimal 0..6, separated by ","; blanks around a
/// code are allowed). Nothing when the text is empty or a code is not one of the seven.
std::optional<std::vector<TCsvField>> ParseCsvFields(std::string_view codes);

/// The text without leading and trailing blanks and control characters (bytes up to 0x20).
std::string_view TrimBlanks(std::string_view text);

/// Splits one line into fields.
///
/// With quote_aware, a double quote switches between outside and inside quotes and is never
/// kept (a doubled quote is no escape: it switches twice), and the separator ends a field only
/// outside quotes; without it, quotes are ordinary characters. With trim_fields, each field
/// loses its leading and trailing blanks and control characters. A field that then begins with
/// the separator loses that character. Every ended field is kept, even an empty one; the text
/// after the last separator is kept only when something was collected, so a line ending with a
/// separator gives no empty last field and an empty line gives no field.
std::vector<std::string> SplitLine(std::string_view line, char separator, bool trim_fields, bool quote_aware);

/// Splits one line of an imported file, guessing its separator: ";" first; when that gives
/// fewer than two fields and the line holds no ";", "," instead; when that gives fewer than two
/// fields and the line holds no ",", a blank. Fields are trimmed and quotes honoured. The
/// separator used is stored in *used when given.
std::vector<std::string> SplitImportLine(std::string_view line, char* used = nullptr);

/// The lines of a text: CR LF, LF and CR each end a line; a line break at the very end adds no
/// empty line, and an empty text has no line.
std::vector<std::string_view> SplitTextLines(std::string_view text);

/// Reads a text file for an import: the bytes as UTF-8 when they are valid UTF-8 (a leading
/// byte-order mark is dropped), else as Windows-1252 converted to UTF-8. False with the error
/// text when the file cannot be read or holds a zero byte (it is then no text file, for
/// example a UTF-16 or binary file).
bool ReadImportText(const std::string& path, std::string* text, std::string* error);

}  // namespace tw
