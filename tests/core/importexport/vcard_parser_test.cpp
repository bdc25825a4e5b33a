#include "core/importexport/vcard_parser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tw {
namespace {

// The one card of a text made of a BEGIN line, the given lines and an END line.
TVCard OneCard(const std::string& body, const std::string& eol = "\r\n") {
    std::vector<TVCard> cards = ParseVCards("BEGIN:VCARD" + eol + body + eol + "END:VCARD" + eol);
    EXPECT_EQ(cards.size(), 1u);
    return cards.empty() ? TVCard{} : cards[0];
}

std::vector<std::string> Names(const TVCard& card) {
    std::vector<std::string> names;
    for (const TVCardProperty& property : card.Properties) names.push_back(property.Name);
    return names;
}

TEST(VCardParser, ValueTextAfterUnfoldingDecodingAndEscapes) {
    struct Case {
        const char* what;
        std::string body;  // lines between BEGIN and END
        std::string eol;
        std::string expected;  // Text() of the NOTE
    };
    const Case cases[] = {
        {"3.0 folding drops the blank", "VERSION:3.0\r\nNOTE:gef\r\n altet", "\r\n", "gefaltet"},
        {"LF and tab fold as well", "VERSION:4.0\nNOTE:gef\n\taltet", "\n", "gefaltet"},
        {"several folds", "VERSION:3.0\r\nNOTE:a\r\n b\r\n c\r\n d", "\r\n", "abcd"},
        {"2.1 folding keeps the blank", "VERSION:2.1\r\nNOTE:zwei\r\n Worte", "\r\n", "zwei Worte"},
        {"QP soft break joins the next line as it is",
         "VERSION:2.1\r\nNOTE;ENCODING=QUOTED-PRINTABLE:Zeile=\r\n eins=0D=0Azwei", "\r\n",
         "Zeile eins\r\nzwei"},
        {"QP soft break without a blank after it",
         "VERSION:2.1\r\nNOTE;ENCODING=QUOTED-PRINTABLE:ab=\r\ncd=3D", "\r\n", "abcd="},
        {"QP bytes in UTF-8", "VERSION:2.1\r\nNOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller",
         "\r\n", "M\xC3\xBCller"},
        {"bare QP with a Latin-1 charset", "VERSION:2.1\r\nNOTE;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:M=FCller",
         "\r\n", "M\xC3\xBCller"},
        {"Windows-1252 bytes without charset", "VERSION:2.1\r\nNOTE:M\xFCller \x80", "\r\n",
         "M\xC3\xBCller \xE2\x82\xAC"},
        {"a QP equals sign that is no escape stays", "VERSION:2.1\r\nNOTE;ENCODING=QUOTED-PRINTABLE:1=2 =ZZ",
         "\r\n", "1=2 =ZZ"},
        {"escapes", "VERSION:3.0\r\nNOTE:a\\,b\\;c\\nd\\\\e\\Nf", "\r\n", "a,b;c\nd\\e\nf"},
        {"a backslash that escapes nothing stays", "VERSION:3.0\r\nNOTE:C:\\temp\\", "\r\n", "C:\\temp\\"},
        {"quoted parameter holding a colon", "VERSION:4.0\r\nNOTE;X-LABEL=\"a:b;c\":Wert", "\r\n", "Wert"},
        {"lower-case name", "VERSION:3.0\r\nnote:klein", "\r\n", "klein"},
    };
    for (const Case& c : cases) {
        TVCard card = OneCard(c.body, c.eol);
        const TVCardProperty* note = card.Find("NOTE");
        ASSERT_NE(note, nullptr) << c.what;
        EXPECT_EQ(note->Text(), c.expected) << c.what;
    }
}

TEST(VCardParser, QuotedPrintableSoftBreakDoesNotSwallowTheEndOfTheCard) {
    std::vector<TVCard> cards = ParseVCards(
        "BEGIN:VCARD\r\nNOTE;ENCODING=QUOTED-PRINTABLE:abc=\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Zweite\r\nEND:"
        "VCARD\r\n");
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_TRUE(cards[0].Complete);
    EXPECT_EQ(cards[0].Find("NOTE")->Text(), "abc");
    EXPECT_EQ(cards[1].Find("FN")->Text(), "Zweite");
}

TEST(VCardParser, GroupsParametersAndTypes) {
    TVCard card = OneCard(
        "item1.EMAIL;TYPE=INTERNET,HOME:a@example.com\r\n"
        "TEL;HOME;VOICE:1\r\n"
        "tel;type=\"work,voice\":2\r\n"
        "TEL;TYPE=HOME;TYPE=FAX;PREF=1:3\r\n"
        "PHOTO;ENCODING=BASE64;TYPE=JPEG:/9j/4AAQ==\r\n"
        "NOTE;CHARSET=UTF-8;QUOTED-PRINTABLE:x");
    ASSERT_EQ(Names(card), (std::vector<std::string>{"EMAIL", "TEL", "TEL", "TEL", "PHOTO", "NOTE"}));
    const auto& p = card.Properties;
    EXPECT_EQ(p[0].Group, "item1");
    EXPECT_TRUE(p[0].HasType("home"));
    EXPECT_TRUE(p[0].HasType("Internet"));
    EXPECT_FALSE(p[0].HasType("work"));
    EXPECT_TRUE(p[1].HasType("home") && p[1].HasType("voice"));
    EXPECT_EQ(p[1].Group, "");
    EXPECT_TRUE(p[2].HasType("work") && p[2].HasType("voice"));
    EXPECT_TRUE(p[3].HasType("home") && p[3].HasType("fax"));
    EXPECT_EQ(p[3].Param("PREF"), "1");
    // Binary values stay as written; "=" at their end is base64 padding, not a soft break.
    EXPECT_EQ(p[4].RawValue, "/9j/4AAQ==");
    EXPECT_EQ(p[5].Param("ENCODING"), "QUOTED-PRINTABLE");
}

TEST(VCardParser, ComponentsSplitAtUnescapedSemicolons) {
    TVCard card = OneCard("ORG:ABC\\, Inc.;Nord\\;Ost;Marketing\r\nN:M\\\\;;Hans");
    EXPECT_EQ(card.Find("ORG")->Components(),
              (std::vector<std::string>{"ABC, Inc.", "Nord;Ost", "Marketing"}));
    EXPECT_EQ(card.Find("N")->Components(), (std::vector<std::string>{"M\\", "", "Hans"}));
}

TEST(VCardParser, CardBoundaries) {
    // Text outside the cards is ignored, a 2.1 agent's nested card belongs to nobody, a card cut
    // off by the next BEGIN and one cut off by the end of the file are kept but incomplete.
    const std::string text =
        "Kopfzeile ohne Bedeutung\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Erster\r\nAGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nFN:Agent\r\nEND:"
        "VCARD\r\n"
        "TEL:1\r\nEND:VCARD\r\n"
        "\r\n"
        "begin:vcard\r\nFN:Zweiter\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Dritter\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nFN:Vierter\r\n";
    std::vector<TVCard> cards = ParseVCards(text);
    ASSERT_EQ(cards.size(), 4u);
    EXPECT_EQ(TVCardReader::CountCards(text), 4u);
    EXPECT_EQ(Names(cards[0]), (std::vector<std::string>{"VERSION", "FN", "AGENT", "TEL"}));
    EXPECT_EQ(cards[0].Find("FN")->Text(), "Erster");
    EXPECT_EQ(cards[0].Version, "2.1");
    const bool complete[] = {true, false, true, false};
    const char* names[] = {"Erster", "Zweiter", "Dritter", "Vierter"};
    for (size_t i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(cards[i].Complete, complete[i]) << i;
        EXPECT_EQ(cards[i].Find("FN")->Text(), names[i]) << i;
    }
}

TEST(VCardParser, NoCardsInOtherText) {
    for (const std::string text : {"", "Name;Datum\r\nMax;01.02.1980\r\n", "END:VCARD\r\nFN:Niemand\r\n"}) {
        EXPECT_EQ(TVCardReader::CountCards(text), 0u) << text;
        EXPECT_TRUE(ParseVCards(text).empty()) << text;
    }
}

TEST(VCardParser, FileDecoding) {
    EXPECT_EQ(DecodeVCardFile("\xEF\xBB\xBF"
                              "BEGIN:VCARD"),
              "BEGIN:VCARD");
    // UTF-16 with a byte order mark, including a character outside the basic plane.
    std::string le("\xFF\xFE", 2), be("\xFE\xFF", 2);
    for (char16_t unit : std::u16string(u"FN:J\u00FCrgen \U0001F382")) {
        le += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        be += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
    }
    EXPECT_EQ(DecodeVCardFile(le), "FN:J\xC3\xBCrgen \xF0\x9F\x8E\x82");
    EXPECT_EQ(DecodeVCardFile(be), "FN:J\xC3\xBCrgen \xF0\x9F\x8E\x82");
    EXPECT_EQ(DecodeVCardFile("FN:M\xFCller"), "FN:M\xFCller");  // decoded per value later
}

TEST(VCardParser, BirthdayForms) {
    struct Case {
        const char* value;
        std::optional<TVCardDate> expected;
    };
    const Case cases[] = {
        {"1980-03-15", TVCardDate{1980, 3, 15}},
        {"19800315", TVCardDate{1980, 3, 15}},
        {"1980-03-15T00:00:00Z", TVCardDate{1980, 3, 15}},
        {"1980-03-15T23:30:00-05:00", TVCardDate{1980, 3, 15}},  // the date as written, no zone shift
        {"19800315T000000Z", TVCardDate{1980, 3, 15}},
        {"1980-03-15 00:00:00", TVCardDate{1980, 3, 15}},
        {" 1980-03-15 ", TVCardDate{1980, 3, 15}},
        {"--0315", TVCardDate{0, 3, 15}},
        {"--03-15", TVCardDate{0, 3, 15}},
        {"--0229", TVCardDate{0, 2, 29}},
        {"0000-03-15", TVCardDate{0, 3, 15}},
        {"1980-02-29", TVCardDate{1980, 2, 29}},
        {"0001-01-01", TVCardDate{1, 1, 1}},
        {"1981-02-29", std::nullopt},
        {"1980-13-01", std::nullopt},
        {"1980-00-10", std::nullopt},
        {"1980-04-31", std::nullopt},
        {"1980-03-00", std::nullopt},
        {"1980-03", std::nullopt},
        {"1980", std::nullopt},
        {"---15", std::nullopt},
        {"--1301", std::nullopt},
        {"15.03.1980", std::nullopt},
        {"1980-0315", std::nullopt},
        {"1980-03-15X", std::nullopt},
        {"circa 1800", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseVCardDate(c.value), c.expected) << c.value;
}

TEST(VCardParser, BirthdayProperty) {
    struct Case {
        const char* line;
        std::optional<TVCardDate> expected;
    };
    const Case cases[] = {
        {"BDAY:1980-03-15", TVCardDate{1980, 3, 15}},
        {"BDAY;VALUE=date:--0315", TVCardDate{0, 3, 15}},
        {"BDAY;VALUE=text:1980-03-15", std::nullopt},
        {"BDAY;X-APPLE-OMIT-YEAR=1604:1604-03-15", TVCardDate{0, 3, 15}},
        {"BDAY;X-APPLE-OMIT-YEAR=1604:1980-03-15", TVCardDate{1980, 3, 15}},
        {"BDAY:nicht bekannt", std::nullopt},
    };
    for (const Case& c : cases) {
        TVCard card = OneCard(c.line);
        ASSERT_NE(card.Find("BDAY"), nullptr) << c.line;
        EXPECT_EQ(VCardBirthday(*card.Find("BDAY")), c.expected) << c.line;
    }
}

}  // namespace
}  // namespace tw
