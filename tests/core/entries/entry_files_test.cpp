#include "core/entries/entry_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/test_support.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::D;

using TKeys = std::vector<std::pair<std::string, std::string>>;

// An entry with every key the program writes, so that reading it repairs nothing.
const TKeys kCompleteEntry = {
    {"Name", "Anna"},
    {"Date", "10.05.1980"},
    {"Sex", "2"},
    {"EMail", "anna@example.de"},
    {"Remark", "Nachbarin"},
    {"UserEvent", ""},
    {"Image", ""},
    {"Event", "1"},
    {"REM_45", "1"},
    {"EMAIL_to", ""},
    {"EMAIL_from", ""},
    {"EMAIL_text", "Hallo\\nAnna"},
    {"EMAIL_subject", "Glückwunsch"},
    {"EMAIL_only", "0"},
};

// Sound and mail, on the day and a week before.
const TKeys kReminders = {
    {"RT_standard", "0"}, {"RT_d0", "1"},    {"RT_d1", "0"},     {"RT_d2", "0"},       {"RT_d5", "0"},
    {"RT_d10", "0"},      {"RT_d7", "1"},    {"RT_d14", "0"},    {"RT_d21", "0"},      {"RT_d28", "0"},
    {"RO_standard", "0"}, {"RO_sound", "1"}, {"RO_speach", "0"}, {"RO_keyboard", "0"}, {"RO_email", "1"},
};

const char* const kTimeKeys[] = {"RT_standard", "RT_d0",  "RT_d1",  "RT_d2",  "RT_d5",
                                 "RT_d7",       "RT_d10", "RT_d14", "RT_d21", "RT_d28"};
const char* const kOptionKeys[] = {"RO_standard", "RO_sound", "RO_speach", "RO_keyboard", "RO_email"};

TKeys With(TKeys keys, const std::string& key, const std::string& value) {
    for (auto& [k, v] : keys)
        if (k == key) v = value;
    return keys;
}

TKeys Without(TKeys keys, const std::string& key) {
    std::erase_if(keys, [&](const auto& kv) { return kv.first == key; });
    return keys;
}

// A section as the store writes it back, so files can be compared byte for byte.
std::string Section(const std::string& name, const TKeys& keys) {
    std::string text = "[" + name + "]\r\n";
    for (const auto& [k, v] : keys) text += k + "=" + v + "\r\n";
    return text + "\r\n";
}

// Text 37 shows the place of a repair as "file/section/key".
class EntryFiles : public ::testing::Test {
  protected:
    test::TTestLanguage language_{{{29, "Fehler"},
                                   {37, "%s/%s/%s"},
                                   {79, "Eintrag"},
                                   {80, "Ereignis ungültig"},
                                   {81, "wird entfernt"},
                                   {106, "Erinnerung"}}};
    test::TRecordingMessages messages_;
    test::TTempDir dir_;
    test::TScopedClock clock_{D(11, 12, 2026) + 0.5};
    TTWIniFiles files_;

    void Open() {
        std::string error;
        ASSERT_TRUE(files_.Open(dir_.Path(), &error)) << error;
    }
    static std::string Box(const std::string& detail) { return "Fehler:\r\n" + detail; }
};

