#include "core/entries/entries.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/entries/entry_files.h"
#include "core/test_support.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::D;

// A complete entry in the program's own layout; reading it repairs nothing.
std::string EntrySection(const std::string& section, const std::string& name, const std::string& extra = "") {
    return "[" + section + "]\r\nName=" + name +
           "\r\nDate=10.05.1980\r\nSex=0\r\nEMail=\r\nRemark=\r\nUserEvent=\r\nImage=\r\nEvent=0\r\n" +
           extra + "EMAIL_to=\r\nEMAIL_from=\r\nEMAIL_text=\r\nEMAIL_subject=Hallo\r\nEMAIL_only=0\r\n\r\n";
}

std::string ReminderSection(const std::string& section) {
    return "[" + section +
           "]\r\nRT_standard=1\r\nRT_d0=0\r\nRT_d1=0\r\nRT_d2=0\r\nRT_d5=0\r\nRT_d10=0\r\nRT_d7=0\r\nRT_d14="
           "0\r\n"
           "RT_d21=0\r\nRT_d28=0\r\nRO_standard=1\r\nRO_sound=0\r\nRO_speach=0\r\nRO_keyboard=0\r\nRO_email="
           "0\r\n\r\n";
}

std::vector<int> Ids(const TTWEntries& entries) {
    std::vector<int> ids;
    for (size_t i = 0; i < entries.Count(); ++i) ids.push_back(entries[i].Id);
    return ids;
}

class Entries : public ::testing::Test {
  protected:
    test::TTestLanguage language_{{{29, "Fehler"}, {37, "%s/%s/%s"}, {79, "Eintrag"}, {81, "wird entfernt"}}};
    test::TRecordingMessages messages_;
    test::TTempDir dir_;
    test::TScopedClock clock_{D(11, 12, 2026) + 0.5};

    void WriteData(const std::string& entries, const std::string& reminders, const std::string& rem = "") {
        test::WriteFile(dir_.File("entries.ini"), entries);
        test::WriteFile(dir_.File("eoptions.ini"), reminders);
        if (!rem.empty()) test::WriteFile(dir_.File("rem.ini"), rem);
    }
    void Open(TTWIniFiles& files) {
        std::string error;
        ASSERT_TRUE(files.Open(dir_.Path(), &error)) << error;
    }
    static std::string Box(const std::string& detail) { return "Fehler:\r\n" + detail; }
};

TEST_F(Entries, LoadWritesRepairsOncePerFileAtTheEnd) {
    // Entry 1 lacks its remark, entry 2 its reminder section: both files need a repair.
    std::string entries = std::string(R"([1]
Name=Anna
Date=10.05.1980
Sex=0
EMail=
UserEvent=
Image=
Event=0
EMAIL_to=
EMAIL_from=
EMAIL_text=
EMAIL_only=0
)") + EntrySection("2", "Bert") +
                          EntrySection("3", "Carl");
    std::string reminders = ReminderSection("1") + ReminderSection("3");
    WriteData(entries, reminders);
    TTWIniFiles files;
    Open(files);

    std::vector<std::pair<std::string, std::string>> on_disk;
    TTWEntries list;
    bool completed = list.LoadEntries(files, [&] {
        on_disk.emplace_back(test::ReadFile(dir_.File("entries.ini")),
                             test::ReadFile(dir_.File("eoptions.ini")));
    });

    EXPECT_TRUE(completed);
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 3}));
    ASSERT_EQ(on_disk.size(), 3u) << "one progress call per entry";
    for (size_t i = 0; i < on_disk.size(); ++i) {
        SCOPED_TRACE("after entry " + std::to_string(i + 1));
        EXPECT_EQ(on_disk[i].first, entries);
        EXPECT_EQ(on_disk[i].second, reminders);
    }
    // At the end both repairs are on disk.
    EXPECT_EQ(test::ReadFile(dir_.File("entries.ini")), files.EntriesIni.ToText());
    EXPECT_EQ(files.EntriesIni.ReadString("1", "Remark", "?"), "");
    EXPECT_EQ(test::ReadFile(dir_.File("eoptions.ini")), files.EOptionsIni.ToText());
    EXPECT_TRUE(files.EOptionsIni.SectionExists("2"));
    EXPECT_FALSE(files.EntriesIni.Modified());
    EXPECT_FALSE(files.EOptionsIni.Modified());
    ASSERT_FALSE(messages_.Boxes.empty());
    EXPECT_EQ(messages_.Boxes.front(), Box("entries.ini/1/Remark"));
    EXPECT_EQ(messages_.Boxes.size(), 1u + 15u) << "the remark and the fifteen reminder keys of entry 2";
    EXPECT_EQ(messages_.FatalStops, 0);
}

