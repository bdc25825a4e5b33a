#include "core/importexport/winremind.h"

#include <gtest/gtest.h>

#include <array>

#include "core/importexport/csv_test_session.h"

namespace tw {
namespace {

using test::D;
using test::TShortEntry;

class WinRemind : public test::ImportSessionTest {
  protected:
    // The first line and one block of five lines per person.
    static std::string Backup(const std::vector<std::array<std::string, 3>>& people) {
        std::string text = "WinRemind\r\n";
        for (const auto& [name, date, remark] : people)
            text += name + "\r\n" + date + "\r\nunbenutzt\r\n" + remark + "\r\nunbenutzt\r\n";
        return text;
    }
    bool Import(const std::string& content, std::string* error = nullptr) {
        test::WriteFile(files_.File("w.bkp"), content);
        return ImportWinRemind(session_, files_.File("w.bkp"), error);
    }
};

TEST_F(WinRemind, ReadsBlocksOfFiveLines) {
    AddExisting(0, "Anna", D(1, 1, 1990));
    std::string error;
    EXPECT_TRUE(Import(Backup({{"Max Muster", "24.12.1970", "Nachbar"},
                               {"X", "01.01.1990", ""},  // too short a name: dropped without a message
                               {"J\xFCrgen", "03.05.1960", "(keine Bemerkung)"}}),
                       &error))
        << error;
    // The dropped person uses no id.
    EXPECT_EQ(test::ShortEntries(session_.Entries),
              (std::vector<TShortEntry>{{0, "Anna", "01.01.1990", "", ""},
                                        {1, "Max Muster", "24.12.1970", "", "Nachbar"},
                                        {2, "J\xC3\xBCrgen", "03.05.1960", "", ""}}));
    EXPECT_EQ(session_.Entries[1].RememberOptions, TRememberOptions{roStandard});
    EXPECT_EQ(session_.Entries[1].RememberTimes, TRememberTimes{rtStandard});
    EXPECT_TRUE(messages_.Boxes.empty());
    ExpectOnDisk();
}

TEST_F(WinRemind, OnlyAFileOfOnePlusFiveTimesNLinesIsComplete) {
    const std::string two = Backup({{"Max Muster", "24.12.1970", "a"}, {"Eva Muster", "01.02.1972", "b"}});
    struct Case {
        std::string what;
        std::string content;
        bool complete;
        size_t entries;
    };
    const Case cases[] = {
        {"11 lines", two, true, 2},
        {"11 lines without the last line end", two.substr(0, two.size() - 2), true, 2},
        {"13 lines", two + "Otto\r\n05.06.1950\r\n", false, 2},
        {"10 lines", two.substr(0, two.rfind("unbenutzt")), false, 2},
        {"9 lines: the remark of the second block is missing", two.substr(0, two.rfind("b\r\n")), false, 1},
        {"6 lines", Backup({{"Max Muster", "24.12.1970", ""}}), true, 1},
        {"1 line", "WinRemind\r\n", false, 0},
        {"empty", "", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        session_.Entries.Clear();
        for (int id = 0; id < 3; ++id) {
            session_.IniFiles.EntriesIni.EraseSection(std::to_string(id));
            session_.IniFiles.EOptionsIni.EraseSection(std::to_string(id));
        }
        std::string error;
        EXPECT_EQ(Import(c.content, &error), c.complete);
        EXPECT_EQ(error.empty(), c.complete) << error;
        EXPECT_EQ(session_.Entries.Count(), c.entries);
        ExpectOnDisk();
    }
}

TEST_F(WinRemind, AnUnreadableDateAddsNothing) {
    for (std::string date : {"24.12.", "1.2.1970", "31.04.1970", "kein Datum"}) {
        SCOPED_TRACE(date);
        std::string error;
        EXPECT_FALSE(Import(Backup({{"Max Muster", "24.12.1970", ""}, {"Eva Muster", date, ""}}), &error));
        EXPECT_NE(error.find("line 8"), std::string::npos) << error;
        EXPECT_EQ(session_.Entries.Count(), 0u);
        EXPECT_FALSE(session_.IniFiles.EntriesIni.SectionExists("0"));
    }
}

}  // namespace
}  // namespace tw