TEST_F(EntryFiles, SectionWithOnlyNameAndDateIsCompletedAndReported) {
    test::WriteFile(dir_.File("entries.ini"), R"([5]
Name=Anna
Date=10.05.1980
)");
    Open();

    TTWEntry entry;
    EXPECT_EQ(ReadEntry(entry, 5, files_), TReadEntryResult::Valid);

    auto where = [&](const std::string& file, const std::string& key) { return Box(file + "/5/" + key); };
    std::vector<std::string> expected = {
        where("entries.ini", "EMail"),
        where("entries.ini", "Remark"),
        where("entries.ini", "UserEvent"),
        Box("Fehler beim Lesen aus der Datei \"entries.ini\" aus Sektion \"5\" bei Wert \"Event\""),
        Box("Eintrag \"5\" - Ereignis ungültig"),
        where("entries.ini", "EMAIL_to"),
        where("entries.ini", "EMAIL_from"),
        where("entries.ini", "EMAIL_text"),
        where("entries.ini", "EMAIL_only"),
    };
    for (const char* key : kOptionKeys) expected.push_back(where("eoptions.ini", key));
    for (const char* key : kTimeKeys) expected.push_back(where("eoptions.ini", key));
    EXPECT_EQ(messages_.Boxes, expected);

    // Image and Sex are added silently; the subject and the network-message keys are not added.
    EXPECT_EQ(files_.EntriesIni.ReadSectionLines("5"),
              (std::vector<std::string>{"Name=Anna", "Date=10.05.1980",
                                        "EMail=", "Remark=", "UserEvent=", "Image=", "Event=0", "Sex=0",
                                        "EMAIL_to=", "EMAIL_from=", "EMAIL_text=", "EMAIL_only=0"}));
    std::vector<std::string> reminder_lines;
    for (const char* key : kOptionKeys)
        reminder_lines.push_back(std::string(key) + (key == kOptionKeys[0] ? "=1" : "=0"));
    for (const char* key : kTimeKeys)
        reminder_lines.push_back(std::string(key) + (key == kTimeKeys[0] ? "=1" : "=0"));
    EXPECT_EQ(files_.EOptionsIni.ReadSectionLines("5"), reminder_lines);

    EXPECT_EQ(entry.Id, 5);
    EXPECT_EQ(entry.Name, "Anna");
    EXPECT_EQ(entry.Date, D(10, 5, 1980));
    EXPECT_EQ(entry.Event, 0);
    EXPECT_EQ(entry.Sex, 0);
    EXPECT_EQ(entry.EmailSubject, "Erinnerung");
    EXPECT_EQ(entry.RememberOptions, TRememberOptions{roStandard});
    EXPECT_EQ(entry.RememberTimes, TRememberTimes{rtStandard});
    EXPECT_EQ(messages_.FatalStops, 0);
}

struct TFileValue {
    bool reminders;  // eoptions.ini, else entries.ini
    const char* key;
    const char* value;  // nullptr: the key is absent
};

TEST_F(EntryFiles, DamagedValuesAreRepaired) {
    TKeys all_times_off = kReminders;
    for (const char* key : kTimeKeys) all_times_off = With(all_times_off, key, "0");
    TKeys all_options_off = kReminders;
    for (const char* key : kOptionKeys) all_options_off = With(all_options_off, key, "0");
    const std::string event_box = "Eintrag \"5\" - Ereignis ungültig";
    const TRememberOptions options{roSound, roEmail};
    const TRememberTimes times{rtD0, rtD7};

    struct Case {
        const char* label;
        TKeys entry;
        TKeys reminders;
        int event, sex;
        TRememberOptions options;
        TRememberTimes times;
        const char* subject;
        std::vector<std::string> boxes;
        std::vector<TFileValue> after;
    } cases[] = {
        {"complete", kCompleteEntry, kReminders, 1, 2, options, times, "Glückwunsch", {}, {}},
        {"Event 5",
         With(kCompleteEntry, "Event", "5"),
         kReminders,
         0,
         2,
         options,
         times,
         "Glückwunsch",
         {event_box},
         {{false, "Event", "0"}}},
        {"Event not a number",
         With(kCompleteEntry, "Event", "zwei"),
         kReminders,
         0,
         2,
         options,
         times,
         "Glückwunsch",
         {event_box},
         {{false, "Event", "0"}}},
        {"Sex 7",
         With(kCompleteEntry, "Sex", "7"),
         kReminders,
         1,
         0,
         options,
         times,
         "Glückwunsch",
         {},
         {{false, "Sex", "0"}}},
        {"Sex missing",
         Without(kCompleteEntry, "Sex"),
         kReminders,
         1,
         0,
         options,
         times,
         "Glückwunsch",
         {},
         {{false, "Sex", "0"}}},
        {"all times off",
         kCompleteEntry,
         all_times_off,
         1,
         2,
         options,
         TRememberTimes{rtStandard},
         "Glückwunsch",
         {},
         {{true, "RT_standard", "1"}, {true, "RT_d7", "0"}}},
        {"all options off",
         kCompleteEntry,
         all_options_off,
         1,
         2,
         TRememberOptions{roStandard},
         times,
         "Glückwunsch",
         {},
         {{true, "RO_standard", "1"}, {true, "RO_sound", "0"}}},
        {"hexadecimal one",
         kCompleteEntry,
         With(kReminders, "RT_d10", "0x1"),
         1,
         2,
         options,
         TRememberTimes{rtD0, rtD7, rtD10},
         "Glückwunsch",
         {},
         {{true, "RT_d10", "0x1"}}},
        {"subject blank",
         With(kCompleteEntry, "EMAIL_subject", "   "),
         kReminders,
         1,
         2,
         options,
         times,
         "Erinnerung",
         {},
         {{false, "EMAIL_subject", "   "}}},
        {"subject missing",
         Without(kCompleteEntry, "EMAIL_subject"),
         kReminders,
         1,
         2,
         options,
         times,
         "Erinnerung",
         {},
         {{false, "EMAIL_subject", nullptr}}},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        messages_.Boxes.clear();
        files_.EntriesIni.Parse(Section("5", c.entry));
        files_.EOptionsIni.Parse(Section("5", c.reminders));

        TTWEntry entry;
        EXPECT_EQ(ReadEntry(entry, 5, files_), TReadEntryResult::Valid);
        EXPECT_EQ(entry.Event, c.event);
        EXPECT_EQ(entry.Sex, c.sex);
        EXPECT_EQ(entry.RememberOptions, c.options);
        EXPECT_EQ(entry.RememberTimes, c.times);
        EXPECT_EQ(entry.EmailSubject, c.subject);
        std::vector<std::string> boxes;
        for (const std::string& detail : c.boxes) boxes.push_back(Box(detail));
        EXPECT_EQ(messages_.Boxes, boxes);
        for (const TFileValue& v : c.after) {
            SCOPED_TRACE(v.key);
            TIniStore& store = v.reminders ? files_.EOptionsIni : files_.EntriesIni;
            EXPECT_EQ(store.ValueExists("5", v.key), v.value != nullptr);
            if (v.value) {
                EXPECT_EQ(store.ReadString("5", v.key, "?"), v.value);
            }
        }
    }
}