TEST_F(Entries, LoadSkipsSectionsNotNamedByAnId) {
    for (std::string name : {"abc", "-3", "4x", " 6", "+5", "99999999999", "05"}) {
        SCOPED_TRACE("[" + name + "]");
        messages_.Boxes.clear();
        std::string section = EntrySection(name, "Fremd");
        WriteData(EntrySection("1", "Anna") + section + EntrySection("2", "Bert"),
                  ReminderSection("1") + ReminderSection("2"));
        TTWIniFiles files;
        Open(files);
        TTWEntries list;
        EXPECT_TRUE(list.LoadEntries(files));
        EXPECT_EQ(Ids(list), (std::vector<int>{1, 2}));
        EXPECT_EQ(messages_.Boxes, std::vector<std::string>{Box("Eintrag \"" + name + "\"")});
        EXPECT_EQ(messages_.FatalStops, 0);
        // The section stays as it is and no other section is made up for it.
        EXPECT_EQ(files.EntriesIni.ReadSections(), (std::vector<std::string>{"1", name, "2"}));
        TIniStore original;
        original.Parse(section);
        EXPECT_EQ(files.EntriesIni.ReadSectionLines(name), original.ReadSectionLines(name));
        messages_.FatalStops = 0;
    }
}

TEST_F(Entries, LoadStopsAtAnInvalidEntryAndTheNextLoadHasTheOthers) {
    // Entry 1 needs a repair before the stop; entry 7 comes after the invalid one.
    std::string entry1 = EntrySection("1", "Anna");
    entry1.replace(entry1.find("Remark=\r\n"), 9, "");
    WriteData(entry1 + EntrySection("5", "X") + EntrySection("7", "Carl"),
              ReminderSection("1") + ReminderSection("5") + ReminderSection("7"),
              "[5]\r\n01.05.2026=1\r\n\r\n[7]\r\n02.05.2026=1\r\n\r\n");
    {
        TTWIniFiles files;
        Open(files);
        TTWEntries list;
        EXPECT_FALSE(list.LoadEntries(files));
        EXPECT_EQ(Ids(list), std::vector<int>{1}) << "the entries read so far stay";
        EXPECT_EQ(messages_.FatalStops, 1);
        EXPECT_EQ(messages_.Boxes.back(), Box("Eintrag \"5\"\n\rwird entfernt"));
    }
    EXPECT_TRUE(FileExists(dir_.File("entries.invalid.ini")));

    messages_.Boxes.clear();
    TTWIniFiles files;
    Open(files);
    TTWEntries list;
    EXPECT_TRUE(list.LoadEntries(files));
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 7}));
    EXPECT_EQ(list[1].Name, "Carl");
    EXPECT_EQ(messages_.FatalStops, 1);
    EXPECT_TRUE(messages_.Boxes.empty()) << "the repair of entry 1 reached the disk before the stop";
    EXPECT_TRUE(files.RemIni.SectionExists("7"));
    EXPECT_FALSE(files.RemIni.SectionExists("5"));
}

