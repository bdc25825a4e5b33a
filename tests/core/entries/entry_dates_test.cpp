#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/entries/entry.h"
#include "core/test_support.h"
#include "core/text/date_text.h"

namespace tw {
namespace {

using test::D;
using test::TScopedClock;
using test::TTestLanguage;

constexpr TDateTime kNoon = 0.5;

TTWEntry EntryOn(TDateTime date) {
    TTWEntry entry;
    entry.Name = "Anna";
    entry.Date = date;
    return entry;
}

// Texts with placeholders show which arguments went in; all others read "T<number>".
class EntryDates : public ::testing::Test {
  protected:
    TTestLanguage lang_{{{71, "%s|%d"}, {93, "in %d"}, {99, "ago %d"}}};
};

struct OccurrenceCase {
    TDateTime date;
    TDateTime now;
    TDateTime next;
    int days_to_next;
    TDateTime last;
    int days_since_last;
};

TEST_F(EntryDates, NextAndLastOccurrence) {
    const OccurrenceCase cases[] = {
        // 29 February stays on 28 February, in leap years too.
        {D(29, 2, 1980), D(27, 2, 2024) + kNoon, D(28, 2, 2024), 1, D(28, 2, 2023), 364},
        {D(29, 2, 1980), D(29, 2, 2024) + kNoon, D(28, 2, 2025), 365, D(28, 2, 2024), 1},
        {D(29, 2, 1980), D(28, 2, 2023) + kNoon, D(28, 2, 2023), 0, D(28, 2, 2023), 0},
        // Across the turn of the year.
        {D(2, 1, 1990), D(31, 12, 2023) + kNoon, D(2, 1, 2024), 2, D(2, 1, 2023), 363},
        {D(31, 12, 1990), D(1, 1, 2024) + kNoon, D(31, 12, 2024), 365, D(31, 12, 2023), 1},
        // The day itself is both next and last, late in the evening as well.
        {D(10, 5, 1994), D(10, 5, 2024) + 0.999, D(10, 5, 2024), 0, D(10, 5, 2024), 0},
        {D(1, 3, 1990), D(2, 3, 2023) + kNoon, D(1, 3, 2024), 365, D(1, 3, 2023), 1},
        // The unknown year plays no part.
        {D(15, 3, 9999), D(1, 3, 2024) + kNoon, D(15, 3, 2024), 14, D(15, 3, 2023), 352},
        // A date in the future still has this year's occurrence.
        {D(20, 8, 2030), D(10, 5, 2024) + kNoon, D(20, 8, 2024), 102, D(20, 8, 2023), 264},
    };
    for (const auto& c : cases) {
        TScopedClock clock(c.now);
        TTWEntry entry = EntryOn(c.date);
        SCOPED_TRACE(DateToText(c.date) + " on " + DateToText(c.now));
        EXPECT_EQ(DateToText(entry.NextDate()), DateToText(c.next));
        EXPECT_EQ(entry.DaysToNext(), c.days_to_next);
        EXPECT_EQ(DateToText(entry.LastDate()), DateToText(c.last));
        EXPECT_EQ(entry.DaysSinceLast(), c.days_since_last);
    }
}

struct AgeCase {
    TDateTime date;
    TDateTime now;
    int age;
    double age_in_days;
    std::string age_text;
};

TEST_F(EntryDates, AgeAndAgeText) {
    const TDateTime may10 = D(10, 5, 2024);
    const AgeCase cases[] = {
        // The anniversary: the month part comes from day number 10958, 31 December 1929.
        {D(10, 5, 1994), may10 + kNoon, 30, 10958, "30 T66|11"},
        {D(10, 5, 1994), may10 - 1 + kNoon, 29, 10957, "29 T66|11"},
        {D(10, 5, 1994), may10 + 1 + kNoon, 30, 10959, "30 T66"},
        {D(10, 5, 1994), may10 + 0.75, 30, 10958, "30 T66|11"},
        // 365 days fall short of 365.25: the anniversary still brings the new age.
        {D(1, 3, 2000), D(1, 3, 2001) + kNoon, 1, 365, "T65|11"},
        {D(1, 3, 2000), D(28, 2, 2001) + kNoon, 0, 364, "11 T70"},
        {D(15, 3, 9999), may10 + kNoon, -1, -1, "T64"},
        // Born yesterday counts as eleven months, the way the day numbers fall.
        {may10 - 1, may10 + kNoon, 0, 1, "11 T70"},
        {D(1, 1, 2024), D(5, 2, 2024) + kNoon, 0, 35, "T68"},
        {D(1, 1, 2023), D(10, 2, 2024) + kNoon, 1, 405, "T65 T69"},
        {D(1, 1, 2024), D(15, 4, 2024) + kNoon, 0, 105, "3 T70"},
        // Days in the first month count the difference of the day numbers within the month.
        {D(1, 4, 2024), D(20, 4, 2024) + kNoon, 0, 19, "19 T189"},
        {D(25, 3, 2024), D(10, 4, 2024) + kNoon, 0, 16, "15 T189"},
        // Future dates: negative ages, and between one and two years ahead the same -1 as year 9999.
        {D(10, 6, 2024), may10 + kNoon, 0, -30, ""},
        {D(1, 9, 2025), may10 + kNoon, -1, -478, "T64"},
        {D(1, 9, 2027), may10 + kNoon, -3, -1208, "-3 T66"},
        {D(10, 5, 2025), may10 + kNoon, -1, -364, "T64"},
    };
    for (const auto& c : cases) {
        TScopedClock clock(c.now);
        TTWEntry entry = EntryOn(c.date);
        SCOPED_TRACE(DateToText(c.date) + " on " + DateToText(c.now));
        EXPECT_EQ(entry.Age(), c.age);
        EXPECT_EQ(entry.AgeInDays(), c.age_in_days);
        EXPECT_EQ(entry.AgeText(), c.age_text);
    }
}

TEST_F(EntryDates, NextTextAndSinceLastTextByDayCount) {
    struct Case {
        int days;
        std::string next_text;
        std::string since_last_text;
    };
    const Case cases[] = {
        {0, "T87", "T87"},       {1, "T88", "T94"},          {2, "T89", "T95"},    {7, "T90", "T96"},
        {14, "T91", "T97"},      {21, "T92", "T98"},         {3, "in 3", "ago 3"}, {20, "in 20", "ago 20"},
        {28, "in 28", "ago 28"}, {300, "in 300", "ago 300"},
    };
    const TDateTime today = D(10, 5, 2024);
    TScopedClock clock(today + kNoon);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        TTWEntry ahead = EntryOn(*AddYears(today + c.days, -30));
        ASSERT_EQ(ahead.DaysToNext(), c.days);
        EXPECT_EQ(ahead.NextText(), c.next_text);
        TTWEntry behind = EntryOn(*AddYears(today - c.days, -30));
        ASSERT_EQ(behind.DaysSinceLast(), c.days);
        EXPECT_EQ(behind.SinceLastText(), c.since_last_text);
    }
}

TEST_F(EntryDates, ZodiacSignBoundaries) {
    struct Case {
        int day;
        int month;
        const char* sign;
    };
    const Case cases[] = {
        {1, 1, "Steinbock"},  {20, 1, "Steinbock"},  {21, 1, "Wassermann"}, {19, 2, "Wassermann"},
        {20, 2, "Fisch"},     {29, 2, "Fisch"},      {20, 3, "Fisch"},      {21, 3, "Widder"},
        {20, 4, "Widder"},    {21, 4, "Stier"},      {20, 5, "Stier"},      {21, 5, "Zwillinge"},
        {21, 6, "Zwillinge"}, {22, 6, "Krebs"},      {22, 7, "Krebs"},      {23, 7, "Löwe"},
        {23, 8, "Löwe"},      {24, 8, "Jungfrau"},   {23, 9, "Jungfrau"},   {24, 9, "Waage"},
        {23, 10, "Waage"},    {24, 10, "Skorpion"},  {22, 11, "Skorpion"},  {23, 11, "Schütze"},
        {21, 12, "Schütze"},  {22, 12, "Steinbock"}, {31, 12, "Steinbock"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.day) + "." + std::to_string(c.month));
        // The year plays no part; 29 February exists only in the leap year.
        for (int year : {1980, 2023, 9999}) {
            if (auto date = EncodeDate(year, c.month, c.day)) {
                EXPECT_EQ(EntryOn(*date).ZodiacSign(), c.sign);
            }
        }
    }
}

