#include "core/reminders/due_selection.h"

#include <gtest/gtest.h>

#include "core/entries/entry_files.h"
#include "core/reminders/reminder_text.h"
#include "core/test_support.h"
#include "core/text/date_text.h"

namespace tw {
namespace {

using test::D;

class DueSelection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(files_.Open(dir_.Path(), nullptr));
        options_.RememberTimes = {rtD0, rtD1};
        options_.RememberOptions = {roSound};
    }

    // Creates an entry as the entry form saves it, on the day the clock says.
    int Create(const std::string& name, TDateTime date, TRememberTimes times = {rtStandard}, int event = 0) {
        TTWEntry entry;
        entry.Id = static_cast<int>(TTWEntries::NextFreeId(files_.EntriesIni));
        entry.Name = name;
        entry.Date = date;
        entry.Event = event;
        entry.RememberTimes = times;
        entry.RememberOptions = {roStandard};
        WriteEntry(entry, files_);
        EXPECT_TRUE(entries_.AddEntry(entry.Id, files_));
        return entry.Id;
    }

    // The names of the entries due now.
    std::vector<std::string> Due(bool once_day = false) {
        TTWEntries due;
        SelectDueEntries(entries_, files_, options_, once_day, due);
        std::vector<std::string> names;
        for (size_t i = 0; i < due.Count(); ++i) names.push_back(due[i].Name);
        return names;
    }

    // Shows every due entry, as the reminder window does.
    void ShowAll(bool once_day = false) {
        TTWEntries due;
        SelectDueEntries(entries_, files_, options_, once_day, due);
        for (size_t i = 0; i < due.Count(); ++i) MarkReminded(due[i], files_);
    }

    // A new start of the program: the entries are read again, Missed flags are gone.
    void Restart() { ASSERT_TRUE(entries_.LoadEntries(files_)); }

    using Names = std::vector<std::string>;
    test::TTestLanguage language_{{{37, "%s/%s/%s"}, {93, "in %d Tagen"}, {99, "vor %d Tagen"},
                                   {144, "%s hatte %s Geburtstag"}, {145, "%s hatte %s"},
                                   {147, "%s hat %s Geburtstag"}, {148, "%s hat %s"}}};
    test::TRecordingMessages messages_;
    test::TTempDir dir_;
    test::TScopedClock clock_{D(1, 3, 2024) + 0.4};
    TTWIniFiles files_;
    TTWEntries entries_;
    TTWOptions options_;
};

TEST_F(DueSelection, OwnAndStandardReminderTimes) {
    Create("Sieben", D(8, 3, 1990), {rtD7});
    Create("Standard", D(2, 3, 1985));  // options: on the day and the day before
    EXPECT_EQ(Due(), (Names{"Sieben", "Standard"}));
    ShowAll();
    clock_.Set(D(2, 3, 2024) + 0.4);
    Restart();
    EXPECT_EQ(Due(), (Names{"Standard"})) << "6 days before is not a reminder day";
    ShowAll();
    clock_.Set(D(3, 3, 2024) + 0.4);
    Restart();
    EXPECT_EQ(Due(), Names{});
}

TEST_F(DueSelection, MissedOccurrenceIsCaughtUpOnce) {
    clock_.Set(D(1, 6, 2023));
    Create("Nur sieben", D(20, 6, 1980), {rtD7});
    Create("Tag und sieben", D(20, 6, 1981), {rtD0, rtD7});
    clock_.Set(D(13, 6, 2023) + 0.5);  // last year's reminders, 7 days before
    Restart();
    ShowAll();
    clock_.Set(D(20, 6, 2023) + 0.5);  // and on the day
    Restart();
    ShowAll();

    // Not run from 20 days before this year's day until 3 days after it.
    clock_.Set(D(23, 6, 2024) + 0.5);
    Restart();
    TTWEntries due;
    SelectDueEntries(entries_, files_, options_, false, due);
    ASSERT_EQ(due.Count(), 2u) << "a reminder on last year's day marked last year's occurrence only";
    EXPECT_EQ(due[0].Name, "Nur sieben");
    EXPECT_EQ(due[1].Name, "Tag und sieben");
    EXPECT_TRUE(entries_[0].Missed);
    EXPECT_TRUE(IsCaughtUp(due[0], files_.EntriesIni));
    EXPECT_EQ(ReminderSentence(due[0], files_.EntriesIni), "Nur sieben  hatte vor 3 Tagen Geburtstag");
    EXPECT_EQ(Due(), Names{}) << "a missed entry stays out of later checks of the same run";

    MarkReminded(due[0], files_);
    MarkReminded(due[1], files_);
    EXPECT_TRUE(files_.EntriesIni.ValueExists("0", "REM_44")) << "the occurrence just passed";
    EXPECT_TRUE(files_.EntriesIni.ValueExists("1", "REM_43"));
    EXPECT_FALSE(IsCaughtUp(due[0], files_.EntriesIni));
    clock_.Set(D(24, 6, 2024) + 0.5);
    Restart();
    EXPECT_EQ(Due(), Names{});
}

