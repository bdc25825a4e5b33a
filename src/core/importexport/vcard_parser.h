#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tw {

/// One content line of a vCard after unfolding and decoding.
struct TVCardProperty {
    std::string Group;  ///< "item1" for "item1.EMAIL", else empty; as written
    std::string Name;   ///< upper case: "FN", "EMAIL", "X-HOBBY"
    /// Parameters in line order, names in upper case, values as written without quotes; a list
    /// value ("TYPE=home,work") gives one pair per element. A bare vCard 2.1 parameter counts as
    /// TYPE ("TEL;HOME" is TYPE=HOME), or as ENCODING when it names one ("QUOTED-PRINTABLE").
    std::vector<std::pair<std::string, std::string>> Params;
    /// The value, quoted-printable decoded and converted to UTF-8 from its charset, with the
    /// backslash escapes still in place. Binary (base64) values are left as written.
    std::string RawValue;

    /// The first value of a parameter, or nothing.
    std::optional<std::string> Param(std::string_view name) const;
    /// True when one of the TYPE values equals the type, ignoring the case of A–Z.
    bool HasType(std::string_view type) const;
    /// The value as text: "\n" and "\N" a line feed, "\," ",", "\;" ";", "\\" a backslash.
    std::string Text() const;
    /// The value split at each unescaped ";", each part unescaped as by Text (ORG, N, ADR).
    std::vector<std::string> Components() const;
};

/// One contact: the lines between BEGIN:VCARD and END:VCARD. Nested cards (a 2.1 AGENT) are
/// left out.
struct TVCard {
    std::string Version;  ///< the VERSION value: "2.1", "3.0", "4.0"; empty when missing
    std::vector<TVCardProperty> Properties;
    bool Complete = false;  ///< false when the file ended before END:VCARD

    /// The first property of that name (upper case), or nullptr.
    const TVCardProperty* Find(std::string_view name) const;
};

/// Reads the cards of a vCard file one after the other, so that a large file is never held
/// as parsed cards all at once. Lines end with CR LF or LF. A line that starts with a blank or
/// a tab continues the one before (in 2.1 the blank stays, as that version's folding keeps it;
/// in 3.0 and 4.0 it goes). A quoted-printable value whose line ends with "=" continues on the
/// next line (the soft line break). Lines outside a card and lines without ":" are ignored.
class TVCardReader {
  public:
    /// text: the file text after DecodeVCardFile; it must outlive the reader.
    explicit TVCardReader(std::string_view text) : text_(text) {}

    /// Fills the next card; false when there is none left.
    bool Next(TVCard& card);

    /// The number of cards in the text (top-level BEGIN:VCARD lines), without parsing them.
    static size_t CountCards(std::string_view text);

  private:
    bool NextPhysicalLine(std::string_view& line);
    bool NextLogicalLine(std::string& line, bool fold_keeps_blank);

    std::string_view text_;
    size_t pos_ = 0;
    bool pending_begin_ = false;  // the last card was cut off by the BEGIN of this one
};

/// The file's bytes as the reader takes them: a UTF-8 byte order mark removed, UTF-16 with a
/// byte order mark converted to UTF-8. Other bytes are left alone; each value is decoded by its
/// charset (or as UTF-8 when valid, else Windows-1252) when it is read.
std::string DecodeVCardFile(std::string bytes);

/// Every card of a text (after DecodeVCardFile).
std::vector<TVCard> ParseVCards(std::string_view text);

/// A calendar date of a vCard; Year 0 when the year is not given.
struct TVCardDate {
    int Year = 0;
    int Month = 0;  ///< 1..12
    int Day = 0;    ///< 1..31, a day that exists in that month (29 February when no year)
    bool operator==(const TVCardDate&) const = default;
};

/// Reads a vCard date or date-time: "1980-03-15", "19800315", either followed by "T" or a blank
/// and a time ("1980-03-15T00:00:00Z", whose date is taken as written, without a time-zone
/// shift), and the forms without a year "--0315" and "--03-15". A year of 0 counts as not
/// given. Nothing for anything else: a year and month alone, a day alone, an impossible date,
/// free text.
std::optional<TVCardDate> ParseVCardDate(std::string_view value);

/// The birthday of a BDAY property: its date as by ParseVCardDate, nothing for a text value
/// (VALUE=text). The year that X-APPLE-OMIT-YEAR names stands for a year that is not given.
std::optional<TVCardDate> VCardBirthday(const TVCardProperty& bday);

}  // namespace tw