TEST_F(EntryDates, WeekdayTexts) {
    // 6 May 2024 was a Monday.
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(WeekdayText(D(6 + i, 5, 2024) + kNoon), "T" + std::to_string(72 + i));

    TScopedClock clock(D(11, 5, 2024) + kNoon);
    TTWEntry entry = EntryOn(D(10, 5, 1994));
    EXPECT_EQ(entry.BirthWeekdayText(), "T73");  // Tuesday
    EXPECT_EQ(entry.LastWeekdayText(), "T76");   // Friday, 10.05.2024
    EXPECT_EQ(entry.NextWeekdayText(), "T77");   // Saturday, 10.05.2025
    EXPECT_EQ(EntryOn(D(15, 3, 9999)).BirthWeekdayText(), "T82");
}

TEST_F(EntryDates, EventText) {
    TTWEntry entry = EntryOn(D(10, 5, 1994));
    entry.UserEvent = "Namenstag";
    const std::pair<int, std::string> cases[] = {{0, "T83"}, {1, "T84"}, {2, "Namenstag"}, {3, ""}, {-1, ""}};
    for (const auto& [event, text] : cases) {
        entry.Event = event;
        EXPECT_EQ(entry.EventText(), text) << event;
    }
}

// A clock that moves on by a day at every read: an operation that read it twice would mix two
// different days, as a real one could across midnight.
class TCountingClock : public TClock {
  public:
    explicit TCountingClock(TDateTime start) : now_(start) {}
    TDateTime Now() const override {
        ++reads;
        TDateTime now = now_;
        now_ += 1;
        return now;
    }
    mutable int reads = 0;

