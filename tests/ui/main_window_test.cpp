#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <cstdlib>

#include "core/ini/ini_store.h"
#include "core/languages/languages.h"
#include "core/text/text_helpers.h"
#include "ui/background_check.h"
#include "ui/entry_list_model.h"
#include "ui/translation.h"
#include "ui/ui_fixture.h"
#include "ui/widgets/status_panels.h"

namespace tw::test {
namespace {

const std::vector<TFixtureEntry> kFour = {
    {"Berta", "20.05.1990"}, {"anton", "02.01.1985"}, {"Clara", "11.12.2000"}, {"Dora", "15.08.1970"}};

const std::vector<TFixtureEntry> kLater = {{"Später", "30.12.1980"}};
const std::vector<TFixtureEntry> kTomorrow = {{"Morgen", "12.12.1980"}};

class MainWindowTest : public ::testing::Test {
  protected:
    TScopedClock clock_{D(11, 12, 2026) + 0.5};
};

void ClickHeader(TfMain& window, int column) {
    QHeaderView* header = window.List()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, 5);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

TEST_F(MainWindowTest, HeaderClicksSortThroughTheCoreAndAlternate) {
    TMainWindowFixture fixture(kFour);
    TfMain& window = fixture.Window();
    window.resize(900, 600);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    ClickHeader(window, 1);  // text columns come descending first, a–z counted as A–Z
    EXPECT_EQ(fixture.ListedNames(), (std::vector<std::string>{"Dora", "Clara", "Berta", "anton"}));
    EXPECT_EQ(fixture.App().Sort.SortColumn, 1);
    EXPECT_TRUE(fixture.App().Sort.SortDir);
    ClickHeader(window, 1);
    EXPECT_EQ(fixture.ListedNames(), (std::vector<std::string>{"anton", "Berta", "Clara", "Dora"}));
    ClickHeader(window, 2);  // day and month, ascending
    EXPECT_EQ(fixture.ListedNames(), (std::vector<std::string>{"anton", "Berta", "Dora", "Clara"}));
    window.ColumnClick(2, true);  // the whole date with Ctrl, inverted on the second click
    EXPECT_EQ(fixture.ListedNames(), (std::vector<std::string>{"Clara", "Berta", "anton", "Dora"}));
}

TEST_F(MainWindowTest, RefreshListKeepsTheDirectionAndCounts) {
    TMainWindowFixture fixture(kFour);
    fixture.Window().ColumnClick(1);
    fixture.Window().RefreshList();
    EXPECT_EQ(fixture.ListedNames(), (std::vector<std::string>{"Dora", "Clara", "Berta", "anton"}));
    EXPECT_EQ(fixture.Window().Status()->PanelText(3).toStdString(), "4 " + GetText(28));
}

TEST_F(MainWindowTest, DeleteAsksAndRemovesEntriesFromListCollectionAndFiles) {
    TMainWindowFixture fixture(kFour);
    TfMain& window = fixture.Window();

    window.DeleteExecute();  // no current row
    ASSERT_EQ(fixture.Messages().Boxes.size(), 1u);
    EXPECT_EQ(fixture.Messages().Boxes[0], GetText(136));

    fixture.Highlight({1});
    fixture.Messages().Answers = {TMsgAnswer::Yes};
    window.DeleteExecute();
    EXPECT_EQ(fixture.Messages().Boxes.back(), GetText(138));
    EXPECT_EQ(fixture.ListedNames(), (std::vector<std::string>{"Berta", "Clara", "Dora"}));
    EXPECT_EQ(fixture.App().Entries().IndexOfId(1), -1);
    EXPECT_EQ(ReadFile(fixture.DataDir().File("entries.ini")).find("anton"), std::string::npos);
    EXPECT_EQ(window.Status()->PanelText(3).toStdString(), "3 " + GetText(28));

    fixture.Highlight({0, 2});
    fixture.Messages().Answers = {TMsgAnswer::No};
    window.Status()->SetPanelText(3, QString());
    window.DeleteExecute();
    EXPECT_EQ(fixture.Messages().Boxes.back(), Format(GetText(139), {2LL}));
    EXPECT_EQ(fixture.ListedNames().size(), 3u);
    EXPECT_EQ(window.Status()->PanelText(3).toStdString(), "3 " + GetText(28));  // set again after "No"

    fixture.Messages().Answers = {TMsgAnswer::Yes};
    window.DeleteExecute();
    EXPECT_EQ(fixture.ListedNames(), (std::vector<std::string>{"Clara"}));
    const std::string file = ReadFile(fixture.DataDir().File("entries.ini"));
    EXPECT_EQ(file.find("Berta"), std::string::npos);
    EXPECT_EQ(file.find("Dora"), std::string::npos);
    EXPECT_NE(file.find("Clara"), std::string::npos);
}

TEST_F(MainWindowTest, SelectionChecksOfDetailsAndEdit) {
    TMainWindowFixture fixture(kFour);
    TfMain& window = fixture.Window();
    std::vector<std::pair<int, int>> wizard;
    std::vector<int> details;
    window.SetHooks({[&](int mode, int id) {
                         wizard.push_back({mode, id});
                     },
                     [&](int id) { details.push_back(id); },
                     {},
                     {}});

    window.EditExecute();
    window.DetailsExecute();
    fixture.Highlight({0, 1, 2});
    window.EditExecute();
    window.DetailsExecute();
    EXPECT_EQ(fixture.Messages().Boxes,
              (std::vector<std::string>{GetText(136), GetText(136), GetText(137), GetText(170)}));
    EXPECT_TRUE(wizard.empty());
    EXPECT_TRUE(details.empty());

    fixture.Highlight({2});
    window.EditExecute();
    window.DetailsExecute();
    EXPECT_EQ(wizard, (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(details, (std::vector<int>{2}));
}

TEST_F(MainWindowTest, DoubleClickFollowsTheOptions) {
    struct Case {
        int dbl_list;
        bool dbl_empty;
        bool with_row;
        std::vector<std::pair<int, int>> wizard;
        std::vector<int> details;
        size_t entries_left;
    };
    const Case cases[] = {
        {0, false, true, {}, {1}, 4},         // details of the current row
        {1, false, true, {{1, 1}}, {}, 4},    // the wizard for the current row, however many are highlighted
        {2, false, true, {}, {}, 1},          // delete the highlighted rows, with the question
        {0, false, false, {{0, -1}}, {}, 4},  // empty list: a new entry
        {0, true, false, {}, {}, 4},          // empty list: nothing
    };
    for (const Case& c : cases) {
        TMainWindowFixture fixture(kFour);
        TfMain& window = fixture.Window();
        window.resize(900, 600);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        std::vector<std::pair<int, int>> wizard;
        std::vector<int> details;
        window.SetHooks({[&](int mode, int id) {
                             wizard.push_back({mode, id});
                         },
                         [&](int id) { details.push_back(id); },
                         {},
                         {}});
        fixture.App().Options.ProgramOptions.DblList = c.dbl_list;
        fixture.App().Options.ProgramOptions.DblEmptyList = c.dbl_empty;
        if (c.with_row)
            fixture.Highlight({1, 2, 3});
        else
            window.List()->selectionModel()->clearCurrentIndex();
        // Below the last row: the empty part of the list still acts on the current row.
        QWidget* viewport = window.List()->viewport();
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(50, viewport->height() - 5));
        EXPECT_EQ(wizard, c.wizard) << c.dbl_list;
        EXPECT_EQ(details, c.details) << c.dbl_list;
        EXPECT_EQ(fixture.App().Entries().Count(), c.entries_left) << c.dbl_list;
    }
}

TEST_F(MainWindowTest, ArrowKeysStepThroughSearchHitsAndScrollToThem) {
    std::vector<TFixtureEntry> many;
    for (int i = 0; i < 200; ++i) many.push_back({"Person " + std::to_string(1000 + i), "01.02.1990"});
    TMainWindowFixture fixture(many);
    TfMain& window = fixture.Window();
    window.resize(600, 500);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto visible = [&](int id) {
        const int row = window.ListModel()->RowOfId(id);
        const QRect rect = window.List()->visualRect(window.ListModel()->index(row, 1));
        return window.List()->viewport()->rect().intersects(rect);
    };
    window.SearchHits = {4, 190};
    window.SearchHitIndex = 0;
    window.List()->setFocus();
    ASSERT_FALSE(visible(190));
    QTest::keyClick(window.List(), Qt::Key_Left);
    EXPECT_EQ(window.SearchHitIndex, 1);
    EXPECT_TRUE(visible(190));
    QTest::keyClick(window.List(), Qt::Key_Right);
    EXPECT_EQ(window.SearchHitIndex, 0);
    EXPECT_TRUE(visible(4));
    QTest::keyClick(window.List(), Qt::Key_Right);
    QTest::keyClick(window.List(), Qt::Key_Right);
    EXPECT_EQ(window.SearchHitIndex, 0);  // from the last back to the first
}

class TRecordingStarter : public TReminderStarter {
  public:
    void StartReminders(TTWEntries& due) override {
        std::vector<std::string> names;
        for (size_t i = 0; i < due.Count(); ++i) names.push_back(due[i].Name);
        Runs.push_back(names);
    }
    std::vector<std::vector<std::string>> Runs;
};

TEST_F(MainWindowTest, CheckTimerSelectsOncePerDayWhileTheWindowTakesInput) {
    TMainWindowFixture fixture({{"Heute", "11.12.1980"}, {"Morgen", "12.12.1980"}, {"Später", "30.12.1980"}});
    TfMain& window = fixture.Window();
    TRecordingStarter starter;
    window.Check().SetReminderStarter(&starter);
    fixture.App().Options.ProgramOptions.Updatecheck = false;
    fixture.App().Options.ProgramOptions.AutoTimeSync = false;

    window.setEnabled(false);
    window.Check().CheckTick();  // a dialog is open: nothing happens
    EXPECT_TRUE(starter.Runs.empty());
    EXPECT_FALSE(window.Check().StartTasksDone());

    window.setEnabled(true);
    window.Check().CheckTick();
    ASSERT_EQ(starter.Runs.size(), 1u);
    EXPECT_EQ(starter.Runs[0], (std::vector<std::string>{"Heute", "Morgen"}));
    EXPECT_FALSE(window.Check().StartTasksDone());
    window.Check().CheckTick();  // same day: the start tasks instead
    EXPECT_EQ(starter.Runs.size(), 1u);
    EXPECT_TRUE(window.Check().StartTasksDone());

    clock_.Set(D(12, 12, 2026) + 0.0001);  // just after midnight
    window.Check().CheckTick();
    ASSERT_EQ(starter.Runs.size(), 2u);
    EXPECT_EQ(starter.Runs[1], (std::vector<std::string>{"Morgen"}));
}

TEST_F(MainWindowTest, RemindNowIgnoresTheOnceADayRuleAndSaysWhenNothingIsDue) {
    TMainWindowFixture fixture(kTomorrow);
    TfMain& window = fixture.Window();
    TRecordingStarter starter;
    window.Check().SetReminderStarter(&starter);
    fixture.App().Options.ProgramOptions.OnceDay = true;
    window.Check().CheckTick();
    MarkReminded(window.Check().DueEntries()[0], fixture.App().IniFiles());
    window.Action("MainMenu_Programm_RememberNow")->trigger();
    ASSERT_EQ(starter.Runs.size(), 2u);
    EXPECT_TRUE(fixture.Messages().Boxes.empty());

    TMainWindowFixture nothing_due(kLater);
    nothing_due.Window().Action("MainMenu_Programm_RememberNow")->trigger();
    EXPECT_EQ(nothing_due.Messages().Boxes, (std::vector<std::string>{GetText(141)}));
}

TEST_F(MainWindowTest, CheckAndCloseWithNothingDueEndsAfterTenSeconds) {
    TMainWindowFixture fixture(kLater, /*then_close=*/true, /*autostart_argument=*/true);
    TfMain& window = fixture.Window();
    ASSERT_TRUE(fixture.App().CheckAndClose);
    EXPECT_EQ(fixture.App().TrayIcon->Tip().toStdString(), "Tagwacht 6.3.2\n\r" + GetText(166));
    bool ended = false;
    window.Check().SetEndProgram([&] { ended = true; });
    window.Check().CheckTick();
    EXPECT_EQ(fixture.App().TrayIcon->Tip().toStdString(), "Tagwacht 6.3.2\n\r" + GetText(141));
    QTimer& close_timer = window.Check().CloseTimer();
    ASSERT_TRUE(close_timer.isActive());
    EXPECT_EQ(close_timer.interval(), 10000);
    EXPECT_FALSE(ended);
    close_timer.start(10);  // the rest of the ten seconds, shortened
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 2000));
    EXPECT_FALSE(fixture.App().IsShutDown());  // this way out saves no layout
}

TEST_F(MainWindowTest, AutostartSwitchOnlyAsFirstArgumentMeansCheckAndClose) {
    TMainWindowFixture later(kLater, /*then_close=*/true, /*autostart_argument=*/false);
    EXPECT_FALSE(later.App().CheckAndClose);
}

TEST_F(MainWindowTest, TrayClicksAreIgnoredInCheckAndCloseMode) {
    TMainWindowFixture normal(kLater);
    normal.Window().hide();
    normal.Window().TrayLeftReleased();
    EXPECT_TRUE(normal.Window().isVisible());

    TMainWindowFixture check(kLater, true, true);
    check.Window().hide();
    check.Window().TrayLeftReleased();
    check.Window().TrayRightReleased(QPoint(10, 10));
    EXPECT_FALSE(check.Window().isVisible());
    EXPECT_FALSE(check.Window().TrayMenu()->isVisible());
}

TEST_F(MainWindowTest, ClockShowsNowAndTheSpringTextOnTwentyFirstMarch) {
    clock_.Set(D(21, 3, 2027) + 0.75);
    TMainWindowFixture fixture(kLater);
    TfMain& window = fixture.Window();
    window.UpdateClock();
    EXPECT_EQ(window.Status()->PanelText(1).toStdString(), "21.03.2027");
    EXPECT_EQ(window.Status()->PanelText(2).toStdString(), "18:00:00");
    EXPECT_EQ(window.Status()->PanelText(4).toStdString(), GetText(168));
    window.SetMessagePanel(QString::fromStdString(GetText(169)));  // still loading
    window.UpdateClock();
    EXPECT_EQ(window.Status()->PanelText(4).toStdString(), GetText(169));
}

TEST_F(MainWindowTest, HandOverImportsOneArchiveAndRefusesSeveralLines) {
    TMainWindowFixture fixture(kLater);
    TfMain& window = fixture.Window();
    std::vector<std::string> imported;
    int result = 2;
    window.SetHooks({{}, {}, {}, [&](const std::string& path) {
                         imported.push_back(path);
                         return result;
                     }});
    window.HandOverReceived({"/tmp/a.twf", "/tmp/b.twf"});
    window.HandOverReceived({"/tmp/a.twf"});
    result = 1;
    window.HandOverReceived({"/tmp/c.twf"});
    result = 0;
    window.HandOverReceived({"/tmp/d.twf"});
    EXPECT_EQ(imported, (std::vector<std::string>{"/tmp/a.twf", "/tmp/c.twf", "/tmp/d.twf"}));
    EXPECT_EQ(fixture.Messages().Boxes,
              (std::vector<std::string>{GetText(172), GetText(130), GetText(176), GetText(132)}));
}

// A hand-over that arrives while a dialog (the reminder window, say) holds the main window
// disabled must not free it for the check timer and the menus.
TEST_F(MainWindowTest, HandOverDuringAnOpenDialogLeavesTheMainWindowDisabled) {
    TMainWindowFixture fixture(kLater);
    TfMain& window = fixture.Window();
    window.SetHooks({{}, {}, {}, [](const std::string&) { return 2; }});
    window.setEnabled(false);
    window.HandOverReceived({"/tmp/a.twf"});
    EXPECT_FALSE(window.isEnabled());
    EXPECT_EQ(fixture.Messages().Boxes, std::vector<std::string>{GetText(130)});
}

TEST_F(MainWindowTest, ArchiveExportedAndHandedOverComesBackAsNewEntries) {
    TMainWindowFixture fixture(kFour);
    TfMain& window = fixture.Window();
    const std::string archive = fixture.DataDir().File("backup");
    fixture.Messages().Answers = {TMsgAnswer::No};  // stored, not compressed
    window.ExportArchiveTo(archive);
    EXPECT_EQ(fixture.Messages().Boxes.back(), GetText(125));
    window.HandOverReceived({QString::fromStdString(archive + ".twf")});
    EXPECT_EQ(fixture.Messages().Boxes.back(), GetText(130));
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(fixture.App().Entries().Count(), 8u);
    EXPECT_EQ(fixture.ListedNames().size(), 8u);
    EXPECT_EQ(window.Status()->PanelText(3).toStdString(), "8 " + GetText(28));
    EXPECT_EQ(fixture.App().LastCheck.Day, -1);  // entries read anew: the next tick checks
}

TEST_F(MainWindowTest, PdfExportFollowsTheOrderTheListShows) {
    TMainWindowFixture fixture(kFour);
    TfMain& window = fixture.Window();
    window.ColumnClick(1);  // Dora, Clara, Berta, anton
    window.ExportPdfTo(fixture.DataDir().File("liste"));
    EXPECT_EQ(fixture.Messages().Boxes.back(), GetText(125));
    const std::string text_file = fixture.DataDir().File("liste.txt");
    const std::string command =
        "pdftotext -layout '" + fixture.DataDir().File("liste.pdf") + "' '" + text_file + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string text = ReadFile(text_file);
    const size_t dora = text.find("Dora"), clara = text.find("Clara"), berta = text.find("Berta"),
                 anton = text.find("anton");
    ASSERT_NE(anton, std::string::npos);
    EXPECT_TRUE(dora < clara && clara < berta && berta < anton) << text;
}

TEST_F(MainWindowTest, ClosingRunsTheCloseTimeRoutineAndStoresTheLayout) {
    TMainWindowFixture fixture(kLater);
    TfMain& window = fixture.Window();
    window.show();
    window.resize(640, 480);
    window.ColumnClick(5);
    window.close();
    EXPECT_TRUE(fixture.App().IsShutDown());
    TIniStore options;
    std::string error;
    ASSERT_TRUE(options.Open(fixture.DataDir().File("options.ini"), &error)) << error;
    EXPECT_EQ(options.ReadString("window", "width", ""), "640");
    EXPECT_EQ(options.ReadString("Program", "SortColumn", ""), "5");
}

TEST_F(MainWindowTest, ShippedLanguagesTranslateEveryCaptionOfTheMainWindow) {
    TMainWindowFixture fixture(kLater);
    TfMain& window = fixture.Window();
    TTWLanguages& languages = *fixture.App().Session.Languages;
    for (const char* file : {"english.twl", "german.twl"}) {
        languages.SetCurrentLanguage(file);
        languages.LoadStrings();
        TranslateForm("fMain");
        const bool english = std::string(file) == "english.twl";
        EXPECT_EQ(window.menuBar()->actions().at(1)->text(), english ? "&Entry" : "&Eintrag");
        EXPECT_EQ(window.Action("MainMenu_Eintrag_Delete")->text(), english ? "&Delete" : "&Löschen");
        EXPECT_EQ(window.ListModel()->headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(),
                  english ? "Next time" : "Nächstes Mal");
    }
    EXPECT_TRUE(fixture.Messages().Boxes.empty());  // no key names a component the window lacks
}

// The view below the list holds as many shipped products as its width has room for, and a
// wider window redraws it.
TEST_F(MainWindowTest, GiftTipsBelowTheListFollowTheWindowWidth) {
    TMainWindowFixture fixture(kLater);
    TfMain& window = fixture.Window();
    ASSERT_TRUE(fixture.App().GiftTips.Loaded);
    const auto products = [&window] {
        return window.GiftTipsView()->toPlainText().count(QStringLiteral("\u20AC"));
    };
    window.resize(740, 600);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.GiftTipsView()->width() >= 655; }));
    ASSERT_LT(window.GiftTipsView()->width(), 835);
    EXPECT_EQ(products(), 2) << window.GiftTipsView()->toPlainText().toStdString();
    window.resize(1260, 600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.GiftTipsView()->width() >= 1200; }));
    EXPECT_EQ(products(), 5);
    window.hide();
    EXPECT_TRUE(fixture.Messages().Boxes.empty());
}

}  // namespace
}  // namespace tw::test
