#include "core/reminders/due_fast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/entries/entries.h"
#include "core/test_support.h"
#include "core/text/date_text.h"

namespace tw {

void PrintTo(const TDueLine& line, std::ostream* out) {
    *out << line.Id << " | " << line.Name << " | " << line.Sentence;
}

namespace {

using test::D;
using Lines = std::vector<TDueLine>;

// One entry as the program writes it (keys in its order, CR LF), with the occurrence marks given
// and the reminder times set to 1 (the channels: sound).
std::string EntrySection(int id, const std::string& name, const std::string& date, int event,
                         const std::vector<int>& marks) {
    std::string s = "[" + std::to_string(id) + "]\r\nName=" + name + "\r\nDate=" + date +
                    "\r\nSex=0\r\nEMail=\r\nRemark=\r\nUserEvent=" + (event == 2 ? "Taufe" : "") +
                    "\r\nImage=\r\nEvent=" + std::to_string(event) + "\r\n";
    for (int mark : marks) s += "REM_" + std::to_string(mark) + "=1\r\n";
    return s + "EMAIL_to=\r\nEMAIL_from=\r\nEMAIL_text=\r\nEMAIL_subject=\r\nEMAIL_only=0\r\n\r\n";
}

std::string ReminderSection(int id, const std::vector<std::string>& times) {
    std::string s = "[" + std::to_string(id) + "]\r\n";
    for (const char* key :
         {"RT_standard", "RT_d0", "RT_d1", "RT_d2", "RT_d5", "RT_d10", "RT_d7", "RT_d14", "RT_d21", "RT_d28"})
        s += std::string(key) +
             (std::find(times.begin(), times.end(), key) != times.end() ? "=1\r\n" : "=0\r\n");
    return s + "RO_standard=0\r\nRO_sound=1\r\nRO_speach=0\r\nRO_keyboard=0\r\nRO_email=0\r\n\r\n";
}

class DueFast : public ::testing::Test {
  protected:
    void SetUp() override { options_.RememberTimes = {rtD0, rtD1, rtD7}; }

    void WriteFolder(const std::string& entries, const std::string& reminders, const std::string& rem = "") {
        test::WriteFile(dir_.File("entries.ini"), entries);
        test::WriteFile(dir_.File("eoptions.ini"), reminders);
        test::WriteFile(dir_.File("rem.ini"), rem);
    }

    // The quick selection on freshly opened files, or nothing when it asks for the full reading.
    // It reports nothing and changes nothing.
    std::optional<Lines> Quick(bool once_day) {
        TTWIniFiles files;
        EXPECT_TRUE(files.Open(dir_.Path(), nullptr));
        auto texts = [&] {
            return files.EntriesIni.ToText() + files.EOptionsIni.ToText() + files.RemIni.ToText();
        };
        const std::string before = texts();
        Lines lines;
        TDueScan scan =
            ScanDueEntries(files, options_, once_day, [&](const TDueLine& line) { lines.push_back(line); });
        EXPECT_TRUE(messages_.Boxes.empty()) << messages_.Boxes.front();
        EXPECT_EQ(texts(), before);
        if (scan == TDueScan::NeedsFullRead) {
            EXPECT_TRUE(lines.empty());
            return std::nullopt;
        }
        return lines;
    }

    // The program's own way: load the collection, select, word each sentence.
    Lines Full(bool once_day) {
        TTWIniFiles files;
        EXPECT_TRUE(files.Open(dir_.Path(), nullptr));
        TTWEntries entries;
        entries.LoadEntries(files);
        Lines lines;
        SelectDueLines(entries, files, options_, once_day,
                       [&](const TDueLine& line) { lines.push_back(line); });
        return lines;
    }

