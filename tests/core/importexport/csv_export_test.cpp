#include "core/importexport/csv_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/importexport/csv_test_session.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::D;
using F = TCsvField;

TEST(CsvFieldValue, FirstAndLastNameAreCutAtTheFirstBlank) {
    struct Case {
        std::string name;
        bool last_name_first;
        std::string first, last;
    };
    const Case cases[] = {
        {"Anna Maria Berg", false, "Anna", "Maria Berg"},
        {"Anna Maria Berg", true, "Maria Berg", "Anna"},
        {"  Anna Berg ", false, "Anna", "Berg"},
        // A name of one word is its first word: the first name, or the last name when it comes first.
        {"Cher", false, "Cher", ""},
        {"Cher", true, "", "Cher"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + (c.last_name_first ? " (last name first)" : ""));
        TTWEntry entry;
        entry.Name = c.name;
        EXPECT_EQ(CsvFieldValue(entry, F::FirstName, c.last_name_first), c.first);
        EXPECT_EQ(CsvFieldValue(entry, F::LastName, c.last_name_first), c.last);
        EXPECT_EQ(CsvFieldValue(entry, F::Name, c.last_name_first), c.name);
    }
}

class CsvExport : public test::ImportSessionTest {};

TEST_F(CsvExport, WritesEveryFieldInCollectionOrder) {
    AddExisting(3, "Anna Maria Berg", D(24, 12, 1970), "anna@example.org", "Kollegin");
    AddExisting(1, "J\xC3\xB6rg \"Jo\" Gro\xC3\x9F", D(3, 5, 9999));
    TTWEntry& jo = *session_.Entries.FindId(1);
    jo.Event = 2;
    jo.UserEvent = "Jubil\xC3\xA4um";
    session_.Entries.FindId(3)->Event = 1;

    TCsvExportSettings settings{
        .Fields = {F::FirstName, F::LastName, F::Date, F::EMail, F::Remark, F::Event, F::Name},
        .Separator = "   ;",
        .Quote = true,
        .LastNameFirst = false};
    std::string written;
    ASSERT_EQ(ExportCSV(session_, settings, files_.File("liste.txt"), &written), TCsvExportResult::Written);
    EXPECT_EQ(written, files_.File("liste.txt"));
    // UTF-8 as stored, CR LF; a quote inside a quoted value is doubled.
    EXPECT_EQ(test::ReadFile(written),
              "\"Anna\";\"Maria Berg\";\"24.12.1970\";\"anna@example.org\";\"Kollegin\";\"Hochzeitstag\";"
              "\"Anna Maria Berg\"\r\n"
              "\"J\xC3\xB6rg\";\"\"\"Jo\"\" Gro\xC3\x9F\";\"03.05.9999\";\"\";\"\";\"Jubil\xC3\xA4um\";"
              "\"J\xC3\xB6rg \"\"Jo\"\" Gro\xC3\x9F\"\r\n");

    settings = {.Fields = {F::LastName, F::FirstName, F::Date},
                .Separator = " , ",
                .Quote = false,
                .LastNameFirst = true};
    ASSERT_EQ(ExportCSV(session_, settings, files_.File("liste.txt")), TCsvExportResult::Written);
    EXPECT_EQ(test::ReadFile(files_.File("liste.txt")),
              "Anna,Maria Berg,24.12.1970\r\nJ\xC3\xB6rg,\"Jo\" Gro\xC3\x9F,03.05.9999\r\n");
    EXPECT_FALSE(Progress().ProgressActive);
    EXPECT_EQ(Progress().ProgressPosition, 2);
    EXPECT_FALSE(Progress().ProgressImport);
}

TEST_F(CsvExport, AppendsCsvUnlessTheNameEndsInCsvOrTxt) {
    AddExisting(0, "Anna Berg", D(1, 2, 1990));
    const std::pair<std::string, std::string> cases[] = {
        {"liste.txt", "liste.txt"}, {"liste", "liste.csv"},         {"liste.CSV", "liste.CSV"},
        {"liste.Txt", "liste.Txt"}, {"liste.geb", "liste.geb.csv"}, {"ordner.d/liste", "ordner.d/liste.csv"},
    };
    ASSERT_TRUE(std::filesystem::create_directory(files_.File("ordner.d")));
    for (const auto& [given, expected] : cases) {
        SCOPED_TRACE(given);
        std::string written;
        ASSERT_EQ(ExportCSV(session_, {.Fields = {F::Name}}, files_.File(given), &written),
                  TCsvExportResult::Written);
        EXPECT_EQ(written, files_.File(expected));
        EXPECT_EQ(test::ReadFile(written), "\"Anna Berg\"\r\n");
    }
}

TEST_F(CsvExport, CancelWritesNoFileAndKeepsAnEarlierOne) {
    for (int id = 0; id < 5; ++id) AddExisting(id, "Person " + std::to_string(id), D(1, 2, 1990));
    messages_.CancelAtCall = 2;
    EXPECT_EQ(ExportCSV(session_, {.Fields = {F::Name}}, files_.File("neu.csv")),
              TCsvExportResult::Cancelled);
    EXPECT_FALSE(FileExists(files_.File("neu.csv")));
    EXPECT_EQ(Progress().ProgressPosition, 2);
    EXPECT_FALSE(Progress().ProgressActive);

    test::WriteFile(files_.File("alt.csv"), "alter Inhalt\r\n");
    messages_.Calls = 0;
    EXPECT_EQ(ExportCSV(session_, {.Fields = {F::Name}}, files_.File("alt.csv")),
              TCsvExportResult::Cancelled);
    EXPECT_EQ(test::ReadFile(files_.File("alt.csv")), "alter Inhalt\r\n");
    size_t files = 0;
    for ([[maybe_unused]] auto& f : std::filesystem::directory_iterator(files_.Path())) ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left behind";
}

TEST_F(CsvExport, FailsWithAReason) {
    AddExisting(0, "Anna Berg", D(1, 2, 1990));
    std::string error;
    EXPECT_EQ(ExportCSV(session_, {.Fields = {F::Name}}, files_.File("fehlt/liste.csv"), nullptr, &error),
              TCsvExportResult::Failed);
    EXPECT_NE(error.find("fehlt/liste.csv"), std::string::npos) << error;
    EXPECT_FALSE(Progress().ProgressActive);

    error.clear();
    EXPECT_EQ(ExportCSV(session_, {.Fields = {}}, files_.File("liste.csv"), nullptr, &error),
              TCsvExportResult::Failed);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ExportCSV(session_, {.Fields = {F::Name}, .Separator = "   "}, files_.File("liste.csv")),
              TCsvExportResult::Failed);
    EXPECT_FALSE(FileExists(files_.File("liste.csv")));
}

}  // namespace
}  // namespace tw
