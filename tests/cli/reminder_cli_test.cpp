#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/ini/ini_store.h"
#include "core/net/server_process.h"
#include "core/options/password_cipher.h"
#include "core/test_support.h"
#include "core/text/files.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;

// Every run of the program sees this moment (a Friday); the fixture's dates are chosen around it.
constexpr const char* kFakeNow = "2024-05-03 10:00:00";

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// One entry of the prepared data folder, with every key the program reads, so that loading it
// repairs (and writes) nothing.
struct TFixtureEntry {
    int Id;
    std::string Name;
    std::string Date;
    int Event;
    std::vector<std::string> Marks;     // REM_ keys present
    std::vector<std::string> Times;     // RT_ keys set to 1
    std::vector<std::string> Channels;  // RO_ keys set to 1
    std::string EmailTo;
    std::string EmailFrom;
    std::string EmailSubject;
    std::string EmailText;
    bool EmailOnly;
};

// Around Friday 3 May 2024, options' times on the day and 7 days before:
// clang-format off
const TFixtureEntry kEntries[] = {
    // Its day; own times and channels, mail only on the day.
    {0, "Anna Berger", "03.05.1990", 0, {"REM_33"}, {"RT_d0"}, {"RO_email"}, "anna.berger@example.org",
     "glueckwunsch@example.org", "Alles Gute", "Liebe Anna,\\nheute wirst du %age% \xE2\x80\x93 herzlichen Gl\xC3\xBC"
     "ckwunsch!\\n", true},
    // Standard times and channels: 7 days away; its own mail fields and flag must not count.
    {1, "Bernd Krause", "10.05.2000", 1, {"REM_23"}, {"RT_standard"}, {"RO_standard"}, "bernd@example.org",
     "bernd@example.org", "Eigener Betreff", "Eigener Text", true},
    // 6 days away, own times 7 days before: not due.
    {2, "Clara Dietz", "09.05.1985", 0, {"REM_38"}, {"RT_d7"}, {"RO_email"}, "clara@example.org",
     "tagwacht@example.org", "Clara", "Text", false},
    // Its day passed 5 days ago without a reminder: caught up.
    {3, "Dora Engel", "28.04.1970", 0, {"REM_53"}, {"RT_d7"}, {"RO_sound"}, "", "", "Dora", "", false},
    // Tomorrow, but already reminded today.
    {4, "Emil Fuchs", "04.05.1960", 0, {"REM_63"}, {"RT_d1"}, {"RO_email"}, "emil@example.org",
     "tagwacht@example.org", "Emil", "Text", false},
    // 7 days away, mail only on the day: due without a mail.
    {5, "Franz Graf", "10.05.1975", 0, {"REM_48"}, {"RT_d7"}, {"RO_email"}, "franz@example.org",
     "tagwacht@example.org", "Franz", "Text", true},
    // 2 days away with an own 2-day time beside the standard one: the standard times win.
    {6, "Gustav Horn", "05.05.1950", 0, {"REM_73"}, {"RT_standard", "RT_d2"}, {"RO_standard"}, "", "", "Gustav",
     "", false},
};
// clang-format on

std::string Bool(const std::vector<std::string>& set, const std::string& key) {
    return key + "=" + (std::find(set.begin(), set.end(), key) != set.end() ? "1" : "0") + "\r\n";
}

void WriteEntries(const TTempDir& data) {
    std::string entries, eoptions;
    for (const TFixtureEntry& e : kEntries) {
        std::string s = "[" + std::to_string(e.Id) + "]\r\n";
        entries += s + "Name=" + e.Name + "\r\nDate=" + e.Date +
                   "\r\nSex=0\r\nEMail=\r\nRemark=\r\nUserEvent=\r\n" +
                   "Image=\r\nEvent=" + std::to_string(e.Event) + "\r\n";
        for (const std::string& mark : e.Marks) entries += mark + "=1\r\n";
        entries += "EMAIL_to=" + e.EmailTo + "\r\nEMAIL_from=" + e.EmailFrom +
                   "\r\nEMAIL_text=" + e.EmailText + "\r\nEMAIL_subject=" + e.EmailSubject +
                   "\r\nEMAIL_only=" + (e.EmailOnly ? "1" : "0") + "\r\n";
        eoptions += s;
        for (const char* key : {"RT_standard", "RT_d0", "RT_d1", "RT_d2", "RT_d5", "RT_d10", "RT_d7",
                                "RT_d14", "RT_d21", "RT_d28"})
            eoptions += Bool(e.Times, key);
        for (const char* key : {"RO_standard", "RO_sound", "RO_speach", "RO_keyboard", "RO_email"})
            eoptions += Bool(e.Channels, key);
    }
    WriteFile(data.File("entries.ini"), entries);
    WriteFile(data.File("eoptions.ini"), eoptions);
    WriteFile(data.File("rem.ini"), "[4]\r\n02.05.2024=1\r\n03.05.2024=1\r\n");
}

