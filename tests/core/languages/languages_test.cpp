#include "core/languages/languages.h"

#include <gtest/gtest.h>

#include "core/test_support.h"
#include "core/text/files.h"

#include <sys/stat.h>

namespace tw {
namespace {

using test::TTempDir;
using test::WriteFile;

std::string LanguageFile(const std::string& name, const std::string& strings = "1=eins\r\n") {
    return "[Information]\r\nLanguage=" + name + "\r\nMadeBy=\r\nEMail=\r\n[Strings]\r\n" + strings;
}

class Languages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(options_.Open(data_.File("options.ini")));
        mkdir(dir_.File("languages").c_str(), 0755);
    }
    void Add(const std::string& name, const std::string& content) { WriteFile(dir_.File("languages/" + name), content); }
    std::string Start() {
        languages_.LoadLanguages();
        std::string current = languages_.GetCurrentLanguage();
        languages_.LoadStrings();
        return current;
    }

    test::TRecordingMessages messages_;
    TTempDir dir_, data_;
    TIniStore options_;
    TTWLanguages languages_{dir_.File("languages"), options_};
};

TEST_F(Languages, GermanIsTheDefaultWhateverTheScanOrder) {
    for (const char* name : {"aaa.twl", "german.twl", "zzz.twl"}) Add(name, LanguageFile(name));
    EXPECT_EQ(Start(), "german.twl");
    EXPECT_EQ(test::ReadFile(data_.File("options.ini")), "[Language]\r\nCurrentLang=german.twl\r\n\r\n")
        << "the choice is written at once";
    EXPECT_EQ(languages_.CountLanguages(), 3);
    EXPECT_TRUE(messages_.Boxes.empty());
}

TEST_F(Languages, InvalidFilesAreNotOffered) {
    Add("german.twl", "[Information]\r\nLanguage=Deutsch\r\nMadeBy=\r\n[Strings]\r\n");  // no EMail
    Add("spaced.twl", "[Information]\r\nLanguage = X\r\nMadeBy=\r\nEMail=\r\n[Strings]\r\n");
    Add("nostrings.twl", "[Information]\r\nLanguage=X\r\nMadeBy=\r\nEMail=\r\n");
    Add("english.twl", LanguageFile("English"));
    mkdir(dir_.File("languages/folder.twl").c_str(), 0755);
    EXPECT_EQ(Start(), "english.twl");
    ASSERT_EQ(languages_.Languages.size(), 1u);
    EXPECT_EQ(languages_.Languages[0].Language, "English");
}

TEST_F(Languages, StoredChoiceThatIsGoneFallsBackOnceWithAMessage) {
    Add("german.twl", LanguageFile("Deutsch"));
    Add("english.twl", LanguageFile("English"));
    options_.WriteString("Language", "CurrentLang", "french.twl");
    EXPECT_EQ(Start(), "german.twl");
    EXPECT_EQ(messages_.Boxes, (std::vector<std::string>{":\r\nThe selected language file is not available"}))
        << "texts 29 are empty before a language is current";
    EXPECT_EQ(options_.ReadString("Language", "CurrentLang", ""), "german.twl");

    options_.WriteString("Language", "CurrentLang", "english.twl");
    EXPECT_EQ(Start(), "english.twl");
    EXPECT_EQ(messages_.Boxes.size(), 1u);
}

TEST_F(Languages, NoLanguagesIsFatal) {
    Add("broken.twl", "[Strings]\r\n1=x\r\n");
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(messages_.FatalStops, 1);
    EXPECT_EQ(messages_.Boxes, (std::vector<std::string>{":\r\nThere are no languages available\r\n"}));
}

TEST_F(Languages, MissingFolderIsFatalToo) {
    TTWLanguages none(dir_.File("nowhere"), options_);
    none.LoadLanguages();
    EXPECT_EQ(none.CountLanguages(), 0);
    EXPECT_EQ(none.GetDefaultLanguage(), "");
    EXPECT_EQ(none.GetCurrentLanguage(), "");
    EXPECT_EQ(messages_.FatalStops, 1);
}

TEST_F(Languages, TextLookupRules) {
    Add("german.twl", LanguageFile("Deutsch",
                                   "1=zwei<br>Wörter\r\n2=GROSS<BR>bleibt\r\n5 =mit Leerzeichen\r\n"
                                   "7=erste\r\n7=zweite\r\n012=führende Null\r\n9= Leer am Anfang\r\n"));
    Start();
    SetLanguages(&languages_);
    EXPECT_EQ(GetText(1), "zwei\n\rWörter");
    EXPECT_EQ(GetText(2), "GROSS<BR>bleibt");
    EXPECT_EQ(GetText(5), kMissingTextError);
    EXPECT_EQ(GetText(7), "erste");
    EXPECT_EQ(GetText(12), kMissingTextError);
    EXPECT_EQ(GetText(9), " Leer am Anfang");
    SetLanguages(nullptr);
    EXPECT_EQ(GetText(1), "") << "no languages yet";
}

TEST_F(Languages, IndexOfLanguageIsCaseSensitive) {
    Add("german.twl", LanguageFile("Deutsch"));
    Start();
    EXPECT_EQ(languages_.IndexOfLanguage("german.twl"), 0);
    EXPECT_EQ(languages_.IndexOfLanguage("German.twl"), -1);
}

}  // namespace
}  // namespace tw