TEST_F(EntryFiles, MissingPictureIsDroppedOnlyFromOwnFiles) {
    test::WriteFile(dir_.File("here.jpg"), "jpeg");
    const std::string here = dir_.File("here.jpg");
    const std::string gone = dir_.File("gone.jpg");
    struct Case {
        bool own;
        std::string image;
        std::string expected;
    } cases[] = {
        {true, here, here},
        {true, gone, ""},
        {false, here, here},
        {false, gone, gone},  // an archive's pictures are unpacked elsewhere
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE((c.own ? "own " : "other ") + c.image);
        TKeys keys = With(kCompleteEntry, "Image", c.image);
        TTWEntry entry;
        if (c.own) {
            files_.EntriesIni.Parse(Section("5", keys));
            files_.EOptionsIni.Parse(Section("5", kReminders));
            EXPECT_EQ(ReadEntry(entry, 5, files_), TReadEntryResult::Valid);
        } else {
            TIniStore entries, reminders;
            entries.Parse(Section("5", keys));
            reminders.Parse(Section("5", kReminders));
            EXPECT_EQ(ReadEntry(entry, 5, entries, reminders), TReadEntryResult::Valid);
        }
        EXPECT_EQ(entry.Image, c.expected);
        if (c.own) {
            // Writing the entry back puts the emptied path into the file.
            WriteEntry(entry, files_);
            EXPECT_EQ(files_.EntriesIni.ReadString("5", "Image", "?"), c.expected);
        }
    }
    EXPECT_TRUE(messages_.Boxes.empty());
}

TTWEntry Bert() {
    TTWEntry entry;
    entry.Id = 4;
    entry.Name = "Bert";
    entry.Date = D(10, 5, 1980) + 0.75;
    entry.Sex = 1;
    entry.EMail = "bert@example.de";
    entry.Remark = "Kollege";
    entry.Event = 2;
    entry.UserEvent = "Jubiläum";
    entry.RememberOptions = {roSound, roKeyboard};
    entry.RememberTimes = {rtD7, rtD10};
    entry.EmailTo = "a@b.de";
    entry.EmailFrom = "c@d.de";
    entry.EmailText = "Hallo\\n\\nBert";
    entry.EmailSubject = "Gruß";
    entry.EmailOnly = true;
    return entry;
}

