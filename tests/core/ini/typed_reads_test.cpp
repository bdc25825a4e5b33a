#include "core/ini/typed_reads.h"

#include <gtest/gtest.h>

#include "core/test_support.h"
#include "core/text/date_text.h"

namespace tw {
namespace {

using test::D;

// Text 29 heads every error box; text 37 names the place of the problem.
class TypedReads : public ::testing::Test {
protected:
    test::TTestLanguage language_{{{29, "Fehler"}, {37, "%s/%s/%s"}, {38, "zu lang"}, {39, "zu klein"}, {40, "zu groß"}}};
    test::TRecordingMessages messages_;
    test::TTempDir dir_;
    test::TScopedClock clock_{D(11, 12, 2026) + 0.5};
    TIniStore store_;

    void SetUp() override { ASSERT_TRUE(store_.Open(dir_.File("entries.ini"))); }
    std::string Box(const std::string& detail) { return "Fehler:\r\n" + detail; }
};

TEST_F(TypedReads, StringsAreCutInMemoryAndMissingKeysAdded) {
    std::string long_name(300, 'x');
    store_.WriteString("1", "Name", long_name);
    store_.WriteString("1", "Remark", "");

    EXPECT_EQ(ReadStringChecked(store_, "1", "Name", 255), std::string(255, 'x'));
    EXPECT_EQ(ReadStringChecked(store_, "1", "Remark", 255), "");
    EXPECT_EQ(ReadStringChecked(store_, "1", "EMail", 255), "");
    EXPECT_EQ(ReadStringChecked(store_, "1", "Date", 255), "");
    EXPECT_EQ(ReadStringChecked(store_, "1", "date2", -1), "");

    EXPECT_EQ(messages_.Boxes, (std::vector<std::string>{Box("entries.ini/1/Name\r\nzu lang"), Box("entries.ini/1/EMail"),
                                                         Box("entries.ini/1/Date"), Box("entries.ini/1/date2")}));
    EXPECT_EQ(store_.ReadString("1", "Name", "").size(), 300u) << "the file keeps the long value";
    EXPECT_EQ(store_.ReadString("1", "Date", "?"), "01.01.2000");
    EXPECT_EQ(store_.ReadString("1", "EMail", "?"), "");
}

TEST_F(TypedReads, LengthLimitCountsCharactersNotBytes) {
    store_.WriteString("1", "Name", std::string(10, 'a') + "äöü");
    EXPECT_EQ(ReadStringChecked(store_, "1", "Name", 12), "aaaaaaaaaaäö");
    EXPECT_EQ(messages_.Boxes.size(), 1u);
    EXPECT_EQ(ReadStringChecked(store_, "1", "Name", 13), "aaaaaaaaaaäöü");
    EXPECT_EQ(messages_.Boxes.size(), 1u);
}

TEST_F(TypedReads, IntegersAreBoundedInTheFileOnly) {
    struct Case {
        const char* stored;  // nullptr: key missing
        const char* key;
        int minimum, maximum;
        int result;
        const char* file_after;
        const char* message;  // "" for none
    } cases[] = {
        {"0", "Port", 1, 9999, 0, "1", "entries.ini/S/Port\n\rzu klein"},
        {"10000", "Port", 1, 9999, 10000, "9999", "entries.ini/S/Port\n\rzu groß"},
        {"abc", "Event", -1, -1, -1, "abc", ""},
        {"abc", "Port", 1, 9999, -1, "1", "entries.ini/S/Port\n\rzu klein"},
        {"0x10", "Port", 1, 9999, 16, "0x10", ""},
        {nullptr, "Event", -1, -1, -1, "0",
         "Fehler beim Lesen aus der Datei \"entries.ini\" aus Sektion \"S\" bei Wert \"Event\""},
        {nullptr, "Sex", -1, -1, -1, "0", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + (c.stored ? c.stored : "(missing)"));
        store_.EraseSection("S");
        messages_.Boxes.clear();
        if (c.stored) store_.WriteString("S", c.key, c.stored);
        EXPECT_EQ(ReadIntegerChecked(store_, "S", c.key, c.minimum, c.maximum), c.result);
        EXPECT_EQ(store_.ReadString("S", c.key, "?"), c.file_after);
        std::vector<std::string> expected;
        if (c.message && *c.message) expected.push_back(Box(c.message));
        EXPECT_EQ(messages_.Boxes, expected);
    }
}

TEST_F(TypedReads, BooleansAndDates) {
    store_.WriteString("1", "Hex", "0x1");
    store_.WriteString("1", "Date", "15.03.");
    store_.WriteString("1", "Bad", "31.02.1980");
    EXPECT_TRUE(ReadBoolChecked(store_, "1", "Hex"));
    EXPECT_FALSE(ReadBoolChecked(store_, "1", "Missing"));
    EXPECT_EQ(store_.ReadString("1", "Missing", "?"), "0");
    EXPECT_EQ(ReadDateChecked(store_, "1", "Date"), D(15, 3, 9999));
    EXPECT_EQ(ReadDateChecked(store_, "1", "Bad"), D(11, 12, 2026) + 0.5) << "now, date and time";
    EXPECT_EQ(store_.ReadString("1", "Bad", "?"), "01.01.1970");
    EXPECT_EQ(ReadDateChecked(store_, "1", "Gone"), D(11, 12, 2026) + 0.5);
    EXPECT_EQ(store_.ReadString("1", "Gone", "?"), "01.01.1970");
    EXPECT_EQ(messages_.Boxes, (std::vector<std::string>{Box("entries.ini/1/Missing"), Box("entries.ini/1/Bad"),
                                                         Box("entries.ini/1/Gone")}));
}

TEST_F(TypedReads, EveryReadFirstWritesPendingChanges) {
    store_.WriteString("1", "Name", "Anna");
    ReadStringChecked(store_, "1", "Name", 255);
    EXPECT_FALSE(store_.Modified());
    EXPECT_EQ(test::ReadFile(dir_.File("entries.ini")), "[1]\r\nName=Anna\r\n\r\n");
    // The repair of a missing key waits for the next write-back point.
    ReadBoolChecked(store_, "1", "EMAIL_only");
    EXPECT_TRUE(store_.Modified());
}

}  // namespace
}  // namespace tw
