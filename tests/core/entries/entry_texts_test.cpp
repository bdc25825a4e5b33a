#include "core/entries/entry_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/test_support.h"

namespace tw {
namespace {

using Lines = std::vector<std::string>;

TEST(EntryTexts, EmailTextToLines) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"Hallo", {"Hallo"}},
        {"Hallo\\nWelt", {"Hallo", "Welt"}},
        {"Hallo\\n\\nWelt", {"Hallo", "", "Welt"}},
        {"Hallo\\n", {"Hallo"}},
        {"Hallo\\n\\n", {"Hallo", ""}},
        {"\\nWelt", {"", "Welt"}},
        // Only a small n breaks the line; a real line feed is just a character.
        {"Hallo\\NWelt", {"Hallo\\NWelt"}},
        {"a\nb", {"a\nb"}},
        {"C:\\\\nix", {"C:\\", "ix"}},
    };
    for (const auto& [text, lines] : cases) EXPECT_EQ(EmailTextToLines(text), lines) << text;
}

TEST(EntryTexts, LinesToEmailText) {
    const std::pair<Lines, std::string> cases[] = {
        {{}, ""},
        {{"Hallo"}, "Hallo"},
        {{"Hallo", "", "Welt"}, "Hallo\\n\\nWelt"},
        {{"Hallo", ""}, "Hallo\\n"},
        {{"", "", "Hallo", "Welt"}, "Hallo\\nWelt"},
    };
    for (const auto& [lines, text] : cases) EXPECT_EQ(LinesToEmailText(lines), text) << text;
}

TEST(EntryTexts, EmailTextRoundTripKeepsInnerEmptyLinesOnly) {
    EXPECT_EQ(LinesToEmailText(EmailTextToLines("eins\\n\\ndrei")), "eins\\n\\ndrei");
    EXPECT_EQ(LinesToEmailText(EmailTextToLines("\\nzwei\\ndrei")), "zwei\\ndrei");
}

TEST(EntryTexts, RememberTimesText) {
    test::TTestLanguage lang;
    const std::pair<TRememberTimes, std::string> cases[] = {
        {{}, ""},
        {{rtStandard}, "T100"},
        {{rtD28, rtD0, rtD7}, "0, 7, 28"},
        {{rtD1, rtStandard}, "1, T100"},
        {{rtD0, rtD1, rtD2, rtD5, rtD7, rtD10, rtD14, rtD21, rtD28}, "0, 1, 2, 5, 7, 10, 14, 21, 28"},
    };
    for (const auto& [times, text] : cases) {
        TTWEntry entry;
        entry.RememberTimes = times;
        EXPECT_EQ(RememberTimesText(entry), text);
    }
}

TEST(EntryTexts, RememberOptionsText) {
    test::TTestLanguage lang;
    struct Case {
        TRememberOptions options;
        bool email_only;
        std::string text;
    };
    const Case cases[] = {
        {{}, false, ""},
        {{roSound}, false, "T101"},
        // The keyboard lights come before speech.
        {{roSpeech, roKeyboard}, false, "T102, T103"},
        {{roSound, roSpeech, roKeyboard, roEmail}, false, "T101, T102, T103, T43"},
        {{roEmail}, true, "T104"},
        {{roStandard, roSound, roEmail}, true, "T100"},
    };
    for (const auto& c : cases) {
        TTWEntry entry;
        entry.RememberOptions = c.options;
        entry.EmailOnly = c.email_only;
        EXPECT_EQ(RememberOptionsText(entry), c.text);
    }
}

}  // namespace
}  // namespace tw