    test::TTestLanguage language_{{{37, "%s/%s/%s"},
                                   {87, "heute"},
                                   {88, "morgen"},
                                   {93, "in %d Tagen"},
                                   {94, "gestern"},
                                   {99, "vor %d Tagen"},
                                   {144, "%s hatte %s Geburtstag"},
                                   {145, "%s hatte %s Jahrestag"},
                                   {147, "%s hat %s Geburtstag"},
                                   {148, "%s hat %s Jahrestag"}}};
    test::TRecordingMessages messages_;
    test::TTempDir dir_;
    test::TScopedClock clock_{D(1, 3, 2024) + 0.4};
    TTWOptions options_;
};

// A folder the program could have written, with what other writers and older versions leave in
// it: keys in other cases and orders, LF line ends, blank and unknown lines, repeated keys (the
// first counts), dates in the short form, eoptions.ini in another section order.
TEST_F(DueFast, SelectsExactlyAsTheFullReading) {
    std::string entries =
        // Own times two days before; its mark of last year.
        EntrySection(0, "Anna Berger", "03.03.1990", 0, {33}) +
        // A couple with the standard times, already reminded of this year's anniversary.
        EntrySection(1, "Bernd und Berta Krause", "10.03.2000", 1, {23, 24}) +
        // 29 February: reminded on 28 February.
        EntrySection(2, "Clara Dietz", "29.02.1980", 0, {43}) +
        // Unknown year, as saved (REM_-1): due on its day every year.
        EntrySection(3, "Ohne Jahr", "05.03.9999", 0, {-1}) +
        // Its last two occurrences passed without a reminder: caught up.
        EntrySection(4, "Dora Engel", "20.02.1970", 0, {52}) +
        // Lower-case keys, LF line ends, a blank line and a line without "=".
        "[5]\nname=Emil Fuchs\nDATE=04.03.1960\nsex=1\nemail=emil@example.org\n\nremark=\nuserevent=\n"
        "image=\nevent=0\nrem_63=1\nKommentar ohne Gleichheitszeichen\nemail_to=\nemail_from=\nemail_text=\n"
        "email_only=1\n\n" +
        // Repeated keys: the first one counts; an own event; unknown keys; no EMAIL_subject.
        "[6]\r\nName=Franz Graf\r\nName=Falscher Name\r\nDate=12.03.1975\r\nDate=01.01.2000\r\nSex=1\r\n"
        "NetSendServer=pc\r\nEMail=\r\nRemark=\r\nUserEvent=Taufe\r\nImage=\r\nEvent=2\r\nEvent=0\r\n"
        "REM_48=1\r\nEMAIL_to=\r\nEMAIL_from=\r\nEMAIL_text=\r\nEMAIL_only=0\r\n\r\n" +
        // The short date form and a mark key in its own spelling.
        "[7]\r\nDate=5.3.1990\r\nName=J\xC3\xB6rdis "
        "\xC3\x96zt\xC3\xBCrk\r\nSex=2\r\nEMail=j.oe@example.com\r\n"
        "Remark=Patenkind\r\nUserEvent=\r\nImage=\r\nEvent=0\r\nRem_33=1\r\nEMAIL_to=\r\nEMAIL_from=\r\n"
        "EMAIL_text=Liebe J\xC3\xB6rdis,\\nalles Gute!\r\nEMAIL_subject=Gl\xC3\xBC"
        "ckwunsch\r\nEMAIL_only=0\r\n\r\n" +
        // A gap in the ids; marks of many years, none of the last occurrence; a year-end date.
        EntrySection(12, "Gustav Horn", "31.12.1950", 0, {60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71}) +
        // Year 0 reads as the unknown year.
        EntrySection(14, "Ida Jahnlos", "01.03.0000", 0, {-1}) +
        EntrySection(13, "Heike Iser", "01.01.1985", 1, {38, 39});
    std::string reminders =
        ReminderSection(14, {"RT_d28"}) + ReminderSection(13, {"RT_d0"}) + ReminderSection(12, {"RT_d1"}) +
        // Keys in other cases and orders, a repeated key, LF line ends.
        "[7]\nro_email=0\nRO_KEYBOARD=0\nRO_speach=0\nRO_sound=1\nRO_standard=0\nrt_d28=0\n"
        "RT_D21=0\nRT_d14=0\nRT_d7=1\nRT_d7=0\nRT_d10=0\nRT_d5=0\nRT_d2=0\nRT_d1=0\nRT_d0=1\n"
        "RT_standard=0\n\n" +
        ReminderSection(6, {"RT_d1", "RT_d28"}) + ReminderSection(5, {"RT_standard"}) +
        ReminderSection(4, {"RT_d7"}) + ReminderSection(3, {"RT_d7"}) +
        ReminderSection(2, {"RT_d0", "RT_d1"}) + ReminderSection(1, {"RT_standard"}) +
        ReminderSection(0, {"RT_d2"});
    // Reminded on two of the days below.
    WriteFolder(entries, reminders, "[3]\r\n05.03.2024=1\r\n[1]\r\n03.03.2024=1\r\n28.02.2025=1\r\n");

    bool some_caught_up = false, some_ahead = false;
    for (TDateTime today : {D(27, 2, 2024), D(28, 2, 2024), D(29, 2, 2024), D(1, 3, 2024), D(3, 3, 2024),
                            D(5, 3, 2024), D(10, 3, 2024), D(31, 12, 2024), D(1, 1, 2025), D(28, 2, 2025)}) {
        for (bool once_day : {false, true}) {
            SCOPED_TRACE(DateToText(today) + (once_day ? " once a day" : ""));
            clock_.Set(today + 0.7);
            std::optional<Lines> quick = Quick(once_day);
            ASSERT_TRUE(quick) << "the folder needs no repair";
            Lines full = Full(once_day);
            EXPECT_EQ(*quick, full);
            for (const TDueLine& line : full) {
                some_caught_up = some_caught_up || line.Sentence.find("hatte") != std::string::npos;
                some_ahead = some_ahead || line.Sentence.find(" hat ") != std::string::npos;
            }
        }
    }
    EXPECT_TRUE(some_caught_up && some_ahead) << "both wordings were compared";
    EXPECT_TRUE(messages_.Boxes.empty()) << "nothing needed a repair";
}

// Every day and month twice, with years of birth in leap and common years and the unknown year,
// marked as a daily user's files are, checked on days across two year ends and two ends of
// February.
TEST_F(DueFast, EveryDayOfTheYearAgreesWithTheFullReading) {
    std::string entries, reminders;
    int id = 0;
    static constexpr int kYears[] = {1984, 1999, 9999};
    static const std::vector<std::string> kTimes[] = {
        {"RT_standard"}, {"RT_d0", "RT_d14"}, {"RT_d28"}, {"RT_d5", "RT_d10", "RT_d21"}, {"RT_d2"}};
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= DaysInMonth(2024, month); ++day) {
            for (int twice = 0; twice < 2; ++twice) {
                const int year = month == 2 && day == 29 ? 1984 + 16 * twice : kYears[(id + twice) % 3];
                char date[32];
                std::snprintf(date, sizeof date, "%02d.%02d.%04d", day, month, year);
                // Marks as the reminders up to the end of 2023 wrote them; every fourth entry has
                // missed its 2023 reminder.
                std::vector<int> marks =
                    year == 9999 ? std::vector<int>{-1, 0} : std::vector<int>{2022 - year};
                if (year != 9999 && id % 4 != 0) marks.push_back(2023 - year);
                entries += EntrySection(id, "Person " + std::to_string(id), date, id % 7 == 0 ? 1 : 0, marks);
                reminders += ReminderSection(id, kTimes[id % 5]);
                ++id;
            }
        }
    }
    WriteFolder(entries, reminders);
    size_t compared = 0;
    for (TDateTime today = D(20, 12, 2023); today <= D(10, 1, 2025); today += 11) {
        SCOPED_TRACE(DateToText(today));
        clock_.Set(today + 0.5);
        std::optional<Lines> quick = Quick(false);
        ASSERT_TRUE(quick);
        Lines full = Full(false);
        EXPECT_EQ(*quick, full);
        compared += full.size();
    }
    for (TDateTime today : {D(27, 2, 2024), D(28, 2, 2024), D(29, 2, 2024), D(1, 3, 2024), D(28, 2, 2025),
                            D(1, 3, 2025), D(31, 12, 2024), D(1, 1, 2025)}) {
        SCOPED_TRACE(DateToText(today));
        clock_.Set(today + 0.5);
        EXPECT_EQ(Quick(false), std::optional<Lines>(Full(false)));
    }
    EXPECT_GT(compared, 1000u);
}

