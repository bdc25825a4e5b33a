#include "core/importexport/csv_import.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "core/importexport/csv_export.h"
#include "core/importexport/csv_test_session.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::D;
using test::TShortEntry;
using F = TCsvField;

class CsvImport : public test::ImportSessionTest {
  protected:
    TCsvImportOutcome Import(const std::string& content, std::vector<F> fields,
                             bool skip_first_line = false) {
        test::WriteFile(files_.File("daten.csv"), content);
        return ImportCSV(session_, {.Fields = std::move(fields), .SkipFirstLine = skip_first_line},
                         files_.File("daten.csv"));
    }
};

TEST_F(CsvImport, OneLineGivesOneEntryOrNone) {
    struct Case {
        std::string line;
        std::vector<F> fields;
        std::optional<TShortEntry> expected;  // nothing: the line is skipped
    };
    const std::string long_remark(300, 'x');
    const Case cases[] = {
        {R"("Muster";"Max";"24.12.1970")",
         {F::LastName, F::FirstName, F::Date},
         {{0, "Max Muster", "24.12.1970", "", ""}}},
        {R"("Max";"Muster";"24.12.1970")",
         {F::FirstName, F::LastName, F::Date},
         {{0, "Max Muster", "24.12.1970", "", ""}}},
        {"Max Muster,24.12.", {F::Name, F::Date}, {{0, "Max Muster", "24.12.9999", "", ""}}},
        {R"("Muster, Max";24.12.1970)", {F::Name, F::Date}, {{0, "Muster, Max", "24.12.1970", "", ""}}},
        {"Max 01.02.1980", {F::Name, F::Date}, {{0, "Max", "01.02.1980", "", ""}}},
        {"24.12.1970;Max Muster", {F::Date, F::Name}, {{0, "Max Muster", "24.12.1970", "", ""}}},
        {"Max Muster;1.2.80", {F::Name, F::Date}, {{0, "Max Muster", "01.02.0080", "", ""}}},
        {"Max Muster;1.2.0", {F::Name, F::Date}, {{0, "Max Muster", "01.02.9999", "", ""}}},
        // A missing last name adds no blank to the name.
        {"Max;;01.02.1980", {F::FirstName, F::LastName, F::Date}, {{0, "Max", "01.02.1980", "", ""}}},
        // A full-name column beside first and last name: the parts are not added twice.
        {"Max Muster;Max;Muster;01.02.1980",
         {F::Name, F::FirstName, F::LastName, F::Date},
         {{0, "Max Muster", "01.02.1980", "", ""}}},
        {"Max Muster;01.02.1980;max@example.com;Nachbar;Geburtstag",
         {F::Name, F::Date, F::EMail, F::Remark, F::Event},
         {{0, "Max Muster", "01.02.1980", "max@example.com", "Nachbar"}}},
        // More columns than fields, or more fields than columns, are ignored.
        {"Max Muster;01.02.1980;mehr;noch mehr",
         {F::Name, F::Date},
         {{0, "Max Muster", "01.02.1980", "", ""}}},
        {"Max Muster;01.02.1980",
         {F::Name, F::Date, F::EMail, F::Remark},
         {{0, "Max Muster", "01.02.1980", "", ""}}},
        // A remark longer than the files hold is cut to 255 characters.
        {"Max Muster;01.02.1980;" + long_remark,
         {F::Name, F::Date, F::Remark},
         {{0, "Max Muster", "01.02.1980", "", long_remark.substr(0, 255)}}},
        {"Max Muster;kein Datum", {F::Name, F::Date}, std::nullopt},
        {"Max Muster", {F::Name, F::Date}, std::nullopt},
        {"Max Muster;31.4.2001", {F::Name, F::Date}, std::nullopt},
        {"Max Muster;01.01.0001", {F::Name, F::Date}, std::nullopt},  // the mark of "no date"
        {"M;01.02.1980", {F::Name, F::Date}, std::nullopt},
        {std::string(256, 'n') + ";01.02.1980", {F::Name, F::Date}, std::nullopt},
        {"Max Muster;01.02.1980;max@x", {F::Name, F::Date, F::EMail}, std::nullopt},
        {"Max Muster;01.02.1980;" + std::string(250, 'm') + "@example.com",
         {F::Name, F::Date, F::EMail},
         std::nullopt},
        {"", {F::Name, F::Date}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("line [" + c.line + "]");
        session_.Entries.Clear();
        session_.IniFiles.EntriesIni.EraseSection("0");
        session_.IniFiles.EOptionsIni.EraseSection("0");
        TCsvImportOutcome outcome = Import(c.line + "\r\n", c.fields);
        if (c.expected) {
            EXPECT_EQ(outcome.Result, TCsvImportResult::AllImported);
            EXPECT_EQ(test::ShortEntries(session_.Entries), std::vector<TShortEntry>{*c.expected});
            ASSERT_EQ(session_.Entries.Count(), 1u);
            EXPECT_EQ(session_.Entries[0].RememberOptions, TRememberOptions{roStandard});
            EXPECT_EQ(session_.Entries[0].RememberTimes, TRememberTimes{rtStandard});
        } else {
            // The only line was skipped: nothing was imported, which is a failure.
            EXPECT_EQ(outcome.Result, TCsvImportResult::Failed);
            EXPECT_EQ(outcome.Skipped, 1);
            EXPECT_EQ(session_.Entries.Count(), 0u);
            EXPECT_FALSE(session_.IniFiles.EntriesIni.SectionExists("0"));
        }
    }
    EXPECT_TRUE(messages_.Boxes.empty());
    EXPECT_EQ(messages_.FatalStops, 0);
}

TEST_F(CsvImport, SkippedLinesAreCountedAndNewIdsFillTheGaps) {
    AddExisting(0, "Anna", D(1, 1, 1990));
    AddExisting(1, "Bert", D(2, 2, 1990));
    AddExisting(3, "Dora", D(4, 4, 1990));
    TCsvImportOutcome outcome = Import("Name;Datum\r\nCarl Berg;3.3.1991\r\n\r\nX;1.1.1990\r\nEmil;5.5.1995",
                                       {F::Name, F::Date}, true);
    EXPECT_EQ(outcome.Result, TCsvImportResult::LinesSkipped);
    EXPECT_EQ(outcome.Imported, 2);
    EXPECT_EQ(outcome.Skipped, 2);
    EXPECT_EQ(test::ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Anna", "01.01.1990", "", ""},
                                        {1, "Bert", "02.02.1990", "", ""},
                                        {3, "Dora", "04.04.1990", "", ""},
                                        {2, "Carl Berg", "03.03.1991", "", ""},
                                        {4, "Emil", "05.05.1995", "", ""}}));
    ExpectOnDisk();
    EXPECT_EQ(Progress().ProgressMax, 5);
    EXPECT_EQ(Progress().ProgressPosition, 4);
    EXPECT_FALSE(Progress().ProgressActive);

    // A file holding only the header imports nothing and that is no failure.
    EXPECT_EQ(Import("Name;Datum\r\n", {F::Name, F::Date}, true).Result, TCsvImportResult::AllImported);
    EXPECT_EQ(session_.Entries.Count(), 5u);
}

