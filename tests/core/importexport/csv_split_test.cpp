#include "core/importexport/csv_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitLine, TrimmedQuoteAwareCases) {
    struct Case {
        std::string line;
        char separator;
        Fields expected;
    };
    const Case cases[] = {
        {R"("Muster";"Max";"24.12.1970")", ';', {"Muster", "Max", "24.12.1970"}},
        {"", ';', {}},
        {"a;b;", ';', {"a", "b"}},      // no empty last field after a final separator
        {"a;;b", ';', {"a", "", "b"}},  // an empty field between two separators is kept
        {";a", ';', {"", "a"}},         // so is an empty first field
        {"a; ", ';', {"a", ""}},        // blanks after the last separator still give a field
        {R"("a";"")", ';', {"a"}},      // quotes are not collected, so nothing is left at the end
        {" \tMax Muster \r; 1.2.1980\x01", ';', {"Max Muster", "1.2.1980"}},
        {R"("Muster; Max";24.12.1970)", ';', {"Muster; Max", "24.12.1970"}},
        {R"("Max ""Mo"" Muster";1)", ';', {"Max Mo Muster", "1"}},    // a doubled quote switches twice
        {R"(Max "Mo;Jo" Muster;1)", ';', {"Max Mo;Jo Muster", "1"}},  // quotes inside a field protect too
        {R"(";x";y)", ';', {"x", "y"}},     // a field beginning with the separator loses it
        {R"("; x ";y)", ';', {" x", "y"}},  // the separator goes after trimming; what follows stays
        {R"("open;to the end)", ';', {"open;to the end"}},
        {"J\xC3\xB6rg ,M\xC3\xBCller", ',', {"J\xC3\xB6rg", "M\xC3\xBCller"}},  // UTF-8 bytes are no blanks
        {"Max  01.02.1980", ' ', {"Max", "", "01.02.1980"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("line [" + c.line + "] separator [" + std::string(1, c.separator) + "]");
        EXPECT_EQ(SplitLine(c.line, c.separator, true, true), c.expected);
    }
}

TEST(SplitLine, WithoutQuotesOrTrimming) {
    EXPECT_EQ(SplitLine(R"("a;b";c)", ';', true, false), (Fields{"\"a", "b\"", "c"}));
    EXPECT_EQ(SplitLine(" a ; b", ';', false, true), (Fields{" a ", " b"}));
    EXPECT_EQ(SplitLine(" a ;", ';', false, false), (Fields{" a "}));
}

TEST(SplitImportLine, GuessesTheSeparatorPerLine) {
    struct Case {
        std::string line;
        char separator;
        Fields expected;
    };
    const Case cases[] = {
        {R"("Muster";"Max";"24.12.1970")", ';', {"Muster", "Max", "24.12.1970"}},
        {"Max Muster,24.12.", ',', {"Max Muster", "24.12."}},
        // The semicolon comes first and already gives two fields, so the comma stays in the name.
        {R"("Muster, Max";24.12.1970)", ';', {"Muster, Max", "24.12.1970"}},
        {"Max 01.02.1980", ' ', {"Max", "01.02.1980"}},
        // One field, but the line holds a semicolon: no other separator is tried.
        {R"("Max";)", ';', {"Max"}},
        {R"("24.12.1970","A;B","")", ';', {"24.12.1970,A;B,"}},
        // One field and a comma: blanks are not tried.
        {"Max Muster,", ',', {"Max Muster"}},
        {"Max", ' ', {"Max"}},
        {"", ' ', {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("line [" + c.line + "]");
        char used = '?';
        EXPECT_EQ(SplitImportLine(c.line, &used), c.expected);
        EXPECT_EQ(used, c.separator);
    }
}

TEST(SplitTextLines, EveryLineEndAndNoEmptyLastLine) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(SplitTextLines(""), Lines{});
    EXPECT_EQ(SplitTextLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitTextLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitTextLines("a\n\nb\rc"), (Lines{"a", "", "b", "c"}));
    EXPECT_EQ(SplitTextLines("\r\n"), (Lines{""}));
    EXPECT_EQ(SplitTextLines("a\r\r\n"), (Lines{"a", ""}));
}

TEST(ParseCsvFields, CodesInColumnOrder) {
    using Codes = std::vector<TCsvField>;
    EXPECT_EQ(ParseCsvFields("0,3"), (Codes{TCsvField::Name, TCsvField::Date}));
    EXPECT_EQ(ParseCsvFields(" 2 , 1,6"),
              (Codes{TCsvField::LastName, TCsvField::FirstName, TCsvField::Event}));
    for (const char* bad : {"", "7", "-1", "0,,3", "0;3", "a", "3,"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseCsvFields(bad).has_value());
    }
}

}  // namespace
}  // namespace tw