  private:
    mutable TDateTime now_;
};

TEST_F(EntryDates, EachOperationReadsTheClockOnce) {
    const std::pair<const char*, std::function<void(const TTWEntry&)>> operations[] = {
        {"NextDate", [](const TTWEntry& e) { e.NextDate(); }},
        {"LastDate", [](const TTWEntry& e) { e.LastDate(); }},
        {"DaysToNext", [](const TTWEntry& e) { e.DaysToNext(); }},
        {"DaysSinceLast", [](const TTWEntry& e) { e.DaysSinceLast(); }},
        {"Age", [](const TTWEntry& e) { e.Age(); }},
        {"AgeInDays", [](const TTWEntry& e) { e.AgeInDays(); }},
        {"AgeText", [](const TTWEntry& e) { e.AgeText(); }},
        {"NextText", [](const TTWEntry& e) { e.NextText(); }},
        {"SinceLastText", [](const TTWEntry& e) { e.SinceLastText(); }},
        {"NextWeekdayText", [](const TTWEntry& e) { e.NextWeekdayText(); }},
        {"LastWeekdayText", [](const TTWEntry& e) { e.LastWeekdayText(); }},
    };
    TTWEntry entry = EntryOn(D(10, 5, 1994));
    for (const auto& [name, operation] : operations) {
        TCountingClock clock(D(9, 5, 2024) + kNoon);
        SetClock(&clock);
        operation(entry);
        SetClock(nullptr);
        EXPECT_EQ(clock.reads, 1) << name;
    }
}

}  // namespace
}  // namespace tw
