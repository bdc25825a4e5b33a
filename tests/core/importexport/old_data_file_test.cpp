#include "core/importexport/old_data_file.h"

#include <gtest/gtest.h>

#include "core/importexport/csv_test_session.h"

namespace tw {
namespace {

using test::D;
using test::TShortEntry;

// One 86-byte record: each text is a length byte and its characters, padded with filler bytes
// that must never be read as part of the text.
std::string Record(const std::string& name, const std::string& date, const std::string& remark,
                   int name_length = -1) {
    auto field = [](const std::string& text, size_t capacity, int length) {
        std::string out(1, static_cast<char>(length >= 0 ? length : static_cast<int>(text.size())));
        out += text;
        out.resize(1 + capacity, '#');
        return out;
    };
    std::string record = field(name, 40, name_length) + field(date, 10, -1) + field(remark, 33, -1);
    EXPECT_EQ(record.size(), 86u);
    return record;
}

std::string DataFile(int claimed, const std::vector<std::string>& records) {
    std::string bytes(1, static_cast<char>(claimed));
    for (const std::string& r : records) bytes += r;
    return bytes;
}

class OldDataFile : public test::ImportSessionTest {
  protected:
    TOldDataOutcome Import(const std::string& bytes) {
        test::WriteFile(files_.File("alt.twd"), bytes);
        return ImportOldData(session_, files_.File("alt.twd"));
    }
};

TEST_F(OldDataFile, ImportsEveryRecord) {
    AddExisting(0, "Anna", D(1, 1, 1990));
    TOldDataOutcome outcome = Import(DataFile(3, {Record("Max Muster", "24.12.1970", "Nachbar"),
                                                  Record("J\xFCrgen Gro\xDF", "1.2.80",
                                                         "Stra\xDF"
                                                         "e"),
                                                  Record("Eva", "15.03.", std::string(33, 'r'))}));
    EXPECT_EQ(outcome.Result, TImportResult::Done);
    EXPECT_EQ(outcome.Imported, 3);
    EXPECT_EQ(outcome.Skipped, 0);
    EXPECT_EQ(test::ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Anna", "01.01.1990", "", ""},
                                        {1, "Max Muster", "24.12.1970", "", "Nachbar"},
                                        {2, "J\xC3\xBCrgen Gro\xC3\x9F", "01.02.0080", "",
                                         "Stra\xC3\x9F"
                                         "e"},
                                        {3, "Eva", "15.03.9999", "", std::string(33, 'r')}}));
    EXPECT_EQ(session_.Entries[3].RememberOptions, TRememberOptions{roStandard});
    EXPECT_EQ(session_.Entries[3].RememberTimes, TRememberTimes{rtStandard});
    EXPECT_EQ(Progress().ProgressMax, 3);
    EXPECT_FALSE(Progress().ProgressActive);
    ExpectOnDisk();
}

TEST_F(OldDataFile, OddRecordsAreSkippedNotFatal) {
    TOldDataOutcome outcome = Import(DataFile(
        4, {Record("M", "1.1.1990", ""),          // one letter: not a valid entry
            Record("Lang", "2.2.1990", "", 200),  // a length byte past the field
            Record("Otto", "3.3.1990", ""),
            Record("Fritz", "4.4.1990", "").substr(0, 50)}));  // the file ends inside the last record
    EXPECT_EQ(outcome.Result, TImportResult::Done);
    EXPECT_EQ(outcome.Imported, 2);
    EXPECT_EQ(outcome.Skipped, 2);
    EXPECT_EQ(test::ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Lang" + std::string(36, '#'), "02.02.1990", "", ""},
                                        {1, "Otto", "03.03.1990", "", ""}}));
    EXPECT_EQ(messages_.FatalStops, 0);
    EXPECT_TRUE(messages_.Boxes.empty());
    ExpectOnDisk();

    // No record at all.
    outcome = Import(DataFile(0, {}));
    EXPECT_EQ(outcome.Result, TImportResult::Done);
    EXPECT_EQ(outcome.Imported, 0);
    EXPECT_EQ(session_.Entries.Count(), 2u);
}

TEST_F(OldDataFile, DamagedOrEmptyFileFailsAndAddsNothing) {
    AddExisting(0, "Anna", D(1, 1, 1990));
    const std::string entries_before = Disk("entries.ini");
    const std::pair<std::string, std::string> cases[] = {
        {"empty file", ""},
        {"a date that is no date",
         DataFile(2, {Record("Max Muster", "24.12.1970", ""), Record("Eva", "31.4.1970", "")})},
        {"a date that is no number", DataFile(1, {Record("Max Muster", "24.xx.1970", "")})},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        TOldDataOutcome outcome = Import(bytes);
        EXPECT_EQ(outcome.Result, TImportResult::Failed);
        EXPECT_FALSE(outcome.Error.empty());
        EXPECT_EQ(session_.Entries.Count(), 1u);
        EXPECT_EQ(Disk("entries.ini"), entries_before);
    }
    EXPECT_EQ(ImportOldData(session_, files_.File("fehlt.twd")).Result, TImportResult::Failed);
}

TEST_F(OldDataFile, CancelRemovesWhatItAdded) {
    AddExisting(1, "Anna", D(1, 1, 1990));
    const std::string entries_before = Disk("entries.ini"), options_before = Disk("eoptions.ini");
    messages_.CancelAtCall = 2;
    TOldDataOutcome outcome =
        Import(DataFile(3, {Record("Max Muster", "24.12.1970", ""), Record("Eva Muster", "1.2.1972", ""),
                            Record("Otto", "3.3.1950", "")}));
    EXPECT_EQ(outcome.Result, TImportResult::Cancelled);
    EXPECT_EQ(outcome.Imported, 0);
    EXPECT_EQ(Progress().ProgressPosition, 2);
    EXPECT_EQ(test::ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{1, "Anna", "01.01.1990", "", ""}}));
    EXPECT_EQ(Disk("entries.ini"), entries_before);
    EXPECT_EQ(Disk("eoptions.ini"), options_before);
    ExpectOnDisk();
}

}  // namespace
}  // namespace tw