TEST_F(CsvImport, ReadsWindows1252AndDropsAByteOrderMark) {
    EXPECT_EQ(Import("J\xF6rg Gro\xDF;1.2.1980\r\n", {F::Name, F::Date}).Result,
              TCsvImportResult::AllImported);
    EXPECT_EQ(Import("\xEF\xBB\xBF\"Zo\xC3\xAB\";1.2.1980\r\n", {F::Name, F::Date}).Result,
              TCsvImportResult::AllImported);
    EXPECT_EQ(test::ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "J\xC3\xB6rg Gro\xC3\x9F", "01.02.1980", "", ""},
                                        {1, "Zo\xC3\xAB", "01.02.1980", "", ""}}));
}

TEST_F(CsvImport, RoundTripKeepsNamesWithSeparatorsQuotesAndUmlauts) {
    AddExisting(0, "Berg; Anna", D(24, 12, 1970), "anna@example.org", "Kollegin, Chor");
    AddExisting(1, "Gro\xC3\x9F, J\xC3\xB6rg", D(3, 5, 9999), "", "\"Jo\"");
    AddExisting(2, "Bob \"B;C\" Dee", D(29, 2, 1980));
    AddExisting(3, "Zo\xC3\xAB", D(1, 1, 2000));
    const std::vector<F> fields = {F::Name, F::Date, F::EMail, F::Remark};
    ASSERT_EQ(ExportCSV(session_, {.Fields = fields}, files_.File("rund.csv")), TCsvExportResult::Written);

    test::TTempDir other_data;
    TCoreSession other;
    ASSERT_TRUE(other.IniFiles.Open(other_data.Path(), nullptr));
    TCsvImportOutcome outcome = ImportCSV(other, {.Fields = fields}, files_.File("rund.csv"));
    EXPECT_EQ(outcome.Result, TCsvImportResult::AllImported);
    // Quote characters never survive the reader (a quote only switches quoting), but the
    // separator they enclose stays in the field and the row stays whole.
    EXPECT_EQ(test::ShortEntries(other.Entries),
              (std::vector<TShortEntry>{{0, "Berg; Anna", "24.12.1970", "anna@example.org", "Kollegin, Chor"},
                                        {1, "Gro\xC3\x9F, J\xC3\xB6rg", "03.05.9999", "", "Jo"},
                                        {2, "Bob B;C Dee", "29.02.1980", "", ""},
                                        {3, "Zo\xC3\xAB", "01.01.2000", "", ""}}));

    // Through first and last name, in either order of the columns.
    for (bool last_name_first : {false, true}) {
        SCOPED_TRACE(last_name_first ? "last name first" : "first name first");
        session_.Entries.Clear();
        AddExisting(0, "Anna Maria Berg", D(24, 12, 1970));
        AddExisting(1, "Cher", D(20, 5, 1946));
        ASSERT_EQ(
            ExportCSV(session_,
                      {.Fields = {F::LastName, F::Date, F::FirstName}, .LastNameFirst = last_name_first},
                      files_.File("namen.csv")),
            TCsvExportResult::Written);
        other.Entries.Clear();
        ASSERT_EQ(ImportCSV(other, {.Fields = {F::LastName, F::Date, F::FirstName}}, files_.File("namen.csv"))
                      .Result,
                  TCsvImportResult::AllImported);
        std::vector<std::string> names;
        for (size_t i = 0; i < other.Entries.Count(); ++i) names.push_back(other.Entries[i].Name);
        if (last_name_first)
            EXPECT_EQ(names, (std::vector<std::string>{"Maria Berg Anna", "Cher"}));
        else
            EXPECT_EQ(names, (std::vector<std::string>{"Anna Maria Berg", "Cher"}));
    }
}