struct TMailServer {
    int Port = 25;
    bool Authentication = false;
    std::string Password;
};

// A complete options.ini (no first-start defaults, no repairs), "Nur einmal pro Tag" on.
void WriteOptions(const TTempDir& data, const TMailServer& server) {
    std::string text =
        "[Language]\r\nCurrentLang=german.twl\r\n"
        "[Program]\r\nOptionsSet=1\r\nAutostart=0\r\nThenClose=0\r\nUpdatecheck=0\r\nOnceDay=1\r\n"
        "AutoCloseRememberWindow=0\r\nAutoTimeSync=0\r\nTimeServer=\r\nDblList=0\r\nDblEmptyList=0\r\n"
        "RememberSound=\r\nSortDir=0\r\nSortColumn=1\r\n"
        "[window]\r\nwidth=800\r\nheight=560\r\ntop=120\r\nleft=160\r\nmaximized=0\r\n"
        "[ListView]\r\nColumn1=170\r\nColumn2=80\r\nColumn3=110\r\n"
        "Column4=160\r\nColumn5=110\r\nColumn6=170\r\n";
    text += "[EMail]\r\nServer=127.0.0.1\r\nPort=" + std::to_string(server.Port) +
            "\r\nAuthenticationRequired=" + (server.Authentication ? "1" : "0") +
            "\r\nUsername=alice\r\nPassword=" + EncryptText(server.Password) + "\r\n";
    text +=
        "[RememberEMail]\r\nEMAIL_to=familie@example.org\r\nEMAIL_from=tagwacht@example.org\r\n"
        "EMAIL_text=Hallo,\\n%name% feiert am %fullnext% %event%.\\nAlter: %age%\\n\r\n"
        "EMAIL_subject=Erinnerung von Tagwacht\r\nEMAIL_only=0\r\n"
        "[RO]\r\nRO_standard=0\r\nRO_sound=1\r\nRO_speach=0\r\nRO_keyboard=0\r\nRO_email=1\r\n"
        "[RT]\r\nRT_standard=0\r\nRT_d0=1\r\nRT_d1=0\r\nRT_d2=0\r\nRT_d5=0\r\n"
        "RT_d10=0\r\nRT_d7=1\r\nRT_d14=0\r\nRT_d21=0\r\nRT_d28=0\r\n";
    WriteFile(data.File("options.ini"), text);
}

// The occurrence marks of an entry and its day marks, sorted.
struct TMarks {
    std::vector<std::string> Occurrences;
    std::vector<std::string> Days;
    bool operator==(const TMarks&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TMarks& marks) {
    out << "{";
    for (const std::string& key : marks.Occurrences) out << key << " ";
    out << "|";
    for (const std::string& key : marks.Days) out << " " << key;
    return out << "}";
}

TMarks MarksOf(const TTempDir& data, int id) {
    TIniStore entries, rem;
    EXPECT_TRUE(entries.Open(data.File("entries.ini")));
    EXPECT_TRUE(rem.Open(data.File("rem.ini")));
    TMarks marks;
    for (const std::string& key : entries.ReadSection(std::to_string(id)))
        if (key.rfind("REM_", 0) == 0) marks.Occurrences.push_back(key);
    marks.Days = rem.ReadSection(std::to_string(id));
    std::sort(marks.Occurrences.begin(), marks.Occurrences.end());
    std::sort(marks.Days.begin(), marks.Days.end());
    return marks;
}

// A prepared data folder and a configuration folder of the test's own (loading the options
// touches the autostart folder there).
class ReminderCli : public ::testing::Test {
  protected:
    void SetUp() override { WriteEntries(data_); }

