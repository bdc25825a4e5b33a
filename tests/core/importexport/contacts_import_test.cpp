#include "core/importexport/contacts_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/importexport/csv_test_session.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::D;
using test::ShortEntries;
using test::TShortEntry;
using R = TContactsImportResult;

std::string Fixture(const std::string& name) {
    return std::string(TAGWACHT_SOURCE_DIR) + "/tests/data/vcard/" + name;
}

std::string Card(const std::string& name, const std::string& bday) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + name + "\r\nBDAY:" + bday + "\r\nEND:VCARD\r\n";
}

class ContactsImport : public test::ImportSessionTest {
  protected:
    R Import(const std::string& file, int mail = kMailNone, int remark = rcNothing) {
        std::string error;
        R result = ImportContacts(session_, file, mail, remark, &error);
        EXPECT_FALSE(Progress().ProgressActive);
        if (result != R::Failed) {
            EXPECT_EQ(error, "");
        }
        return result;
    }
};

TEST(ContactFromVCard, TakesTheFirstOfEachField) {
    std::vector<TVCard> cards = ParseVCards(DecodeVCardFile(test::ReadFile(Fixture("contacts30.vcf"))));
    ASSERT_EQ(cards.size(), 2u);
    TContact c = ContactFromVCard(cards[0]);
    EXPECT_EQ(c.FullName, "Claudia Weber");
    EXPECT_EQ(c.Birthday, (TVCardDate{1969, 7, 20}));
    EXPECT_EQ(c.Email1Address, "claudia@example.com");
    EXPECT_EQ(c.Email2Address, "c.weber@example.net");
    EXPECT_EQ(c.Email3Address, "weber@firma.example");
    EXPECT_EQ(c.NickName, "Claudi");
    EXPECT_EQ(c.WebPage, "https://claudia.example.com/");
    EXPECT_EQ(c.Hobby, "Segeln");
    EXPECT_EQ(c.HomeTelephoneNumber, "+49 89 111");  // the mobile number before it is not the home number
    EXPECT_EQ(c.BusinessTelephoneNumber, "+49 89 222");
    EXPECT_EQ(c.CompanyName, "Weber, Krause & Partner");
    EXPECT_EQ(c.Language, "");
    EXPECT_EQ(ContactFromVCard(cards[1]).Birthday, (TVCardDate{0, 4, 12}));
}

TEST(ContactFromVCard, NameFromPartsTelephoneAddressesAndLineBreaks) {
    TVCard card = ParseVCards(
        "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Muster;Max;Otto;Dr.;jun.\r\n"
        "TEL;TYPE=home,fax:1\r\nTEL;VALUE=uri;TYPE=\"voice,home\":tel:+49-40-333\r\n"
        "NICKNAME:Zeile\\nzwei\\n\r\nEND:VCARD\r\n")[0];
    TContact c = ContactFromVCard(card);
    EXPECT_EQ(c.FullName, "Max Otto Muster jun.");
    EXPECT_EQ(c.HomeTelephoneNumber, "+49-40-333");
    EXPECT_EQ(c.NickName, "Zeile zwei");  // the data files hold one line per value
}

TEST_F(ContactsImport, EachChoiceTakesItsField) {
    struct Case {
        int mail;
        int remark;
        std::string email;
        std::string remark_text;
    };
    const Case cases[] = {
        {kMailNone, rcNothing, "", ""},
        {1, rcNothing, "eins@example.com", ""},
        {2, rcNothing, "zwei@example.com", ""},
        {3, rcNothing, "drei@example.com", ""},
        {4, rcNothing, "", ""},  // outside the choices: none
        {kMailNone, rcNickName, "", "Hanni"},
        {kMailNone, rcWebPage, "", "https://hanna.example.com/"},
        {kMailNone, rcHobby, "", "Schach"},
        {kMailNone, rcHomeTelephone, "", "+49 1"},
        {kMailNone, rcBusinessTelephone, "", "+49 2"},
        {kMailNone, rcCompanyName, "", "Alles GmbH"},
        {kMailNone, rcLanguage, "", "de-CH"},
        {kMailNone, 9, "", ""},  // outside the choices: nothing
        {2, rcHobby, "zwei@example.com", "Schach"},
    };
    for (const Case& c : cases) {
        session_.Entries.Clear();
        for (const std::string& section : session_.IniFiles.EntriesIni.ReadSections()) {
            session_.IniFiles.EntriesIni.EraseSection(section);
            session_.IniFiles.EOptionsIni.EraseSection(section);
        }
        EXPECT_EQ(Import(Fixture("choices.vcf"), c.mail, c.remark), R::Done);
        EXPECT_EQ(ShortEntries(session_.Entries),
                  (std::vector<TShortEntry>{{0, "Hanna Alles", "01.01.1990", c.email, c.remark_text}}))
            << "mail " << c.mail << ", remark " << c.remark;
        ExpectOnDisk();
    }
}

