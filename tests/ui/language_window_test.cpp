#include "ui/language_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/ini/ini_store.h"
#include "core/languages/languages.h"
#include "core/test_support.h"
#include "ui/tagwacht.h"
#include "ui/translation.h"

namespace tw {
namespace {

std::string LanguageFile(const std::string& name, const std::string& made_by, const std::string& email,
                         const std::string& changed_text) {
    return "[Information]\r\nLanguage=" + name + "\r\nMadeBy=" + made_by + "\r\nEMail=" + email +
           "\r\n\r\n[Strings]\r\n123=Nothing selected\r\n134=Already current\r\n135=" + changed_text + "\r\n";
}

class TDocumentRecorder : public test::TRecordingMessages {
  public:
    void OpenDocument(const std::string& path_or_address) override { Opened.push_back(path_or_address); }
    std::vector<std::string> Opened;
};

// Two languages, German current, a main window to lock and a restart that is only counted.
class LanguageWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        test::WriteFile(dir_.File("german.twl"),
                        LanguageFile("Deutsch", "Team", "team@example.org", "Neustart"));
        test::WriteFile(dir_.File("english.twl"),
                        LanguageFile("English", "Someone", "one@example.org", "Restart"));
        test::WriteFile(dir_.File("options.ini"), "[Language]\r\nCurrentLang=german.twl\r\n");
        options_.Open(dir_.File("options.ini"));
        ASSERT_TRUE(languages_.LoadLanguages());
        ASSERT_EQ(languages_.GetCurrentLanguage(), "german.twl");
        languages_.LoadStrings();
        SetLanguages(&languages_);
        window_ = std::make_unique<TfLanguage>(&main_, languages_, [this] { ++restarts_; });
    }
    void TearDown() override { SetLanguages(nullptr); }

