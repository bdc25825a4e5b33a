#include "core/net/update_check.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "core/net/server_process.h"
#include "core/test_support.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

using test::ReadFile;
using test::TTempDir;
using Answer = TMsgAnswer;

// Records the boxes, the documents opened, and what options.ini held on disk at each box.
class TUpdateMessages : public test::TRecordingMessages {
  public:
    explicit TUpdateMessages(std::string options_file) : options_file_(std::move(options_file)) {}
    TMsgAnswer MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon) override {
        OptionsOnDisk.push_back(ReadFile(options_file_));
        return TRecordingMessages::MsgBox(text, buttons, icon);
    }
    void OpenDocument(const std::string& address) override { Opened.push_back(address); }

    std::vector<std::string> OptionsOnDisk;
    std::vector<std::string> Opened;

  private:
    std::string options_file_;
};

std::map<int, std::string> UpdateTexts() { return {{108, "V=%s|D=%s|T=%s|U=%s"}, {110, "M=%s|D=%s"}}; }

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* item = readdir(dir)) {
            std::string name = item->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

// The site is a local HTTP server, the temporary folder one of the test's own.
class UpdateCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Started()) << server_.Log();
        site_ = std::make_unique<test::TScopedEnv>("TAGWACHT_SITE_URL", server_.BaseUrl().c_str());
        ASSERT_EQ(mkdir(TempFolder().c_str(), 0700), 0);
        tmpdir_ = std::make_unique<test::TScopedEnv>("TMPDIR", TempFolder().c_str());
        ASSERT_TRUE(options_.Open(data_.File("options.ini")));
        update_.OnOnline = [this] { ++online_calls_; };
        update_.OnBringToFront = [this] { ++front_calls_; };
    }
    void Answer(const std::string& body, const std::string& status = "200") {
        server_.SetRoute("/update.php", status, body);
    }
    // What the program sees as the system's temporary folder.
    std::string TempFolder() const { return temp_.File("tmp"); }
    // The key as options.ini on disk holds it, "" when missing.
    std::string KeyOnDisk(const std::string& key) const {
        TIniStore disk;
        disk.Open(data_.File("options.ini"));
        return disk.ReadString("Update", key, "");
    }

    test::THttpTestServer server_;
    TTempDir temp_, data_;
    std::unique_ptr<test::TScopedEnv> site_, tmpdir_;
    TIniStore options_;
    TIndyEngine engine_;
    bool online_ = false;
    int online_calls_ = 0, front_calls_ = 0;
    TTWUpdate update_{engine_, options_, online_};
};

constexpr const char* kNewVersion17 =
    "[update]\nupdate=1\nid=17\ntype=0\ntext=Neu\nv1=6\nv2=4\nv3=0\ndate=24.12.2024\n";

struct ShowCase {
    const char* name;
    std::string answer;
    bool silent;
    std::vector<TMsgAnswer> answers;
    std::vector<std::string> boxes;  // "{setup}" stands for the setup download address
    std::string key17;               // the key "17" in options.ini afterwards
    bool opened;                     // the setup download was opened
};

void PrintTo(const ShowCase& c, std::ostream* os) { *os << c.name; }

class UpdateCheckShows : public UpdateCheck, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(UpdateCheckShows, WhatTheAnswerAnnounces) {
    const ShowCase& c = GetParam();
    test::TTestLanguage language(UpdateTexts());
    TUpdateMessages messages(data_.File("options.ini"));
    messages.Answers = c.answers;
    Answer(c.answer);

    update_.CheckForUpdate(c.silent);

    std::vector<std::string> expected;
    for (const std::string& box : c.boxes) expected.push_back(ReplaceAll(box, "{setup}", SetupDownloadUrl()));
    EXPECT_EQ(messages.Boxes, expected);
    EXPECT_EQ(KeyOnDisk("17"), c.key17);
    EXPECT_EQ(messages.Opened,
              c.opened ? std::vector<std::string>{SetupDownloadUrl()} : std::vector<std::string>{});
    EXPECT_TRUE(online_);
    EXPECT_EQ(online_calls_, 1);
}

INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, UpdateCheckShows,
    ::testing::Values(
        ShowCase{"NewVersionDeclined",
                 kNewVersion17,
                 false,
                 {Answer::No, Answer::No},
                 {"V=6.4.0|D=24.12.2024|T=Neu|U={setup}", "T109"},
                 "1",
                 false},
        ShowCase{"NewVersionTakenAndRemindAgain",
                 kNewVersion17,
                 false,
                 {Answer::Yes, Answer::Yes},
                 {"V=6.4.0|D=24.12.2024|T=Neu|U={setup}", "T109"},
                 "",
                 true},
        ShowCase{"NewVersionShownWhenSilent",
                 kNewVersion17,
                 true,
                 {Answer::No, Answer::No},
                 {"V=6.4.0|D=24.12.2024|T=Neu|U={setup}", "T109"},
                 "1",
                 false},
        ShowCase{"MissingKeysGiveDefaults",
                 "[update]\nupdate=1\nid=17\ntype=0\n",
                 false,
                 {Answer::No, Answer::No},
                 {"V=0.0.0|D=01.01.2000|T=Keine|U={setup}", "T109"},
                 "1",
                 false},
        ShowCase{"MessageWithLineBreak",
                 "[update]\nupdate=0x1\nid=17\ntype=1\ntext=Eins<br>Zwei\ndate=1.2.2025\n",
                 false,
                 {Answer::No},
                 {"M=Eins\nZwei|D=1.2.2025"},
                 "1",
                 false},
        ShowCase{"MessageRemindAgain",
                 "[update]\nupdate=1\nid=17\ntype=1\ntext=Eins\n",
                 false,
                 {Answer::Yes},
                 {"M=Eins|D=01.01.2000"},
                 "",
                 false},
        ShowCase{
            "OtherTypeIsNothingNew", "[update]\nupdate=1\nid=17\ntype=2\n", false, {}, {"T111"}, "1", false},
        ShowCase{"NoAnnouncement", "[update]\nupdate=0\nid=17\ntype=0\n", false, {}, {"T111"}, "", false},
        ShowCase{"NoAnnouncementSilent", "[update]\nid=17\ntype=0\n", true, {}, {}, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateCheck, AnnouncementIsRememberedBeforeItIsShownAndShownOnce) {
    test::TTestLanguage language(UpdateTexts());
    TUpdateMessages messages(data_.File("options.ini"));
    messages.Answers = {Answer::No, Answer::No};
    Answer(kNewVersion17);

    update_.CheckForUpdate(false);
    ASSERT_EQ(messages.Boxes.size(), 2u);
    EXPECT_NE(messages.OptionsOnDisk[0].find("17=1"), std::string::npos) << messages.OptionsOnDisk[0];
    EXPECT_EQ(front_calls_, 1);

    update_.CheckForUpdate(false);
    EXPECT_EQ(messages.Boxes.back(), "T111");
    EXPECT_EQ(messages.Boxes.size(), 3u);
}

TEST_F(UpdateCheck, AnnouncementWithoutIdIsShownEveryTime) {
    test::TTestLanguage language(UpdateTexts());
    TUpdateMessages messages(data_.File("options.ini"));
    Answer("[update]\nupdate=1\ntype=1\ntext=Hallo\n");
    messages.Answers = {Answer::No, Answer::No};

    update_.CheckForUpdate(true);
    update_.CheckForUpdate(true);

    EXPECT_EQ(messages.Boxes, (std::vector<std::string>{"M=Hallo|D=01.01.2000", "M=Hallo|D=01.01.2000"}));
    EXPECT_EQ(KeyOnDisk("-1"), "1");
    EXPECT_FALSE(update_.IsKnown(-1));
}

TEST_F(UpdateCheck, FailuresShowTheirTextUnlessSilent) {
    struct Case {
        const char* name;
        std::string status;
        std::map<int, std::string> texts;
        bool silent;
        std::vector<std::string> boxes;
        bool online;
    };
    const Case cases[] = {
        {"download fails", "404", UpdateTexts(), false, {"T107"}, false},
        {"download fails silently", "404", UpdateTexts(), true, {}, false},
        {"text does not fit", "200", {{108, "Version %d"}}, false, {"T112"}, true},
        {"text does not fit silently", "200", {{108, "%s %s %s %s %s"}}, true, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        options_.DeleteKey("Update", "17");
        test::TTestLanguage language(c.texts);
        TUpdateMessages messages(data_.File("options.ini"));
        Answer(kNewVersion17, c.status);
        online_ = !c.online;

        update_.CheckForUpdate(c.silent);

        EXPECT_EQ(messages.Boxes, c.boxes);
        EXPECT_EQ(online_, c.online);
    }
}

TEST_F(UpdateCheck, AsksForThisVersionAndLeavesNoFileBehind) {
    test::TTestLanguage language(UpdateTexts());
    test::TRecordingMessages messages;
    Answer("[update]\nupdate=0\n");
    std::vector<std::string> before = FilesIn(TempFolder());  // the test language lives there too

    update_.CheckForUpdate(false);

    EXPECT_EQ(server_.Requests(),
              "GET /update.php?v1=6&v2=3&v3=2 HTTP/1.1 UA=Mozilla/3.0 (compatible; Indy Library)\n");
    EXPECT_EQ(messages.Boxes, std::vector<std::string>{"T111"});
    EXPECT_EQ(FilesIn(TempFolder()), before);
}

}  // namespace
}  // namespace tw