TEST_F(Entries, LoadFromAnArchiveSkipsInvalidEntriesAndLeavesOwnFilesAlone) {
    std::string own_entries = EntrySection("5", "Eigene");
    std::string own_reminders = ReminderSection("5");
    WriteData(own_entries, own_reminders, "[5]\r\n01.05.2026=1\r\n\r\n");
    TTWIniFiles own;
    Open(own);

    test::TTempDir archive_dir;
    test::WriteFile(archive_dir.File("entries.ini"),
                    EntrySection("4", "Vier") + EntrySection("5", "X") + EntrySection("6", "Sechs"));
    test::WriteFile(archive_dir.File("eoptions.ini"),
                    ReminderSection("4") + ReminderSection("5") + ReminderSection("6"));
    TIniStore archive_entries, archive_reminders;
    ASSERT_TRUE(archive_entries.Open(archive_dir.File("entries.ini")));
    ASSERT_TRUE(archive_reminders.Open(archive_dir.File("eoptions.ini")));

    TTWEntries imported;
    int progress = 0;
    imported.LoadEntries(archive_entries, archive_reminders, [&] { ++progress; });

    EXPECT_EQ(Ids(imported), (std::vector<int>{4, 6}));
    EXPECT_EQ(progress, 3);
    EXPECT_EQ(messages_.Boxes, std::vector<std::string>{Box("Eintrag \"5\"\n\rwird entfernt")});
    EXPECT_EQ(messages_.FatalStops, 0);
    EXPECT_TRUE(archive_entries.SectionExists("5"));
    EXPECT_EQ(own.EntriesIni.ReadString("5", "Name", ""), "Eigene");
    EXPECT_FALSE(own.EntriesIni.Modified());
    EXPECT_FALSE(own.RemIni.Modified());
    EXPECT_EQ(test::ReadFile(dir_.File("entries.ini")), own_entries);
    EXPECT_EQ(test::ReadFile(dir_.File("eoptions.ini")), own_reminders);
    EXPECT_FALSE(FileExists(dir_.File("entries.invalid.ini")));
    EXPECT_FALSE(FileExists(archive_dir.File("entries.invalid.ini")));
}

TEST_F(Entries, NewIdsTakeTheSmallestFreeNumber) {
    WriteData(EntrySection("0", "Null") + EntrySection("1", "Eins") + EntrySection("3", "Drei"),
              ReminderSection("0") + ReminderSection("1") + ReminderSection("3"));
    TTWIniFiles files;
    Open(files);
    TTWEntries list;
    ASSERT_TRUE(list.LoadEntries(files));
    EXPECT_EQ(TTWEntries::NextFreeId(files.EntriesIni), 2);

    // A new entry takes the free number and goes to the end of the collection.
    TTWEntry added;
    added.Id = static_cast<int>(TTWEntries::NextFreeId(files.EntriesIni));
    added.Name = "Zwei";
    added.Date = D(1, 2, 2003);
    added.RememberOptions = {roStandard};
    added.RememberTimes = {rtStandard};
    WriteEntry(added, files);
    EXPECT_TRUE(list.AddEntry(added.Id, files));
    EXPECT_EQ(Ids(list), (std::vector<int>{0, 1, 3, 2}));
    EXPECT_EQ(list.IndexOfId(2), 3);
    EXPECT_EQ(TTWEntries::NextFreeId(files.EntriesIni), 4);

    // Deleting frees a number for the next entry; the others keep theirs.
    struct Step {
        bool erase;  // else: an entry is written under the number
        int id;
        long long next_free;
    } steps[] = {
        {true, 0, 0}, {false, 0, 4}, {true, 3, 3}, {true, 1, 1}, {false, 1, 3}, {false, 3, 4}, {false, 4, 5},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE((s.erase ? "erase " : "write ") + std::to_string(s.id));
        TTWEntry entry = added;
        entry.Id = s.id;
        if (s.erase) {
            DeleteEntryData(entry, files);
        } else {
            WriteEntry(entry, files);
        }
        EXPECT_EQ(TTWEntries::NextFreeId(files.EntriesIni), s.next_free);
    }
    EXPECT_TRUE(messages_.Boxes.empty());
}

long long ScanForFreeId(const TIniStore& store) {
    long long n = 0;
    while (store.SectionExists(std::to_string(n))) ++n;
    return n;
}

TEST_F(Entries, NextFreeIdAgreesWithAScanThroughAddsAndErasures) {
    TIniStore store;
    std::mt19937 random(20240229);
    for (int step = 0; step < 4000; ++step) {
        int what = static_cast<int>(random() % 3);
        long long id = what == 0 ? TTWEntries::NextFreeId(store) : static_cast<long long>(random() % 150);
        if (what == 2)
            store.EraseSection(std::to_string(id));
        else
            store.WriteString(std::to_string(id), "Name", "x");
        long long expected = ScanForFreeId(store);
        ASSERT_EQ(TTWEntries::NextFreeId(store), expected) << "step " << step;
    }
}