    // Runs tagwacht-cli as its own process on the fixed date.
    TRun Cli(const std::string& arguments) {
        TTempDir scratch;
        // libfaketime is preloaded ahead of the sanitizer runtime in sanitizer builds, which the
        // runtime would otherwise refuse.
        std::string command = "XDG_CONFIG_HOME='" + config_.Path() +
                              "' ASAN_OPTIONS=verify_asan_link_order=0 faketime '" + kFakeNow + "' '" +
                              TAGWACHT_CLI + "' --data-dir '" + data_.Path() + "' --program-dir '" +
                              TAGWACHT_RESOURCE_DIR + "' " + arguments + " >'" + scratch.File("out") +
                              "' 2>'" + scratch.File("err") + "'";
        TRun run;
        int raw = std::system(command.c_str());
        run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.Out = ReadFile(scratch.File("out"));
        run.Err = ReadFile(scratch.File("err"));
        return run;
    }

    std::vector<std::string> DataFiles() const {
        std::vector<std::string> files;
        for (const char* name : {"entries.ini", "eoptions.ini", "options.ini", "rem.ini"})
            files.push_back(ReadFile(data_.File(name)));
        return files;
    }

    TTempDir data_;
    TTempDir config_;
};

TEST_F(ReminderCli, DueListsTheSelectionWithItsSentencesAndMarksNothing) {
    WriteOptions(data_, {});
    const std::vector<std::string> before = DataFiles();
    struct Case {
        const char* arguments;
        std::string out;
    } cases[] = {
        {"due",
         "0\tAnna Berger\tAnna Berger hat heute Geburtstag.\n"
         "1\tBernd Krause\tBernd Krause hat in einer Woche Jahrestag.\n"
         "3\tDora Engel\tDora Engel hatte vor 5 Tagen Geburtstag.\n"
         "5\tFranz Graf\tFranz Graf hat in einer Woche Geburtstag.\n"},
        // "Jetzt erinnern" ignores the day mark that keeps Emil out of the daily check.
        {"due --now",
         "0\tAnna Berger\tAnna Berger hat heute Geburtstag.\n"
         "1\tBernd Krause\tBernd Krause hat in einer Woche Jahrestag.\n"
         "3\tDora Engel\tDora Engel hatte vor 5 Tagen Geburtstag.\n"
         "4\tEmil Fuchs\tEmil Fuchs hat morgen Geburtstag.\n"
         "5\tFranz Graf\tFranz Graf hat in einer Woche Geburtstag.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        // Twice: a caught-up entry that had been marked would lose its wording the second time.
        for (int round = 0; round < 2; ++round) {
            TRun run = Cli(c.arguments);
            EXPECT_EQ(run.Status, 0) << run.Err;
            EXPECT_EQ(run.Err, "") << "the prepared folder needs no repair";
            EXPECT_EQ(run.Out, c.out);
            EXPECT_EQ(DataFiles(), before) << "due writes nothing";
        }
    }
    EXPECT_FALSE(FileExists(config_.File("autostart/Tagwacht6.desktop")));
}

// The same data folder, its options pointing at an SMTP server of the test's own on loopback.
class RemindCli : public ReminderCli {
  protected:
    void StartServer(std::vector<std::string> args) {
        args.insert(args.end(), {"--record-dir", records_.Path()});
        server_ = std::make_unique<test::TServerProcess>("smtp_server.py", args);
        ASSERT_TRUE(server_->Started()) << server_->Log();
    }
    // The server's port lies above the options' range (it is repaired in the file after a run),
    // so every run gets options.ini afresh.
    TRun Remind(const TMailServer& server) {
        WriteOptions(data_, server);
        return Cli("remind");
    }
    std::string Received(int n, const std::string& part) const {
        return ReadFile(records_.File(std::to_string(n) + "." + part));
    }
    // The MAIL FROM and RCPT TO lines of the n-th message.
    std::string Envelope(int n) const {
        std::string envelope = Received(n, "envelope");
        return envelope.substr(0, envelope.find("TLS:"));
    }

    TTempDir records_;
    std::unique_ptr<test::TServerProcess> server_;
};

// What the first reminder of the day marks: the coming occurrence of entries less than a month
// away (on the day: the one celebrated today), the one just passed for the caught-up entry.
void ExpectMarksOfTheFirstRun(const TTempDir& data) {
    struct Case {
        int id;
        TMarks marks;
    } cases[] = {
        {0, {{"REM_33", "REM_34"}, {"03.05.2024"}}},
        {1, {{"REM_23", "REM_24"}, {"03.05.2024"}}},
        {2, {{"REM_38"}, {}}},
        {3, {{"REM_53", "REM_54"}, {"03.05.2024"}}},
        {4, {{"REM_63"}, {"02.05.2024", "03.05.2024"}}},
        {5, {{"REM_48", "REM_49"}, {"03.05.2024"}}},
        {6, {{"REM_73"}, {}}},
    };
    for (const Case& c : cases) EXPECT_EQ(MarksOf(data, c.id), c.marks) << "entry " << c.id;
}

TEST_F(RemindCli, SendsTheMailsMarksAndStaysQuietTheSameDay) {
    StartServer({"--auth", "--auth-required", "--password", "geheim 1"});
    TMailServer server{server_->Port(), true, "geheim 1"};

    TRun first = Remind(server);
    EXPECT_EQ(first.Status, 0) << first.Err << server_->Log();
    EXPECT_EQ(first.Out,
              "0\tAnna Berger\tAnna Berger hat heute Geburtstag.\tDie E-Mail wurde gesendet.\n"
              "1\tBernd Krause\tBernd Krause hat in einer Woche Jahrestag.\tDie E-Mail wurde gesendet.\n"
              "3\tDora Engel\tDora Engel hatte vor 5 Tagen Geburtstag.\t\n"
              "5\tFranz Graf\tFranz Graf hat in einer Woche Geburtstag.\t\n");

    // Own channels: the entry's own fields.
    EXPECT_EQ(Envelope(1), "MAIL FROM:glueckwunsch@example.org\nRCPT TO:anna.berger@example.org\n");
    EXPECT_EQ(Received(1, "subject"), "Alles Gute");
    EXPECT_EQ(Received(1, "body"),
              "Liebe Anna,\r\nheute wirst du 34 \xE2\x80\x93 herzlichen Gl\xC3\xBC"
              "ckwunsch!\r\n");
    // Standard channels: everything from the options, filled for the entry.
    EXPECT_EQ(Envelope(2), "MAIL FROM:tagwacht@example.org\nRCPT TO:familie@example.org\n");
    EXPECT_EQ(Received(2, "subject"), "Erinnerung von Tagwacht");
    EXPECT_EQ(Received(2, "body"),
              "Hallo,\r\nBernd Krause feiert am Freitag, den 10.05.2024 (in einer Woche) Hochzeitstag.\r\n"
              "Alter: 23\r\n");
    EXPECT_FALSE(FileExists(records_.File("3.envelope"))) << "no mail for Dora and Franz";
    EXPECT_NE(ReadFile(records_.File("auth.log")).find(" alice geheim 1"), std::string::npos)
        << "the deciphered password logs in: " << ReadFile(records_.File("auth.log"));
    ExpectMarksOfTheFirstRun(data_);

    const std::string entries = ReadFile(data_.File("entries.ini"));
    const std::string rem = ReadFile(data_.File("rem.ini"));
    TRun second = Remind(server);
    EXPECT_EQ(second.Status, 0) << second.Err;
    EXPECT_EQ(second.Out, "") << "every entry carries today's day mark";
    EXPECT_FALSE(FileExists(records_.File("3.envelope")));
    EXPECT_EQ(ReadFile(data_.File("entries.ini")), entries);
    EXPECT_EQ(ReadFile(data_.File("rem.ini")), rem);
}

TEST_F(RemindCli, RefusedRecipientFailsThatMailOnly) {
    StartServer({"--reject", "anna.berger"});
    TRun run = Remind({server_->Port(), false, ""});
    EXPECT_EQ(run.Status, 1) << run.Err;
    std::vector<std::string> lines = SplitText(run.Out, '\n');
    ASSERT_EQ(lines.size(), 5u) << run.Out;
    const std::string failed =
        "0\tAnna Berger\tAnna Berger hat heute Geburtstag.\t"
        "Die E-Mail konnte nicht gesendet werden.: ";
    EXPECT_EQ(lines[0].substr(0, failed.size()), failed) << lines[0];
    EXPECT_NE(lines[0].find("550", failed.size()), std::string::npos) << "the server's reason follows";
    EXPECT_EQ(lines[1],
              "1\tBernd Krause\tBernd Krause hat in einer Woche Jahrestag.\tDie E-Mail wurde gesendet.");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(Envelope(1), "MAIL FROM:tagwacht@example.org\nRCPT TO:familie@example.org\n");
    EXPECT_FALSE(FileExists(records_.File("2.envelope")));
    ExpectMarksOfTheFirstRun(data_);
}

}  // namespace
}  // namespace tw
