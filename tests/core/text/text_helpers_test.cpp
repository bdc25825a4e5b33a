#include "core/text/text_helpers.h"

#include <gtest/gtest.h>

#include "core/test_support.h"
#include "core/text/count_text.h"
#include "core/text/encoding.h"

namespace tw {
namespace {

TEST(TextHelpers, IsValidEMailFollowsThePattern) {
    struct Case {
        const char* text;
        bool valid;
    } cases[] = {
        {"ab@cd.e", true},          {"a@cd.e", false},        {"ab@c.e", false},
        {"ab@cd", false},           {"ab@cd.", false},        {".b@cd.e", false},
        {"ab.@cd.e", false},        {"a.b-c@d-e.f.gh", true}, {"ab@cd.e.", true},
        {"AB@CD.DE", true},         {"", false},              {"ab@cd.e f", true},  // anything may follow
        {"anna.schmidt@example.org", true}, {"ab@@cd.e", false}, {"äb@cd.e", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidEMail(c.text), c.valid) << c.text;
}

TEST(TextHelpers, FormatFillsLanguageTexts) {
    struct Case {
        const char* pattern;
        std::vector<TFormatArg> args;
        const char* result;  // nullptr: the arguments do not fit
    } cases[] = {
        {"%s, %d Monate", {std::string("30 Jahre"), 11LL}, "30 Jahre, 11 Monate"},
        {"in %d Tagen", {3LL}, "in 3 Tagen"},
        {"100%% %s", {std::string("sicher")}, "100% sicher"},
        {"%1:s %0:s", {std::string("a"), std::string("b")}, "b a"},
        {"[%-4s][%4d][%.3d][%x]", {std::string("ab"), 7LL, 5LL, 255LL}, "[ab  ][   7][005][FF]"},
        {"%d", {std::string("x")}, nullptr},
        {"%s", {1LL}, nullptr},
        {"%s %s", {std::string("x")}, nullptr},
        {"50%", {}, nullptr},
        {"%q", {1LL}, nullptr},
    };
    for (const Case& c : cases) {
        auto out = TryFormat(c.pattern, c.args);
        if (c.result) {
            ASSERT_TRUE(out) << c.pattern;
            EXPECT_EQ(*out, c.result);
        } else {
            EXPECT_FALSE(out) << c.pattern;
            EXPECT_EQ(Format(c.pattern, c.args), c.pattern) << "a faulty text is shown as it is";
        }
    }
}

TEST(TextHelpers, CountAndVersionTexts) {
    test::TTestLanguage language({{26, "Keine Einträge"}, {27, "Ein Eintrag"}, {28, "Einträge"}});
    EXPECT_EQ(CountText(0), "Keine Einträge");
    EXPECT_EQ(CountText(1), "Ein Eintrag");
    EXPECT_EQ(CountText(2), "2 Einträge");
    EXPECT_EQ(VersionText(), "6.3.2");
}

TEST(TextHelpers, PadRightCountsCharacters) {
    EXPECT_EQ(PadRight("ab", ' ', 4), "ab  ");
    EXPECT_EQ(PadRight("äb", '.', 3), "äb.");
    EXPECT_EQ(PadRight("abcdef", ' ', 3), "abcdef");
}

TEST(Encoding, ReadsUtf8AsItIsAndOtherBytesAsWindows1252) {
    EXPECT_EQ(DecodeFileText("Jürgen"), "Jürgen");
    EXPECT_EQ(DecodeFileText("J\xFCrgen \x80 \x9C"), "Jürgen € œ");
    EXPECT_EQ(DecodeFileText("\xC3\x28"), "Ã(") << "a broken sequence makes the whole text Windows-1252";
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")) << "surrogates are not UTF-8";
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF")) << "over-long forms are not UTF-8";
    EXPECT_EQ(Utf8ToCp1252("Jürgen € œ ☃"), "J\xFCrgen \x80 \x9C ?");
    EXPECT_EQ(Utf8Length("äöü"), 3u);
    EXPECT_EQ(Utf8Left("äöü", 2), "äö");
}

}  // namespace
}  // namespace tw
