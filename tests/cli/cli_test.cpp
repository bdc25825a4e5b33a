#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "core/test_support.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs tagwacht-cli on the data folder and the source tree's resources, as a separate process.
TRun Cli(const std::string& data_dir, const std::string& arguments) {
    test::TTempDir scratch;
    std::string command = std::string("'") + TAGWACHT_CLI + "' --data-dir '" + data_dir + "' --program-dir '" +
                          TAGWACHT_RESOURCE_DIR + "' " + arguments + " >'" + scratch.File("out") + "' 2>'" +
                          scratch.File("err") + "'";
    TRun run;
    int raw = std::system(command.c_str());
    run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.Out = test::ReadFile(scratch.File("out"));
    run.Err = test::ReadFile(scratch.File("err"));
    return run;
}

TEST(Cli, AddListShowDeleteOnADataFolder) {
    test::TTempDir data;
    EXPECT_EQ(Cli(data.Path(), "add 'Anna Schmidt' 10.05.1994 --email anna@example.org").Out, "0\n");
    EXPECT_EQ(Cli(data.Path(), "add Bert 1.2.1980 --remark Kollege --sex 1").Out, "1\n");
    EXPECT_EQ(Cli(data.Path(), "add 'Zoë' 15.03.9999 --event 2 --user-event Jubiläum").Out, "2\n");

    TRun list = Cli(data.Path(), "list --sort 1");
    ASSERT_EQ(list.Status, 0) << list.Err;
    // A first click on "Name" sorts Z to A; "Zoë" comes first.
    std::vector<std::string> names;
    for (const std::string& line : SplitText(list.Out, '\n'))
        if (!line.empty()) names.push_back(SplitText(line, '\t').at(1));
    EXPECT_EQ(names, (std::vector<std::string>{"Zoë", "Bert", "Anna Schmidt"}));

    TRun show = Cli(data.Path(), "show 1");
    ASSERT_EQ(show.Status, 0) << show.Err;
    for (const char* line : {"Id: 1\n", "Name: Bert\n", "Date: 01.02.1980\n", "Sex: 1\n", "Remark: Kollege\n",
                             "EventText: Geburtstag\n", "ZodiacSign: Wassermann\n", "BirthWeekday: Freitag\n",
                             "RememberOptions: Standard\n", "RememberTimes: Standard\n"})
        EXPECT_NE(show.Out.find(line), std::string::npos) << line << "\n" << show.Out;
    EXPECT_EQ(show.Out.substr(0, show.Out.find('\n')), "Id: 1");

    TRun unknown_year = Cli(data.Path(), "show 2");
    EXPECT_NE(unknown_year.Out.find("Age: -1\n"), std::string::npos) << unknown_year.Out;

    EXPECT_EQ(Cli(data.Path(), "delete 0").Status, 0);
    std::string entries = test::ReadFile(data.File("entries.ini"));
    EXPECT_EQ(entries.find("[0]"), std::string::npos);
    EXPECT_EQ(test::ReadFile(data.File("eoptions.ini")).find("[0]"), std::string::npos);
    EXPECT_EQ(Cli(data.Path(), "add Clara 03.03.2003").Out, "0\n") << "the freed id is used again";
}

TEST(Cli, RepairsGoToStandardErrorAndReachTheFile) {
    test::TTempDir data;
    test::WriteFile(data.File("entries.ini"), "[4]\r\nName=Nur Name\r\nDate=01.01.1990\r\n");
    TRun list = Cli(data.Path(), "list");
    EXPECT_EQ(list.Status, 0);
    EXPECT_EQ(list.Out.substr(0, 12), "4\tNur Name\t0");
    EXPECT_NE(list.Err.find("EMail"), std::string::npos) << list.Err;
    EXPECT_NE(test::ReadFile(data.File("entries.ini")).find("EMAIL_only=0"), std::string::npos);
    EXPECT_NE(test::ReadFile(data.File("eoptions.ini")).find("RT_standard=1"), std::string::npos);
    EXPECT_EQ(Cli(data.Path(), "list").Err, "") << "repaired once, quiet afterwards";
}