TEST_F(ContactsImport, VersionsAndDateFormsBecomeBirthdayEntries) {
    AddExisting(0, "Vorher", D(1, 2, 1970));
    AddExisting(2, "Auch vorher", D(1, 3, 1970));
    EXPECT_EQ(Import(Fixture("outlook21.vcf"), 1, rcHomeTelephone), R::Done);
    EXPECT_EQ(Import(Fixture("contacts30.vcf"), 3, rcCompanyName), R::Done);
    EXPECT_EQ(Import(Fixture("contacts40.vcf"), kMailNone, rcLanguage), R::Done);
    // New ids fill the gaps first; the year-less 29 February is kept on 28 February, where the
    // program reminds of it anyway.
    const std::vector<TShortEntry> expected = {
        {0, "Vorher", "01.02.1970", "", ""},
        {2, "Auch vorher", "01.03.1970", "", ""},
        {1, "J\xC3\xBCrgen M\xC3\xBCller", "15.03.1980", "juergen.mueller@example.de", "+49 30 111222"},
        {3, "Anna Schmidt", "02.11.1975", "anna@example.org", ""},
        {4, "Claudia Weber", "20.07.1969", "weber@firma.example", "Weber, Krause & Partner"},
        {5, "Dieter Ohnejahr", "12.04.9999", "", ""},
        {6, "Eva Vier", "30.08.9999", "", "de"},
        {7, "Frank Apfel", "05.01.9999", "", ""},
        {8, "Gina Schalttag", "28.02.9999", "", ""},
    };
    EXPECT_EQ(ShortEntries(session_.Entries), expected);
    for (size_t i = 0; i < session_.Entries.Count(); ++i) {
        const TTWEntry& entry = session_.Entries[i];
        EXPECT_EQ(entry.Event, 0) << entry.Name;
        EXPECT_EQ(entry.RememberOptions, TRememberOptions{roStandard}) << entry.Name;
        EXPECT_EQ(entry.RememberTimes, TRememberTimes{rtStandard}) << entry.Name;
    }
    ExpectOnDisk();
    EXPECT_TRUE(messages_.Boxes.empty());
}

TEST_F(ContactsImport, InvalidContactsAreSkippedAndCounted) {
    // Skipped: a one-letter name, a chosen address the program rejects, no birthday, an impossible
    // birthday, a birthday in words, a card cut off by the end of the file.
    EXPECT_EQ(Import(Fixture("invalid.vcf"), 1), R::Skipped);
    EXPECT_EQ(ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Ida Gut", "05.05.1985", "ida@example.com", ""},
                                        {1, "Otto Gut", "06.06.1986", "", ""}}));
    ExpectOnDisk();
    EXPECT_EQ(messages_.FatalStops, 0);
    EXPECT_TRUE(messages_.Boxes.empty());
    EXPECT_FALSE(FileExists(data_.File("entries.invalid.ini")));
}

TEST_F(ContactsImport, AnAddressThatIsNotChosenDoesNotMatter) {
    EXPECT_EQ(Import(Fixture("invalid.vcf"), kMailNone), R::Skipped);
    EXPECT_EQ(ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Ida Gut", "05.05.1985", "", ""},
                                        {1, "Karl Kaputt", "07.05.1985", "", ""},
                                        {2, "Otto Gut", "06.06.1986", "", ""}}));
    ExpectOnDisk();
}