// A reminder on the day itself handles that day's occurrence: not caught up the next day, and
// next year's occurrence, if the program misses it, is caught up.
TEST_F(DueSelection, ReminderOnTheDayHandlesThatOccurrenceOnly) {
    clock_.Set(D(1, 2, 2024));
    Create("Nur am Tag", D(10, 3, 1990), {rtD0});
    clock_.Set(D(10, 3, 2024) + 0.5);
    Restart();
    EXPECT_EQ(Due(), Names{"Nur am Tag"});
    ShowAll();
    clock_.Set(D(11, 3, 2024) + 0.5);
    Restart();
    EXPECT_EQ(Due(), Names{}) << "reminded yesterday, on its day";
    clock_.Set(D(15, 3, 2025) + 0.5);
    Restart();
    EXPECT_EQ(Due(), Names{"Nur am Tag"}) << "next year's day passed without a reminder";
}

TEST_F(DueSelection, UnknownYearIsDueOnItsDayEveryYear) {
    Create("Ohne Jahr", D(5, 3, 9999), {rtD7});
    clock_.Set(D(5, 3, 2024) + 0.5);
    Restart();
    ShowAll();
    EXPECT_TRUE(files_.EntriesIni.ValueExists("0", "REM_-1")) << "today's occurrence, as on any other day";
    EXPECT_FALSE(files_.EntriesIni.ValueExists("0", "REM_0"));
    Restart();
    EXPECT_EQ(Due(), (Names{"Ohne Jahr"})) << "REM_-2 is asked for on the day and never written";
    EXPECT_TRUE(entries_[0].Missed);
    clock_.Set(D(5, 3, 2025) + 0.5);
    Restart();
    EXPECT_EQ(Due(), (Names{"Ohne Jahr"}));
}

TEST_F(DueSelection, February29IsRemindedOnFebruary28) {
    clock_.Set(D(1, 2, 2023));
    Create("Schalttag", D(29, 2, 1980), {rtD0, rtD1});
    struct Case {
        TDateTime today;
        bool due;
    } cases[] = {
        {D(27, 2, 2023), true}, {D(28, 2, 2023), true}, {D(1, 3, 2023), false},
        {D(27, 2, 2024), true}, {D(28, 2, 2024), true}, {D(29, 2, 2024), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DateToText(c.today));
        clock_.Set(c.today + 0.5);
        Restart();
        EXPECT_EQ(!Due().empty(), c.due);
        ShowAll();
    }
}

TEST_F(DueSelection, NewEntriesAreNotCaughtUp) {
    clock_.Set(D(10, 5, 2024) + 0.5);
    Create("Gestern", D(9, 5, 1990), {rtD7});
    Create("Heute", D(10, 5, 1990), {rtD7});
    EXPECT_EQ(Due(), (Names{"Heute"})) << "created on its day: the mark asked for is the year before";
}

TEST_F(DueSelection, OnceDayKeepsTheDaysRemindersFromComingBack) {
    Create("Morgen", D(2, 3, 1970));
    ShowAll(true);
    Restart();
    EXPECT_EQ(Due(true), Names{});
    EXPECT_EQ(Due(false), (Names{"Morgen"})) << "without the option, or on request";
    EXPECT_TRUE(files_.RemIni.ValueExists("0", "01.03.2024"));
}

TEST_F(DueSelection, CopiesGetTheStandardChannels) {
    Create("Standard", D(1, 3, 2000));
    TTWEntries due;
    SelectDueEntries(entries_, files_, options_, false, due);
    ASSERT_EQ(due.Count(), 1u);
    EXPECT_EQ(due[0].RememberOptions, options_.RememberOptions);
    EXPECT_TRUE(entries_[0].RememberOptions.Has(roStandard)) << "the collection keeps its own";
}

TEST_F(DueSelection, MarksAreOnDiskAtOnce) {
    Create("Anna", D(2, 3, 1990));
    ShowAll();
    std::string entries = test::ReadFile(dir_.File("entries.ini"));
    EXPECT_NE(entries.find("REM_34=1"), std::string::npos) << "the coming occurrence, a day away";
    EXPECT_NE(test::ReadFile(dir_.File("rem.ini")).find("[0]\r\n01.03.2024=1"), std::string::npos);
}

TEST(LastCheck, NewDayOncePerDay) {
    test::TScopedClock clock(D(1, 3, 2024) + 0.1);
    TLastCheck last;
    EXPECT_TRUE(IsNewDay(last));
    clock.Set(D(1, 3, 2024) + 0.9);
    EXPECT_FALSE(IsNewDay(last));
    clock.Set(D(1, 3, 2025) + 0.1);
    EXPECT_TRUE(IsNewDay(last)) << "same day and month, another year";
    EXPECT_EQ(last.Year, 2025);
}

}  // namespace
}  // namespace tw