// Whatever loading would repair, report or refuse is left to the full reading; the quick one
// neither reports nor changes anything (Quick checks that). Most cases are also shown to be
// things the full reading acts on; the others are values the quick reading does not interpret.
TEST_F(DueFast, SectionsThatNeedTheFullReading) {
    struct Case {
        const char* What;
        const char* Find;  // in the clean folder below
        std::string Replace;
        bool FullActs;  // the full reading reports or writes something
    } cases[] = {
        {"missing name", "Name=Anna Berger\r\n", "", true},
        {"name of one letter", "Name=Anna Berger", "Name=A", true},
        {"name over 255 characters", "Name=Anna Berger",
         "Name=" + std::string(128, 'x') + "\xC3\xA4" + std::string(127, 'x'), true},
        {"impossible date", "Date=03.03.1990", "Date=31.02.1990", true},
        {"no date", "Date=03.03.1990", "Date=", true},
        {"event out of range", "Event=0", "Event=3", true},
        {"missing sex", "Sex=0\r\n", "", true},
        {"sex out of range", "Sex=0", "Sex=5", true},
        {"missing picture key", "Image=\r\n", "", true},
        {"invalid e-mail address", "EMail=\r\n", "EMail=anna@\r\n", true},
        {"mail text over 100000 characters", "EMAIL_text=", "EMAIL_text=" + std::string(100001, 'x'), true},
        {"missing EMAIL_only", "EMAIL_only=0\r\n", "", true},
        {"missing reminder time", "RT_d7=1\r\n", "", true},
        {"no reminder time set", "RT_d7=1", "RT_d7=0", true},
        {"no channel set", "RO_sound=1", "RO_sound=0", true},
        {"missing eoptions section", "[0]\r\nRT_standard", "[9]\r\nRT_standard", true},
        {"section that is no entry", "[1]\r\nName", "[01]\r\nName", true},
        {"section number beyond int", "[1]\r\nName", "[2147483648]\r\nName", true},
        {"repeated section", "[1]\r\nName", "[0]\r\nName=Doppelt\r\n\r\n[1]\r\nName", true},
        {"event written as 01", "Event=0", "Event=00", false},
        {"time written as 2", "RT_d7=1", "RT_d7=2", false},
    };
    const std::string entries = EntrySection(0, "Anna Berger", "03.03.1990", 0, {33}) +
                                EntrySection(1, "Bernd Krause", "10.03.2000", 0, {23});
    const std::string reminders = ReminderSection(0, {"RT_d7"}) + ReminderSection(1, {"RT_standard"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        std::string e = entries, r = reminders;
        std::string& target = (e.find(c.Find) != std::string::npos) ? e : r;
        size_t at = target.find(c.Find);
        ASSERT_NE(at, std::string::npos);
        target.replace(at, std::string(c.Find).size(), c.Replace);
        WriteFolder(e, r);
        EXPECT_FALSE(Quick(false).has_value());

        Full(false);
        bool acted = !messages_.Boxes.empty() || messages_.FatalStops > 0 ||
                     test::ReadFile(dir_.File("entries.ini")) != e ||
                     test::ReadFile(dir_.File("eoptions.ini")) != r;
        EXPECT_EQ(acted, c.FullActs);
        messages_.Boxes.clear();
        messages_.FatalStops = 0;
    }
    WriteFolder(entries, reminders);
    EXPECT_TRUE(Quick(false).has_value()) << "the clean folder itself";
}

TEST_F(DueFast, ChangesNotOnDiskNeedTheFullReading) {
    WriteFolder(EntrySection(0, "Anna Berger", "03.03.1990", 0, {33}), ReminderSection(0, {"RT_d7"}));
    TTWIniFiles files;
    ASSERT_TRUE(files.Open(dir_.Path(), nullptr));
    auto ignore = [](const TDueLine&) {};
    EXPECT_EQ(ScanDueEntries(files, options_, false, ignore), TDueScan::Done);
    files.EOptionsIni.WriteString("0", "RT_d0", "1");
    EXPECT_EQ(ScanDueEntries(files, options_, false, ignore), TDueScan::NeedsFullRead);
}

TEST(IniStoreSectionText, GivesTheFileTextOfUnchangedSectionsInFileOrder) {
    TIniStore store;
    store.Parse("[b]\r\nx=1\r\n\r\ny=2\n[a]\r\nz=3\r\n[B]\r\nx=9\r\n");
    std::vector<std::pair<std::string, std::string>> seen;
    store.ForEachSectionText([&](std::string_view name, std::optional<std::string_view> text) {
        seen.emplace_back(name, text.value_or("(changed)"));
        return true;
    });
    using Seen = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(seen, (Seen{{"b", "\r\nx=1\r\n\r\ny=2\n"}, {"a", "\r\nz=3\r\n"}}))
        << "the repeated section is dropped";
    EXPECT_EQ(store.SectionText("B"), store.SectionText("b"));
    EXPECT_FALSE(store.SectionText("c"));

    store.WriteString("a", "z", "4");
    EXPECT_FALSE(store.SectionText("a")) << "a changed section is read through the store";
    seen.clear();
    store.ForEachSectionText([&](std::string_view name, std::optional<std::string_view> text) {
        seen.emplace_back(name, text.value_or("(changed)"));
        return false;
    });
    EXPECT_EQ(seen, (Seen{{"b", "\r\nx=1\r\n\r\ny=2\n"}})) << "stops when asked";
}

}  // namespace
}  // namespace tw
