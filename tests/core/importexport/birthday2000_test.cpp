#include "core/importexport/birthday2000.h"

#include <gtest/gtest.h>

#include "core/importexport/csv_test_session.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::D;
using test::TShortEntry;

class Birthday2000 : public test::ImportSessionTest {};

const std::string kHeaderLine =
    "\"00.00.0000\" , \"Name\"  , \"eMail\" , \" \" , \" \" , \" \" , \" \" , \" \" \r\n";

TEST_F(Birthday2000, ExportWritesTheBackupByteForByte) {
    AddExisting(0, "Max Muster", D(24, 12, 1970), "max@example.com", "wird nicht exportiert");
    AddExisting(1, "J\xC3\xBCrgen Gro\xC3\x9F", D(3, 5, 9999));
    AddExisting(2, "\xC5\x81ukasz", D(1, 2, 1980));  // a letter Windows-1252 lacks

    std::string written;
    ASSERT_EQ(ExportBirthday2000(session_, files_.File("sicherung"), &written), TCsvExportResult::Written);
    EXPECT_EQ(written, files_.File("sicherung.geb"));
    EXPECT_EQ(test::ReadFile(written),
              kHeaderLine +
                  "\"24.12.1970\",\"Max Muster\",\"max@example.com\",\"\",\"\",\"\",\"\",\"\"\r\n"
                  "\"03.05.9999\",\"J\xFCrgen Gro\xDF\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                  "\"01.02.1980\",\"?ukasz\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
}

TEST_F(Birthday2000, EmptyDataGivesTheHeaderAndGebIsKeptInAnyCase) {
    std::string written;
    ASSERT_EQ(ExportBirthday2000(session_, files_.File("leer.GEB"), &written), TCsvExportResult::Written);
    EXPECT_EQ(written, files_.File("leer.GEB"));
    EXPECT_EQ(test::ReadFile(written), kHeaderLine);
    ASSERT_EQ(ExportBirthday2000(session_, files_.File("leer.csv"), &written), TCsvExportResult::Written);
    EXPECT_EQ(written, files_.File("leer.csv.geb"));

    // Re-importing an empty backup adds nothing and is no failure.
    TCsvImportOutcome outcome = ImportBirthday2000(session_, files_.File("leer.GEB"));
    EXPECT_EQ(outcome.Result, TCsvImportResult::AllImported);
    EXPECT_EQ(session_.Entries.Count(), 0u);
}

TEST_F(Birthday2000, ReimportGivesTheSameDataWithoutTheHeader) {
    AddExisting(0, "Max Muster", D(24, 12, 1970), "max@example.com");
    AddExisting(1, "J\xC3\xBCrgen Gro\xC3\x9F", D(3, 5, 9999));
    ASSERT_EQ(ExportBirthday2000(session_, files_.File("sicherung.geb")), TCsvExportResult::Written);

    test::TTempDir other_data;
    TCoreSession other;
    ASSERT_TRUE(other.IniFiles.Open(other_data.Path(), nullptr));
    TCsvImportOutcome outcome = ImportBirthday2000(other, files_.File("sicherung.geb"));
    EXPECT_EQ(outcome.Result, TCsvImportResult::AllImported);
    EXPECT_EQ(test::ShortEntries(other.Entries),
              (std::vector<TShortEntry>{{0, "Max Muster", "24.12.1970", "max@example.com", ""},
                                        {1, "J\xC3\xBCrgen Gro\xC3\x9F", "03.05.9999", "", ""}}));
}

TEST_F(Birthday2000, ALineWithASemicolonIsNotSplitAtItsCommas) {
    test::WriteFile(files_.File("b.geb"),
                    kHeaderLine +
                        "\"01.02.1980\",\"Anna Berg\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                        "\"24.12.1970\",\"Berg; Max\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    TCsvImportOutcome outcome = ImportBirthday2000(session_, files_.File("b.geb"));
    EXPECT_EQ(outcome.Result, TCsvImportResult::LinesSkipped);
    EXPECT_EQ(outcome.Skipped, 1);
    EXPECT_EQ(test::ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Anna Berg", "01.02.1980", "", ""}}));
}

}  // namespace
}  // namespace tw