TEST_F(CsvImport, CancelRemovesWhatItAdded) {
    AddExisting(0, "Anna", D(1, 1, 1990));
    AddExisting(2, "Bert", D(2, 2, 1990));
    session_.IniFiles.RemIni.WriteString("0", "01.01.2024", "1");
    ASSERT_TRUE(session_.IniFiles.RemIni.UpdateFile());
    const std::string entries_before = Disk("entries.ini"), options_before = Disk("eoptions.ini"),
                      rem_before = Disk("rem.ini");
    const auto list_before = test::ShortEntries(session_.Entries);

    messages_.CancelAtCall = 3;
    TCsvImportOutcome outcome =
        Import("Carl;1.1.1991\r\nDora;2.2.1992\r\nEmil;3.3.1993\r\nFrida;4.4.1994\r\n", {F::Name, F::Date});

    EXPECT_EQ(outcome.Result, TCsvImportResult::Cancelled);
    EXPECT_EQ(outcome.Imported, 0);
    EXPECT_EQ(Progress().ProgressPosition, 3);
    EXPECT_FALSE(Progress().ProgressActive);
    EXPECT_EQ(test::ShortEntries(session_.Entries), list_before);
    EXPECT_EQ(TTWEntries::NextFreeId(session_.IniFiles.EntriesIni), 1);
    EXPECT_EQ(Disk("entries.ini"), entries_before);
    EXPECT_EQ(Disk("eoptions.ini"), options_before);
    EXPECT_EQ(Disk("rem.ini"), rem_before);
    ExpectOnDisk();
}

