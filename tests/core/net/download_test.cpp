#include <gtest/gtest.h>

#include <chrono>

#include "core/net/indy_engine.h"
#include "core/net/server_process.h"
#include "core/test_support.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;

class Download : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.Started()) << server_.Log(); }

    test::THttpTestServer server_;
    TIndyEngine engine_;
    TTempDir dir_;
};

TEST_F(Download, WritesTheBodyWithCrLfLinesOrNothingOnFailure) {
    struct Case {
        const char* name;
        std::string status;
        std::string body;
        bool ok;
        std::string file;  // what the target holds afterwards; it held "old" before
    };
    const Case cases[] = {
        {"lines", "200", "[update]\nupdate=1\r\nid=17", true, "[update]\r\nupdate=1\r\r\nid=17\r\n"},
        {"empty lines stay, no extra line at the end", "200", "a\n\nb\n", true, "a\r\n\r\nb\r\n"},
        {"empty body", "200", "", true, ""},
        {"other success code", "203", "x", true, "x\r\n"},
        {"not found", "404", "Not here\n", false, "old"},
        {"server error", "500", "", false, "old"},
        {"redirect not followed", "302 /elsewhere.txt", "", false, "old"},
    };
    server_.SetRoute("/elsewhere.txt", "200", "moved\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server_.SetRoute("/file.txt", c.status, c.body);
        WriteFile(dir_.File("target"), "old");
        std::string error = engine_.Download(server_.BaseUrl() + "/file.txt", dir_.File("target"));
        EXPECT_EQ(error.empty(), c.ok) << error;
        EXPECT_EQ(ReadFile(dir_.File("target")), c.file);
    }
    EXPECT_EQ(server_.Requests().find("elsewhere"), std::string::npos) << server_.Requests();
}

TEST_F(Download, FailureNamesTheStatus) {
    server_.SetRoute("/file.txt", "404");
    EXPECT_EQ(engine_.Download(server_.BaseUrl() + "/file.txt", dir_.File("target")),
              "HTTP/1.1 404 Not Found");
    EXPECT_FALSE(FileExists(dir_.File("target")));
}

TEST_F(Download, AsksAsTheIndyClientOverHttp11) {
    server_.SetRoute("/update.php", "200", "x");
    ASSERT_EQ(engine_.Download(server_.BaseUrl() + "/update.php?v1=6&v2=3&v3=2", dir_.File("target")), "");
    EXPECT_EQ(server_.Requests(),
              "GET /update.php?v1=6&v2=3&v3=2 HTTP/1.1 UA=Mozilla/3.0 (compatible; Indy Library)\n");
}

TEST_F(Download, UnwritableFileGivesTheDownloadError) {
    server_.SetRoute("/file.txt", "200", "x");
    EXPECT_EQ(engine_.Download(server_.BaseUrl() + "/file.txt", dir_.File("no/such/folder/target")),
              kDownloadWriteError);
}

TEST_F(Download, ServerThatNeverAnswersTimesOut) {
    TNetTimeouts timeouts;
    timeouts.DownloadMs = 1500;
    engine_.SetTimeouts(timeouts);
    server_.SetRoute("/file.txt", "hang");
    auto start = std::chrono::steady_clock::now();
    EXPECT_NE(engine_.Download(server_.BaseUrl() + "/file.txt", dir_.File("target")), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_FALSE(FileExists(dir_.File("target")));
}

}  // namespace
}  // namespace tw
