#pragma once

// A data folder with the program's own files and a main collection, for the tests of the
// delimited-text, WinRemind and old data imports and exports.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/core_session.h"
#include "core/entries/entry_files.h"
#include "core/importexport/progress.h"
#include "core/test_support.h"
#include "core/text/date_text.h"

namespace tw::test {

/// Records message boxes and presses the progress window's cancel button during the given call
/// of ProcessMessages (counting from 1; 0 never).
class TCancellingMessages : public TRecordingMessages {
  public:
    void ProcessMessages() override {
        if (++Calls == CancelAtCall) Progress().RequestCancel();
    }
    int CancelAtCall = 0;
    int Calls = 0;
};

/// What a test compares of an entry.
struct TShortEntry {
    int Id;
    std::string Name;
    std::string Date;  // "dd.mm.yyyy"
    std::string EMail;
    std::string Remark;
    bool operator==(const TShortEntry&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TShortEntry& e) {
    return out << "{" << e.Id << ", \"" << e.Name << "\", " << e.Date << ", \"" << e.EMail << "\", \""
               << e.Remark << "\"}";
}

inline std::vector<TShortEntry> ShortEntries(const TTWEntries& entries) {
    std::vector<TShortEntry> out;
    for (size_t i = 0; i < entries.Count(); ++i)
        out.push_back({entries[i].Id, entries[i].Name, DateToText(entries[i].Date), entries[i].EMail,
                       entries[i].Remark});
    return out;
}

class ImportSessionTest : public ::testing::Test {
  protected:
    TTestLanguage language_{
        {{29, "Fehler"}, {83, "Geburtstag"}, {84, "Hochzeitstag"}, {117, "(keine Bemerkung)"}}};
    TCancellingMessages messages_;
    TTempDir data_;   // the data folder
    TTempDir files_;  // files imported and exported
    TScopedClock clock_{D(1, 6, 2024) + 0.5};
    TCoreSession session_;

    void SetUp() override {
        std::string error;
        session_.DataDir = data_.Path();
        ASSERT_TRUE(session_.IniFiles.Open(data_.Path(), &error)) << error;
    }

    /// An entry already in the program's files and collection, written to disk.
    void AddExisting(int id, const std::string& name, TDateTime date, const std::string& email = "",
                     const std::string& remark = "") {
        TTWEntry entry;
        entry.Id = id;
        entry.Name = name;
        entry.Date = date;
        entry.EMail = email;
        entry.Remark = remark;
        entry.RememberOptions = {roStandard};
        entry.RememberTimes = {rtStandard};
        WriteEntry(entry, session_.IniFiles);
        ASSERT_TRUE(session_.Entries.AddEntry(id, session_.IniFiles));
        std::string error;
        ASSERT_TRUE(session_.IniFiles.WriteAll(&error)) << error;
    }

    /// The data files on disk.
    std::string Disk(const std::string& name) const { return ReadFile(data_.File(name)); }

    /// The entries the next start of the program would load from the data folder.
    std::vector<TShortEntry> LoadedFromDisk() {
        TTWIniFiles files;
        std::string error;
        EXPECT_TRUE(files.Open(data_.Path(), &error)) << error;
        TTWEntries entries;
        EXPECT_TRUE(entries.LoadEntries(files));
        return ShortEntries(entries);
    }

    /// Checks that every change is on disk and that the next start loads what the collection holds.
    void ExpectOnDisk() {
        EXPECT_FALSE(session_.IniFiles.EntriesIni.Modified());
        EXPECT_FALSE(session_.IniFiles.EOptionsIni.Modified());
        EXPECT_FALSE(session_.IniFiles.RemIni.Modified());
        EXPECT_EQ(LoadedFromDisk(), ShortEntries(session_.Entries));
    }
};

}  // namespace tw::test