TEST(Cli, InvalidEntryStopsWithoutLosingTheOthers) {
    test::TTempDir data;
    test::WriteFile(data.File("entries.ini"),
                    "[0]\r\nName=Gut\r\nDate=01.01.1990\r\n[1]\r\nName=X\r\nDate=01.01.1990\r\n");
    TRun first = Cli(data.Path(), "list");
    EXPECT_EQ(first.Status, 1);
    EXPECT_NE(test::ReadFile(data.File("entries.invalid.ini")).find("Name=X"), std::string::npos);
    TRun second = Cli(data.Path(), "list");
    EXPECT_EQ(second.Status, 0) << second.Err;
    EXPECT_EQ(second.Out.substr(0, 5), "0\tGut");
}

TEST(Cli, BadUsageAndFailures) {
    test::TTempDir data;
    struct Case {
        const char* arguments;
        int status;
    } cases[] = {
        {"", 2},           {"frobnicate", 2},        {"show", 2},          {"show x", 2},
        {"show 7", 1},     {"list --sort 8", 2},     {"list --ctrl", 2},   {"add Anna", 2},
        {"add A 1.1.2000", 1}, {"add Anna 31.02.2000", 1}, {"add Anna 1.1.2000 --event 3", 2},
        {"add Anna 1.1.2000 --email a@b", 1}, {"delete 3", 1}, {"list --bogus", 2},
    };
    for (const Case& c : cases) EXPECT_EQ(Cli(data.Path(), c.arguments).Status, c.status) << c.arguments;
    EXPECT_EQ(test::ReadFile(data.File("entries.ini")), "") << "nothing was added";
}

TEST(Cli, ExportsCarryTheEntriesIntoAnotherDataFolder) {
    test::TTempDir from;
    ASSERT_EQ(Cli(from.Path(), "add 'Anna Schmidt' 10.05.1994 --email anna@example.org").Status, 0);
    ASSERT_EQ(Cli(from.Path(), "add 'Bert <B> & Co' 1.2.1980 --remark Kollege").Status, 0);
    const std::string before = Cli(from.Path(), "list").Out;

    struct Case {
        const char* file;
        const char* export_options;
    };
    for (const Case& c : {Case{"backup.twf", ""}, Case{"stored.twf", "--store"}, Case{"list.csv", "--fields 0,3,4,5"},
                          Case{"birthday.geb", ""}}) {
        test::TTempDir to;
        const std::string file = from.File(c.file);
        TRun exported = Cli(from.Path(), "export '" + file + "' " + c.export_options);
        ASSERT_EQ(exported.Status, 0) << c.file << exported.Err;
        const std::string import_options = std::string(c.file).ends_with(".csv") ? " --fields 0,3,4,5" : "";
        TRun imported = Cli(to.Path(), "import '" + file + "'" + import_options);
        ASSERT_EQ(imported.Status, 0) << c.file << imported.Err;
        TRun list = Cli(to.Path(), "list");
        // Birthday2000 backups hold no remark.
        if (std::string(c.file).ends_with(".geb"))
            EXPECT_NE(list.Out.find("Bert <B> & Co"), std::string::npos) << c.file;
        else
            EXPECT_EQ(list.Out, before) << c.file;
    }

    TRun html = Cli(from.Path(), "export '" + from.File("page.html") + "'");
    ASSERT_EQ(html.Status, 0) << html.Err;
    EXPECT_NE(test::ReadFile(from.File("page.html")).find("Bert &lt;B&gt; &amp; Co"), std::string::npos);

    TRun unknown = Cli(from.Path(), "import '" + from.File("page.html") + "'");
    EXPECT_EQ(unknown.Status, 2);
    TRun damaged = Cli(from.Path(), "import '" + from.File("page.html") + ".twf'");
    EXPECT_EQ(damaged.Status, 1);
    EXPECT_EQ(Cli(from.Path(), "list").Out, before);  // nothing lost, nothing added
}

}  // namespace
}  // namespace tw