    QListWidget* List() const { return window_->findChild<QListWidget*>(QStringLiteral("lAv")); }
    std::string Text(const char* label) const {
        return window_->findChild<QLabel*>(QString::fromLatin1(label))->text().toStdString();
    }
    QPushButton* Button(const char* name) const {
        return window_->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    // Selects the line showing this display name as a click does.
    void Select(const QString& shown) {
        const QList<QListWidgetItem*> found = List()->findItems(shown, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        List()->setCurrentItem(found.front());
    }

    test::TTempDir dir_;
    TDocumentRecorder messages_;
    TIniStore options_;
    TTWLanguages languages_{dir_.Path(), options_};
    QWidget main_;
    int restarts_ = 0;
    std::unique_ptr<TfLanguage> window_;
};

TEST_F(LanguageWindow, ShowListsTheLanguagesFoundAtStartAndLocksTheMainWindow) {
    // Files that appear later wait for the next start.
    test::WriteFile(dir_.File("french.twl"), LanguageFile("Français", "", "", ""));
    window_->ShowLanguageWindow();

    ASSERT_EQ(List()->count(), 2);
    ASSERT_EQ(window_->Files().size(), 2u);
    for (int row = 0; row < 2; ++row) {
        const std::string file = window_->Files()[static_cast<size_t>(row)];
        EXPECT_EQ(List()->item(row)->text().toStdString(), file == "german.twl" ? "Deutsch" : "English")
            << file;
    }
    EXPECT_EQ(Text("lAct"), "Deutsch");
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(window_->isModal());
    EXPECT_EQ(window_->size(), QSize(417, 287));
    EXPECT_FALSE(main_.isEnabled());
    EXPECT_TRUE(window_->isEnabled());
}

TEST_F(LanguageWindow, ClickingALanguageShowsItsFileTranslatorAndContact) {
    window_->ShowLanguageWindow();
    EXPECT_EQ(Text("eFile"), "");
    Select("English");
    EXPECT_EQ(Text("eFile"), "english.twl");
    EXPECT_EQ(Text("eMadeBy"), "Someone");
    EXPECT_EQ(Text("eEmail"), "one@example.org");
}

TEST_F(LanguageWindow, SelectWithoutChoiceSaysSoAndStaysOpen) {
    window_->ShowLanguageWindow();
    QTest::mouseClick(Button("bSelect"), Qt::LeftButton);
    EXPECT_EQ(messages_.Boxes, std::vector<std::string>{"Nothing selected"});
    EXPECT_EQ(messages_.Icons, std::vector<TMsgIcon>{TMsgIcon::Error});
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(restarts_, 0);
}

TEST_F(LanguageWindow, SelectingTheCurrentLanguageClosesWithoutRestart) {
    window_->ShowLanguageWindow();
    Select("Deutsch");
    window_->bSelectClick();
    EXPECT_EQ(messages_.Boxes, std::vector<std::string>{"Already current"});
    EXPECT_EQ(restarts_, 0);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(main_.isEnabled());
}

TEST_F(LanguageWindow, SelectingAnotherLanguageStoresItAndRestartsOnce) {
    window_->ShowLanguageWindow();
    Select("English");
    window_->bSelectClick();
    // The notice comes in the language the user chose it from.
    EXPECT_EQ(messages_.Boxes, std::vector<std::string>{"Neustart"});
    EXPECT_EQ(restarts_, 1);
    TIniStore stored;
    ASSERT_TRUE(stored.Open(dir_.File("options.ini")));
    EXPECT_EQ(stored.ReadString("Language", "CurrentLang", ""), "english.twl");
}

TEST_F(LanguageWindow, EveryWayOfClosingUnlocksTheMainWindow) {
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"bClose", [this] { QTest::mouseClick(Button("bClose"), Qt::LeftButton); }},
        {"system menu", [this] { window_->close(); }},
        {"Escape", [this] { QTest::keyClick(window_.get(), Qt::Key_Escape); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        window_->ShowLanguageWindow();
        ASSERT_FALSE(main_.isEnabled());
        close();
        EXPECT_FALSE(window_->isVisible());
        EXPECT_TRUE(main_.isEnabled());
    }
}

TEST_F(LanguageWindow, MoreLanguagesOpensTheSitesLanguagePage) {
    const char* before = std::getenv("TAGWACHT_SITE_URL");
    const std::string saved = before ? before : "";
    setenv("TAGWACHT_SITE_URL", "http://127.0.0.1:9/", 1);
    window_->ShowLanguageWindow();
    QTest::mouseClick(window_->findChild<QLabel*>(QStringLiteral("lMore")), Qt::LeftButton);
    if (before)
        setenv("TAGWACHT_SITE_URL", saved.c_str(), 1);
    else
        unsetenv("TAGWACHT_SITE_URL");
    EXPECT_EQ(messages_.Opened, std::vector<std::string>{"http://127.0.0.1:9/index.php?p=3"});
}

// The language files shipped with the program name only controls the window has.
TEST(LanguageWindowShipped, LanguageFilesTranslateTheWindowWithoutComplaint) {
    const struct {
        const char* File;
        const char* Close;
    } shipped[] = {{"german.twl", "Fenster schließen"}, {"english.twl", "Close window"}};
    for (const auto& language : shipped) {
        SCOPED_TRACE(language.File);
        test::TRecordingMessages messages;
        test::TTempDir data;
        test::WriteFile(data.File("options.ini"),
                        std::string("[Language]\r\nCurrentLang=") + language.File + "\r\n");
        TTagwacht app;
        SetApp(&app);
        std::string error;
        ASSERT_TRUE(app.Session.Open(TAGWACHT_RESOURCE_DIR, data.Path(), &error)) << error;
        ASSERT_EQ(app.Session.Languages->Current, language.File);
        QWidget main;
        TfLanguage window(&main, *app.Session.Languages, [] {});
        TranslateForm("fLanguage");
        SetApp(nullptr);
        EXPECT_TRUE(messages.Boxes.empty()) << (messages.Boxes.empty() ? "" : messages.Boxes.front());
        EXPECT_EQ(window.findChild<QPushButton*>(QStringLiteral("bClose"))->text().toStdString(),
                  language.Close);
    }
}

}  // namespace
}  // namespace tw