TEST_F(Entries, NextFreeIdStaysFastForManyEntries) {
    TIniStore store;
    constexpr int kEntries = 100000;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kEntries; ++i) {
        long long id = TTWEntries::NextFreeId(store);
        store.WriteString(std::to_string(id), "Name", "x");
        // Every third new entry frees an older number, as deleting does.
        if (i % 3 == 2) store.EraseSection(std::to_string(id / 2));
        if (i % 1000 == 0) {
            ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30))
                << "after " << i << " entries";
        }
    }
    EXPECT_EQ(TTWEntries::NextFreeId(store), ScanForFreeId(store));
}

TEST_F(Entries, IndexOfIdIsTheLastIndexAndRemovalKeepsItRight) {
    TTWEntries list;
    for (auto [id, name] : {std::pair{3, "A"}, {7, "B"}, {3, "C"}, {9, "D"}}) {
        TTWEntry entry;
        entry.Id = id;
        entry.Name = name;
        list.Append(entry);
    }
    auto names = [&] {
        std::string all;
        for (size_t i = 0; i < list.Count(); ++i) all += list[i].Name;
        return all;
    };
    EXPECT_EQ(list.IndexOfId(3), 2);
    ASSERT_NE(list.FindId(3), nullptr);
    EXPECT_EQ(list.FindId(3)->Name, "C");
    EXPECT_EQ(list.IndexOfId(4), -1);
    EXPECT_EQ(list.FindId(4), nullptr);

    struct Step {
        int remove;
        const char* names;
        std::vector<std::pair<int, long long>> indexes;
    } steps[] = {
        {3, "ABD", {{3, 0}, {7, 1}, {9, 2}}},
        {42, "ABD", {{3, 0}, {7, 1}, {9, 2}, {42, -1}}},
        {7, "AD", {{3, 0}, {7, -1}, {9, 1}}},
        {3, "D", {{3, -1}, {9, 0}}},
        {9, "", {{9, -1}}},
        {9, "", {{9, -1}}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE("remove " + std::to_string(s.remove));
        list.RemoveEntry(s.remove);
        EXPECT_EQ(names(), s.names);
        for (auto [id, index] : s.indexes) EXPECT_EQ(list.IndexOfId(id), index) << "id " << id;
    }
}

TEST_F(Entries, IndexStaysRightThroughAppendsRemovalsAndClear) {
    TTWEntries list;
    std::vector<int> model;
    std::mt19937 random(1999);
    for (int step = 0; step < 3000; ++step) {
        int what = static_cast<int>(random() % 10);
        int id = static_cast<int>(random() % 25);
        if (step == 1500) {
            list.Clear();
            model.clear();
        } else if (what < 5) {
            TTWEntry entry;
            entry.Id = id;
            list.Append(entry);
            model.push_back(id);
        } else {
            list.RemoveEntry(id);
            for (size_t i = model.size(); i-- > 0;)
                if (model[i] == id) {
                    model.erase(model.begin() + static_cast<std::ptrdiff_t>(i));
                    break;
                }
        }
        ASSERT_EQ(Ids(list), model) << "step " << step;
        for (int probe = 0; probe < 25; ++probe) {
            long long expected = -1;
            for (size_t i = 0; i < model.size(); ++i)
                if (model[i] == probe) expected = static_cast<long long>(i);
            ASSERT_EQ(list.IndexOfId(probe), expected) << "step " << step << ", id " << probe;
        }
    }
}

TEST_F(Entries, NameExistsIgnoresTheCaseOfAToZOnly) {
    TTWEntries list;
    for (const char* name : {"Anna", "Jürgen"}) {
        TTWEntry entry;
        entry.Name = name;
        list.Append(entry);
    }
    struct Case {
        const char* name;
        bool exists;
    } cases[] = {
        {"Anna", true},    {"aNNA", true},   {"Ann", false}, {"Annas", false},
        {"JÜRGEN", false}, {"jüRGEN", true}, {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(list.NameExists(c.name), c.exists) << c.name;
}

}  // namespace
}  // namespace tw