TEST_F(CsvImport, DamagedOrEmptyFileFailsAndAddsNothing) {
    AddExisting(0, "Anna", D(1, 1, 1990));
    const std::string entries_before = Disk("entries.ini");
    struct Case {
        std::string what;
        std::optional<std::string> content;  // nothing: no file at all
        bool has_reason;
    };
    const Case cases[] = {
        {"missing file", std::nullopt, true},
        {"empty file", "", true},
        {"UTF-16 file", std::string("\xFF\xFEM\0a\0x\0;\0001\0.\0002\0.\0003\0", 20), true},
        {"no line fits", "Hallo Welt\r\nnoch eine Zeile\r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(files_.File("daten.csv").c_str());
        if (c.content) test::WriteFile(files_.File("daten.csv"), *c.content);
        TCsvImportOutcome outcome =
            ImportCSV(session_, {.Fields = {F::Name, F::Date}}, files_.File("daten.csv"));
        EXPECT_EQ(outcome.Result, TCsvImportResult::Failed);
        EXPECT_EQ(outcome.Imported, 0);
        EXPECT_EQ(outcome.Error.empty(), !c.has_reason) << outcome.Error;
        EXPECT_EQ(session_.Entries.Count(), 1u);
        EXPECT_EQ(Disk("entries.ini"), entries_before);
        EXPECT_FALSE(Progress().ProgressActive);
    }
    EXPECT_EQ(ImportCSV(session_, {}, files_.Path()).Result, TCsvImportResult::Failed) << "a folder";
}

TEST_F(CsvImport, WhatCannotBeSavedIsTakenBack) {
    AddExisting(0, "Anna", D(1, 1, 1990));
    const std::string entries_before = Disk("entries.ini");
    // The data folder disappears under the running program: nothing can be written any more.
    std::filesystem::rename(data_.Path(), data_.Path() + ".weg");
    TCsvImportOutcome outcome = Import("Carl;1.1.1991\r\nDora;2.2.1992\r\n", {F::Name, F::Date});
    EXPECT_EQ(outcome.Result, TCsvImportResult::Failed);
    EXPECT_EQ(outcome.Imported, 0);
    EXPECT_FALSE(outcome.Error.empty());
    EXPECT_EQ(test::ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Anna", "01.01.1990", "", ""}}));

    // Once the folder is back, the next write-back writes the files as they were before.
    std::filesystem::rename(data_.Path() + ".weg", data_.Path());
    std::string error;
    ASSERT_TRUE(session_.IniFiles.WriteAll(&error)) << error;
    EXPECT_EQ(Disk("entries.ini"), entries_before);
    ExpectOnDisk();
}

TEST_F(CsvImport, HundredThousandLinesInSeconds) {
    std::string content;
    for (int i = 0; i < 100000; ++i)
        content += "\"Person " + std::to_string(i) + "\";\"" + std::to_string(i % 28 + 1) + ".3.1980\"\r\n";
    auto start = std::chrono::steady_clock::now();
    TCsvImportOutcome outcome = Import(content, {F::Name, F::Date});
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(outcome.Result, TCsvImportResult::AllImported);
    ASSERT_EQ(session_.Entries.Count(), 100000u);
    EXPECT_EQ(session_.Entries[99999].Id, 99999);
    EXPECT_EQ(session_.Entries[99999].Name, "Person 99999");
    // Linear work takes a few seconds even in a sanitizer build; quadratic work takes many minutes.
    EXPECT_LT(seconds, 60.0);
}

}  // namespace
}  // namespace tw
