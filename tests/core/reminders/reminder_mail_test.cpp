#include "core/reminders/reminder_mail.h"

#include <gtest/gtest.h>

#include "core/test_support.h"
#include "core/text/date_text.h"

namespace tw {
namespace {

using test::D;

// An entry of the main collection and the copy that the due selection hands to the reminder: the
// copy carries the options' channels where the entry uses the standard ones, so only the entry in
// the collection still says whether it does.
struct TEntryPair {
    TTWEntries collection;
    TTWEntry due;
};

TEntryPair MakePair(TDateTime date, bool standard, bool own_email_only, TRememberOptions channels) {
    TTWEntry entry;
    entry.Id = 3;
    entry.Name = "Anna Berger";
    entry.Date = date;
    entry.RememberTimes = {rtD0, rtD7};
    entry.RememberOptions = standard ? TRememberOptions{roStandard} : channels;
    entry.EmailOnly = own_email_only;
    TEntryPair pair;
    pair.collection.Append(entry);
    pair.due = entry;
    pair.due.RememberOptions = channels;
    return pair;
}

TEST(ReminderMailGoesOut, OnlyOnTheDayFlagComesFromTheEntryInTheCollection) {
    struct Case {
        const char* name;
        TDateTime today;
        TDateTime date;
        bool standard;              // the entry in the collection uses the standard channels
        TRememberOptions channels;  // the due copy's channels
        bool own_email_only;
        bool options_email_only;
        bool goes_out;
    } cases[] = {
        // clang-format off
        {"own, no flag, 7 days before", D(3, 5, 2024), D(10, 5, 1990), false, {roEmail}, false, true, true},
        {"own flag, 7 days before", D(3, 5, 2024), D(10, 5, 1990), false, {roEmail}, true, false, false},
        {"own flag, on the day", D(10, 5, 2024), D(10, 5, 1990), false, {roEmail}, true, false, true},
        {"own flag, same day number a month before", D(10, 4, 2024), D(10, 5, 1990), false, {roEmail}, true, false,
         false},
        {"own channels without e-mail", D(10, 5, 2024), D(10, 5, 1990), false, {roSound, roSpeech}, false, false,
         false},
        {"standard: own flag set, options' off", D(3, 5, 2024), D(10, 5, 1990), true, {roEmail}, true, false, true},
        {"standard: own flag off, options' set", D(3, 5, 2024), D(10, 5, 1990), true, {roEmail}, false, true, false},
        {"standard: options' flag, on the day", D(10, 5, 2024), D(10, 5, 1990), true, {roEmail, roSound}, false, true,
         true},
        {"standard channels without e-mail", D(10, 5, 2024), D(10, 5, 1990), true, {roSound}, false, false, false},
        {"unknown year, flag, on the day", D(10, 5, 2024), D(10, 5, 9999), false, {roEmail}, true, false, true},
        {"29 February, flag, reminded on 28 February", D(28, 2, 2023), D(29, 2, 1980), false, {roEmail}, true, false,
         false},
        {"29 February, flag, 28 February of a leap year", D(28, 2, 2024), D(29, 2, 1980), false, {roEmail}, true,
         false, false},
        {"29 February, standard, options' flag", D(28, 2, 2025), D(29, 2, 1980), true, {roEmail}, false, true, false},
        // clang-format on
    };
    test::TScopedClock clock(D(1, 1, 2024));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clock.Set(c.today + 0.75);
        TEntryPair pair = MakePair(c.date, c.standard, c.own_email_only, c.channels);
        TTWOptions options;
        options.RememberOptions = c.channels;
        options.MailDefaults.EmailOnly = c.options_email_only;
        EXPECT_EQ(ReminderMailGoesOut(pair.due, pair.collection, options), c.goes_out);
    }
}

class ReminderMail : public ::testing::Test {
  protected:
    void SetUp() override {
        options_.MailDefaults.EmailTo = "familie@example.org";
        options_.MailDefaults.EmailFrom = "tagwacht@example.org";
        options_.MailDefaults.EmailSubject = "Erinnerung";
        options_.MailDefaults.EmailText = "Standard f\xC3\xBCr %name%\\nam %DATE% (%daystonext%)";
    }

    // An entry with its own e-mail fields, using its own channels or the standard ones.
    void Add(int id, const std::string& name, bool standard) {
        TTWEntry entry;
        entry.Id = id;
        entry.Name = name;
        entry.Date = D(10, 5, 1990);
        entry.Event = 1;
        entry.RememberTimes = {rtStandard};
        entry.RememberOptions = standard ? TRememberOptions{roStandard} : TRememberOptions{roEmail};
        entry.EmailTo = name + "@example.org";
        entry.EmailFrom = "eigen@example.org";
        entry.EmailSubject = "Eigener Betreff";
        entry.EmailText =
            "Liebe Gr\xC3\xBC\xC3\x9F"
            "e an %Name%,\\nzum %event% in %daystonext% Tagen.\\n\\nBis bald";
        entries_.Append(entry);
    }

    test::TTestLanguage language_{{{83, "Geburtstag"}, {84, "Hochzeitstag"}}};
    test::TScopedClock clock_{D(3, 5, 2024) + 0.4};
    TTWEntries entries_;
    TTWOptions options_;
};

TEST_F(ReminderMail, StandardChannelsTakeEverythingFromTheOptions) {
    Add(0, "eigen", false);
    Add(4, "bernd", true);
    std::optional<TReminderMail> mail = BuildReminderMail(4, entries_, options_);
    ASSERT_TRUE(mail.has_value());
    EXPECT_EQ(mail->To, "familie@example.org");
    EXPECT_EQ(mail->From, "tagwacht@example.org");
    EXPECT_EQ(mail->Subject, "Erinnerung");
    EXPECT_EQ(mail->Body, "Standard f\xC3\xBCr bernd\r\nam 10.05.1990 (7)");
}

TEST_F(ReminderMail, OwnChannelsTakeTheEntrysFieldsWithPlaceholdersFilled) {
    Add(0, "anna", false);
    Add(4, "bernd", true);
    std::optional<TReminderMail> mail = BuildReminderMail(0, entries_, options_);
    ASSERT_TRUE(mail.has_value());
    EXPECT_EQ(mail->To, "anna@example.org");
    EXPECT_EQ(mail->From, "eigen@example.org");
    EXPECT_EQ(mail->Subject, "Eigener Betreff");
    EXPECT_EQ(mail->Body,
              "Liebe Gr\xC3\xBC\xC3\x9F"
              "e an anna,\r\nzum Hochzeitstag in 7 Tagen.\r\n\r\nBis bald");
}

TEST_F(ReminderMail, UnknownIdGivesNoMail) {
    Add(0, "anna", false);
    EXPECT_FALSE(BuildReminderMail(1, entries_, options_).has_value());
}

}  // namespace
}  // namespace tw