TEST_F(ContactsImport, CancelTakesTheImportedContactsOutAgain) {
    AddExisting(0, "Vorher", D(1, 2, 1970));
    const std::string before_entries = Disk("entries.ini"), before_options = Disk("eoptions.ini");
    std::string file;
    for (const char* name : {"Anna Eins", "Bert Zwei", "Carl Drei", "Dora Vier", "Emil Fuenf"})
        file += Card(name, "1980-01-02");
    test::WriteFile(files_.File("fuenf.vcf"), file);
    messages_.CancelAtCall = 2;

    EXPECT_EQ(Import(files_.File("fuenf.vcf")), R::Cancelled);
    EXPECT_EQ(messages_.Calls, 2);
    EXPECT_EQ(Progress().ProgressMax, 5);
    EXPECT_EQ(ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Vorher", "01.02.1970", "", ""}}));
    ExpectOnDisk();
    EXPECT_EQ(Disk("entries.ini"), before_entries);
    EXPECT_EQ(Disk("eoptions.ini"), before_options);
    EXPECT_EQ(TTWEntries::NextFreeId(session_.IniFiles.EntriesIni), 1);
}

TEST_F(ContactsImport, SkippedContactsStillCountAsProgress) {
    // Five contacts without a birthday: the cancel is seen at the second one all the same.
    std::string file;
    for (int i = 0; i < 5; ++i) file += "BEGIN:VCARD\r\nFN:Ohne Datum\r\nEND:VCARD\r\n";
    test::WriteFile(files_.File("ohne.vcf"), file);
    messages_.CancelAtCall = 2;
    EXPECT_EQ(Import(files_.File("ohne.vcf")), R::Cancelled);
    EXPECT_EQ(messages_.Calls, 2);
    EXPECT_EQ(session_.Entries.Count(), 0u);
}

TEST_F(ContactsImport, AFileWithoutVCardsFailsAndAddsNothing) {
    AddExisting(0, "Vorher", D(1, 2, 1970));
    const std::string before = Disk("entries.ini");
    std::string error;
    EXPECT_EQ(ImportContacts(session_, Fixture("not_a_vcard.vcf"), 1, rcNickName, &error), R::Failed);
    EXPECT_EQ(error, "");  // the content is the reason: the window says to check the file
    EXPECT_EQ(ImportContacts(session_, files_.File("fehlt.vcf"), 1, rcNickName, &error), R::Failed);
    EXPECT_NE(error, "");  // the file cannot be read: the reason is told
    EXPECT_EQ(session_.Entries.Count(), 1u);
    EXPECT_EQ(Disk("entries.ini"), before);
    EXPECT_FALSE(Progress().ProgressActive);
}

TEST_F(ContactsImport, AnEmptyFileHoldsNoContacts) {
    test::WriteFile(files_.File("leer.vcf"), "\r\n");
    EXPECT_EQ(Import(files_.File("leer.vcf")), R::Done);
    EXPECT_EQ(session_.Entries.Count(), 0u);
}

TEST_F(ContactsImport, DataFilesThatCannotBeWrittenFailAndKeepNothing) {
    AddExisting(0, "Vorher", D(1, 2, 1970));
    const std::string before = Disk("entries.ini");
    // A folder where eoptions.ini should be: the write-back cannot replace it (even as root).
    std::filesystem::remove(data_.File("eoptions.ini"));
    std::filesystem::create_directory(data_.File("eoptions.ini"));
    std::string error;
    EXPECT_EQ(ImportContacts(session_, Fixture("outlook21.vcf"), 1, rcNothing, &error), R::Failed);
    EXPECT_NE(error, "");
    EXPECT_EQ(ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Vorher", "01.02.1970", "", ""}}));
    EXPECT_EQ(Disk("entries.ini"), before);
    EXPECT_EQ(TTWEntries::NextFreeId(session_.IniFiles.EntriesIni), 1);
}

}  // namespace
}  // namespace tw