TEST_F(EntryFiles, WriteEntryLaysOutANewSection) {
    Open();
    TTWEntry entry = Bert();
    entry.Image = dir_.File("gone.jpg");
    WriteEntry(entry, files_);

    EXPECT_EQ(files_.EntriesIni.ReadSectionLines("4"),
              (std::vector<std::string>{"Name=Bert", "Date=10.05.1980", "Sex=1", "EMail=bert@example.de",
                                        "Remark=Kollege", "UserEvent=Jubiläum", "Image=", "Event=2",
                                        "REM_46=1", "EMAIL_to=a@b.de", "EMAIL_from=c@d.de",
                                        "EMAIL_text=Hallo\\n\\nBert", "EMAIL_subject=Gruß", "EMAIL_only=1"}));
    EXPECT_EQ(
        files_.EOptionsIni.ReadSectionLines("4"),
        (std::vector<std::string>{"RT_standard=0", "RT_d0=0", "RT_d1=0", "RT_d2=0", "RT_d5=0", "RT_d10=1",
                                  "RT_d7=1", "RT_d14=0", "RT_d21=0", "RT_d28=0", "RO_standard=0",
                                  "RO_sound=1", "RO_speach=0", "RO_keyboard=1", "RO_email=0"}));
    EXPECT_TRUE(messages_.Boxes.empty());
}

TEST_F(EntryFiles, WriteEntryMarksTheCurrentOccurrence) {
    Open();
    struct Case {
        TDateTime date;
        const char* mark;
    } cases[] = {
        {D(10, 5, 1980), "REM_46"},
        {D(12, 12, 1980), "REM_45"},  // the birthday is tomorrow
        {D(10, 5, 9999), "REM_-1"},   // year not stated
        {D(1, 1, 2030), "REM_-3"},    // a date in the future
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mark);
        TTWEntry entry = Bert();
        entry.Date = c.date;
        files_.EntriesIni.EraseSection("4");
        WriteEntry(entry, files_);
        std::vector<std::string> marks;
        for (const std::string& key : files_.EntriesIni.ReadSection("4"))
            if (key.starts_with("REM_"))
                marks.push_back(key + "=" + files_.EntriesIni.ReadString("4", key, ""));
        EXPECT_EQ(marks, std::vector<std::string>{std::string(c.mark) + "=1"});
    }
}

TEST_F(EntryFiles, WrittenEntryReadsBackUnchangedAndWithoutRepairs) {
    Open();
    test::WriteFile(dir_.File("bert.jpg"), "jpeg");
    TTWEntry written = Bert();
    written.Image = dir_.File("bert.jpg");
    WriteEntry(written, files_);
    std::string error;
    ASSERT_TRUE(files_.WriteAll(&error)) << error;

    TTWIniFiles reopened;
    ASSERT_TRUE(reopened.Open(dir_.Path(), &error)) << error;
    TTWEntry read;
    EXPECT_EQ(ReadEntry(read, 4, reopened), TReadEntryResult::Valid);
    EXPECT_TRUE(messages_.Boxes.empty());
    EXPECT_FALSE(reopened.EntriesIni.Modified());
    EXPECT_FALSE(reopened.EOptionsIni.Modified());

    EXPECT_EQ(read.Id, written.Id);
    EXPECT_EQ(read.Name, written.Name);
    EXPECT_EQ(read.Date, D(10, 5, 1980)) << "the time of day is not stored";
    EXPECT_EQ(read.Sex, written.Sex);
    EXPECT_EQ(read.EMail, written.EMail);
    EXPECT_EQ(read.Remark, written.Remark);
    EXPECT_EQ(read.Event, written.Event);
    EXPECT_EQ(read.UserEvent, written.UserEvent);
    EXPECT_EQ(read.Image, written.Image);
    EXPECT_EQ(read.RememberOptions, written.RememberOptions);
    EXPECT_EQ(read.RememberTimes, written.RememberTimes);
    EXPECT_EQ(read.EmailTo, written.EmailTo);
    EXPECT_EQ(read.EmailFrom, written.EmailFrom);
    EXPECT_EQ(read.EmailText, written.EmailText);
    EXPECT_EQ(read.EmailSubject, written.EmailSubject);
    EXPECT_EQ(read.EmailOnly, written.EmailOnly);
}

