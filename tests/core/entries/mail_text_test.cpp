#include "core/entries/mail_text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/test_support.h"

namespace tw {
namespace {

using test::D;

TEST(MailText, ReplacePlaceholder) {
    struct Case {
        std::string text;
        std::string key;
        std::string expected;
    };
    const Case cases[] = {
        {"Hallo %name%!", "name", "Hallo Bob!"},
        {"%NAME%, %Name% und %name%", "name", "Bob, Bob und Bob"},
        {"%name%", "NAME", "Bob"},
        {"%name%%name%", "name", "BobBob"},
        {"%%name%%", "name", "%Bob%"},
        {"Grüße an %name%", "name", "Grüße an Bob"},
        // Anything that is not exactly the key between two percent signs stays.
        {"100% %name %names% %na me%", "name", "100% %name %names% %na me%"},
        {"", "name", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ReplacePlaceholder(c.text, c.key, "Bob"), c.expected) << c.text;
}

TEST(MailText, ReplacedValueIsNotSearchedAgain) {
    EXPECT_EQ(ReplacePlaceholder("[%name%]", "name", "%name%%NAME%"), "[%name%%NAME%]");
}

// The reminder mail for Anna on her 30th birthday, a Friday.
class MailTextFill : public ::testing::Test {
  protected:
    MailTextFill() {
        entry_.Name = "Anna";
        entry_.Date = D(10, 5, 1994);
        entry_.EMail = "anna@example.org";
        entry_.Remark = "Kuchen";
        entry_.Event = 0;
        entry_.RememberOptions = {roSound, roEmail};
        entry_.RememberTimes = {rtD0, rtD7};
    }

    test::TTestLanguage lang_{{{71, "%s|%d"}, {93, "in %d"}}};
    test::TScopedClock clock_{D(10, 5, 2024) + 0.5};
    TTWEntry entry_;
};

TEST_F(MailTextFill, EveryKey) {
    const std::string mail = FillMailText(
        "%name%|%date%|%fulldate%|%email%|%remark%|%event%|%age%|%fullage%|%next%|%daystonext%|"
        "%fulldaystonext%|%fullnext%|%rememberoptions%|%remembertimes%",
        entry_);
    EXPECT_EQ(mail,
              "Anna|10.05.1994|T73, den 10.05.1994|anna@example.org|Kuchen|T83|30|30 T66|11|10.05.2024|0|"
              "T87|T76, den 10.05.2024 (T87)|T101, T43|0, 7");
}

TEST_F(MailTextFill, DaysAheadAndKeysInCapitals) {
    clock_.Set(D(1, 5, 2024) + 0.5);
    EXPECT_EQ(FillMailText("%DaysToNext% %FULLDAYSTONEXT% %FullNext% %EMAIL%", entry_),
              "9 in 9 T76, den 10.05.2024 (in 9) anna@example.org");
}

TEST_F(MailTextFill, UnknownYear) {
    entry_.Date = D(15, 3, 9999);
    EXPECT_EQ(FillMailText("%age%/%fullage%/%fulldate%/%next%", entry_),
              "-1/T64/T82, den 15.03.9999/15.03.2025");
}

TEST_F(MailTextFill, StoredLineBreaksBecomeCrLf) {
    EXPECT_EQ(FillMailText("Liebe %name%,\\nalles Gute!\\N\\n", entry_), "Liebe Anna,\r\nalles Gute!\\N\r\n");
}

TEST_F(MailTextFill, LaterKeysSearchEarlierValues) {
    // "name" goes in before "email" is searched, "remark" after "name" was.
    entry_.Name = "Tante %email%";
    entry_.Remark = "%name% mit\\nKuchen";
    EXPECT_EQ(FillMailText("%name%: %remark%", entry_), "Tante anna@example.org: %name% mit\\nKuchen");
}

TEST_F(MailTextFill, UnknownKeysAndStrayPercentSignsStay) {
    EXPECT_EQ(FillMailText("100% für %name% %vorname% %", entry_), "100% für Anna %vorname% %");
}

}  // namespace
}  // namespace tw