TEST_F(EntryFiles, ReminderSetsMapToTheirKeys) {
    struct TimesCase {
        TRememberTimes set;
        std::vector<std::string> on;
    } times_cases[] = {
        {{rtStandard}, {"RT_standard"}},
        {{rtD7}, {"RT_d7"}},
        {{rtD10}, {"RT_d10"}},
        {{rtD0, rtD28}, {"RT_d0", "RT_d28"}},
        {{rtD1, rtD2, rtD5, rtD14, rtD21}, {"RT_d1", "RT_d2", "RT_d5", "RT_d14", "RT_d21"}},
    };
    TIniStore store;
    for (const TimesCase& c : times_cases) {
        SCOPED_TRACE(c.on.front());
        store.EraseSection("S");
        WriteRememberTimes(c.set, store, "S");
        for (const char* key : kTimeKeys) {
            bool on = std::find(c.on.begin(), c.on.end(), key) != c.on.end();
            EXPECT_EQ(store.ReadString("S", key, "?"), on ? "1" : "0") << key;
        }
        EXPECT_EQ(ReadRememberTimes(store, "S"), c.set);
    }
    struct OptionsCase {
        TRememberOptions set;
        std::vector<std::string> on;
    } options_cases[] = {
        {{roStandard}, {"RO_standard"}},
        {{roSpeech}, {"RO_speach"}},
        {{roSound, roKeyboard, roEmail}, {"RO_sound", "RO_keyboard", "RO_email"}},
    };
    for (const OptionsCase& c : options_cases) {
        SCOPED_TRACE(c.on.front());
        store.EraseSection("S");
        WriteRememberOptions(c.set, store, "S");
        for (const char* key : kOptionKeys) {
            bool on = std::find(c.on.begin(), c.on.end(), key) != c.on.end();
            EXPECT_EQ(store.ReadString("S", key, "?"), on ? "1" : "0") << key;
        }
        EXPECT_EQ(ReadRememberOptions(store, "S"), c.set);
    }
    EXPECT_TRUE(messages_.Boxes.empty());
}

TEST_F(EntryFiles, ValidityRules) {
    TTWEntry valid;
    valid.Name = "Al";
    valid.Date = D(1, 1, 2000);
    valid.RememberOptions = {roStandard};
    valid.RememberTimes = {rtStandard};

    std::string umlauts;
    for (int i = 0; i < 255; ++i) umlauts += "ä";
    struct Case {
        const char* label;
        std::function<void(TTWEntry&)> change;
        bool valid;
    } cases[] = {
        {"two letters", [](TTWEntry&) {}, true},
        {"one letter", [](TTWEntry& e) { e.Name = "A"; }, false},
        {"empty name", [](TTWEntry& e) { e.Name = ""; }, false},
        {"255 characters", [](TTWEntry& e) { e.Name = std::string(255, 'x'); }, true},
        {"256 characters", [](TTWEntry& e) { e.Name = std::string(256, 'x'); }, false},
        {"255 umlauts", [&](TTWEntry& e) { e.Name = umlauts; }, true},
        {"address", [](TTWEntry& e) { e.EMail = "anna@example.de"; }, true},
        {"no dot after at", [](TTWEntry& e) { e.EMail = "anna.b@example"; }, false},
        {"no at", [](TTWEntry& e) { e.EMail = "anna.example.de"; }, false},
        {"no times", [](TTWEntry& e) { e.RememberTimes = {}; }, false},
        {"no options", [](TTWEntry& e) { e.RememberOptions = {}; }, false},
        {"year not stated", [](TTWEntry& e) { e.Date = D(31, 12, 9999); }, true},
        {"after year 9999", [](TTWEntry& e) { e.Date = D(31, 12, 9999) + 1; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TTWEntry entry = valid;
        c.change(entry);
        EXPECT_EQ(IsValid(entry), c.valid);
    }
}

TEST_F(EntryFiles, DeleteEntryDataErasesSectionsAndPicture) {
    test::WriteFile(dir_.File("five.jpg"), "jpeg");
    test::WriteFile(dir_.File("entries.ini"), Section("5", kCompleteEntry) + Section("6", kCompleteEntry));
    test::WriteFile(dir_.File("eoptions.ini"), Section("5", kReminders) + Section("6", kReminders));
    test::WriteFile(dir_.File("rem.ini"),
                    Section("5", {{"01.05.2026", "1"}}) + Section("6", {{"02.05.2026", "1"}}));
    Open();
    TTWEntry entry;
    entry.Id = 5;
    entry.Image = dir_.File("five.jpg");
    DeleteEntryData(entry, files_);
    for (TIniStore* store : {&files_.EntriesIni, &files_.EOptionsIni, &files_.RemIni}) {
        SCOPED_TRACE(store->FileName());
        EXPECT_FALSE(store->SectionExists("5"));
        EXPECT_TRUE(store->SectionExists("6"));
    }
    EXPECT_FALSE(FileExists(dir_.File("five.jpg")));
    EXPECT_TRUE(messages_.Boxes.empty());
}

// An invalid entry leaves the program's files for entries.invalid.ini, on disk, before the stop.
class EntryFilesInvalid : public EntryFiles,
                          public ::testing::WithParamInterface<std::pair<const char*, const char*>> {
  protected:
    std::string entries_before_, reminders_before_, rem_before_;
    TKeys invalid_;

    void WriteFiles() {
        std::filesystem::create_directory(dir_.File("images"));
        test::WriteFile(dir_.File("images/five.jpg"), "jpeg");
        invalid_ = With(With(kCompleteEntry, GetParam().first, GetParam().second), "Image",
                        dir_.File("images/five.jpg"));
        TKeys carl = With(kCompleteEntry, "Name", "Carl");
        entries_before_ = Section("1", kCompleteEntry) + Section("5", invalid_) + Section("7", carl);
        reminders_before_ = Section("1", kReminders) + Section("5", kReminders) + Section("7", kReminders);
        rem_before_ = Section("5", {{"01.05.2026", "1"}}) + Section("7", {{"02.05.2026", "1"}});
        test::WriteFile(dir_.File("entries.ini"), entries_before_);
        test::WriteFile(dir_.File("eoptions.ini"), reminders_before_);
        test::WriteFile(dir_.File("rem.ini"), rem_before_);
        Open();
    }
};

TEST_P(EntryFilesInvalid, OwnEntryIsMovedOutAndTheProgramStops) {
    WriteFiles();
    TTWEntry entry;
    EXPECT_EQ(ReadEntry(entry, 5, files_), TReadEntryResult::Invalid);

    EXPECT_EQ(messages_.Boxes, std::vector<std::string>{Box("Eintrag \"5\"\n\rwird entfernt")});
    EXPECT_EQ(messages_.FatalStops, 1);
    EXPECT_EQ(test::ReadFile(dir_.File("entries.invalid.ini")),
              Section("entries.ini:5", invalid_) + Section("eoptions.ini:5", kReminders) +
                  Section("rem.ini:5", {{"01.05.2026", "1"}}));
    TKeys carl = With(kCompleteEntry, "Name", "Carl");
    EXPECT_EQ(test::ReadFile(dir_.File("entries.ini")), Section("1", kCompleteEntry) + Section("7", carl));
    EXPECT_EQ(test::ReadFile(dir_.File("eoptions.ini")), Section("1", kReminders) + Section("7", kReminders));
    EXPECT_EQ(test::ReadFile(dir_.File("rem.ini")), Section("7", {{"02.05.2026", "1"}}));
    EXPECT_TRUE(FileExists(dir_.File("images/five.jpg"))) << "the picture stays for the repaired entry";
}

TEST_P(EntryFilesInvalid, QuarantineThatCannotBeWrittenRemovesNothing) {
    const std::string moved = dir_.Path() + "-moved";
    struct Case {
        const char* label;
        bool folder_gone;  // else a folder stands where entries.invalid.ini belongs
    } cases[] = {{"entries.invalid.ini is a folder", false}, {"the data folder is gone", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        messages_.Boxes.clear();
        messages_.FatalStops = 0;
        std::filesystem::remove_all(dir_.File("entries.invalid.ini"));
        WriteFiles();
        if (c.folder_gone)
            std::filesystem::rename(dir_.Path(), moved);
        else
            std::filesystem::create_directory(dir_.File("entries.invalid.ini"));

        TTWEntry entry;
        EXPECT_EQ(ReadEntry(entry, 5, files_), TReadEntryResult::Invalid);
        if (c.folder_gone) std::filesystem::rename(moved, dir_.Path());

        ASSERT_EQ(messages_.Boxes.size(), 2u) << "the entry and the failed move";
        EXPECT_EQ(messages_.Boxes[0], Box("Eintrag \"5\"\n\rwird entfernt"));
        EXPECT_EQ(messages_.FatalStops, 1);
        for (TIniStore* store : {&files_.EntriesIni, &files_.EOptionsIni, &files_.RemIni}) {
            SCOPED_TRACE(store->FileName());
            EXPECT_TRUE(store->SectionExists("5"));
        }
        EXPECT_EQ(test::ReadFile(dir_.File("entries.ini")), entries_before_);
        EXPECT_EQ(test::ReadFile(dir_.File("eoptions.ini")), reminders_before_);
        EXPECT_EQ(test::ReadFile(dir_.File("rem.ini")), rem_before_);
    }
}

INSTANTIATE_TEST_SUITE_P(EntryFiles, EntryFilesInvalid,
                         ::testing::Values(std::make_pair("Name", "X"),
                                           std::make_pair("EMail", "anna.b@example")),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
}  // namespace tw
