#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <memory>

#include "core/net/indy_engine.h"
#include "core/net/server_process.h"
#include "core/test_support.h"
#include "core/text/date_time.h"

namespace tw {
namespace {

using test::TServerProcess;

// 0xE70E5A00 seconds after 1900-01-01 UTC.
constexpr std::int64_t kAnswerUnix = 1667488640;  // 2022-11-03 15:17:20 UTC

// Records what would be set instead of touching the clock.
class TCapturingSetter : public TClockSetter {
  public:
    std::string Set(std::int64_t unix_seconds, TDateTime local_time) override {
        ++Calls;
        UnixSeconds = unix_seconds;
        LocalTime = local_time;
        return Answer;
    }
    int Calls = 0;
    std::int64_t UnixSeconds = 0;
    TDateTime LocalTime = 0;
    std::string Answer;
};

// The process's time zone for the lifetime of the object.
class TScopedTimeZone {
  public:
    explicit TScopedTimeZone(const char* zone) : env_("TZ", zone) { tzset(); }
    ~TScopedTimeZone() { tzset(); }

  private:
    test::TScopedEnv env_;
};

TDateTime At(int year, int month, int day, int hour, int minute, int second) {
    return *EncodeDate(year, month, day) + *EncodeTime(hour, minute, second);
}

class SyncTime : public ::testing::Test {
  protected:
    // Starts a time server with the arguments.
    void StartServer(const std::vector<std::string>& args) {
        server_ = std::make_unique<TServerProcess>("time_server.py", args);
        ASSERT_TRUE(server_->Started()) << server_->Log();
    }
    std::string Sync() { return engine_.SyncTime("127.0.0.1:" + std::to_string(server_->Port())); }
    std::string SyncFrom(const std::vector<std::string>& args) {
        StartServer(args);
        return server_->Started() ? Sync() : "server did not start";
    }
    void SetReadMs(int ms) {
        TNetTimeouts timeouts;
        timeouts.TimeReadMs = ms;
        engine_.SetTimeouts(timeouts);
    }

    TIndyEngine engine_;
    TCapturingSetter setter_;
    std::unique_ptr<TServerProcess> server_;
    void SetUp() override { engine_.SetClockSetter(&setter_); }
};

TEST_F(SyncTime, SetsTheServersTimeInTheLocalZone) {
    struct Case {
        const char* zone;
        TDateTime local;
    };
    const Case cases[] = {
        {"UTC0", At(2022, 11, 3, 15, 17, 20)},
        {"CET-1CEST,M3.5.0,M10.5.0/3", At(2022, 11, 3, 16, 17, 20)},  // standard time in November
        {"EST5EDT,M3.2.0,M11.1.0", At(2022, 11, 3, 11, 17, 20)},      // still daylight-saving time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        TScopedTimeZone zone(c.zone);
        setter_.Calls = 0;
        ASSERT_EQ(SyncFrom({"--reply", "e70e5a00"}), "");
        EXPECT_EQ(setter_.Calls, 1);
        EXPECT_EQ(setter_.UnixSeconds, kAnswerUnix);
        EXPECT_DOUBLE_EQ(setter_.LocalTime, c.local);
    }
}

TEST_F(SyncTime, CountsHalfTheReadTimeInWholeSeconds) {
    // A read time-out above the delay, so that a slow machine cannot turn this into a failure;
    // any read time between 2000 and 3999 ms gives one second.
    SetReadMs(10000);
    TScopedTimeZone zone("UTC0");
    ASSERT_EQ(SyncFrom({"--reply", "e70e5a00", "--delay-ms", "2300"}), "");
    EXPECT_EQ(setter_.UnixSeconds, kAnswerUnix + 1);
}

TEST_F(SyncTime, FailuresLeaveTheClockAlone) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int read_ms;
    };
    const Case cases[] = {
        {"server sends 0", {"--reply", "00000000"}, 2500},
        {"connection closed after 2 bytes", {"--reply", "e70e5a00", "--send-only", "2"}, 2500},
        {"allowance overflows 32 bits", {"--reply", "ffffffff", "--delay-ms", "2300"}, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetReadMs(c.read_ms);
        EXPECT_NE(SyncFrom(c.args), "");
        EXPECT_EQ(setter_.Calls, 0);
    }
}

TEST_F(SyncTime, AnswerLaterThanTheReadTimeOutFails) {
    StartServer({"--delay-ms", "8000"});
    auto start = std::chrono::steady_clock::now();
    EXPECT_NE(Sync(), "");
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(setter_.Calls, 0);
    EXPECT_GE(waited, std::chrono::milliseconds(2500));
    EXPECT_LT(waited, std::chrono::milliseconds(8000));
}

TEST_F(SyncTime, SetterRefusalIsTheError) {
    setter_.Answer = "Operation not permitted";
    EXPECT_EQ(SyncFrom({}), "Operation not permitted");
}

TEST_F(SyncTime, WithoutSetterNothingIsSet) {
    engine_.SetClockSetter(nullptr);
    EXPECT_NE(SyncFrom({}), "");
    EXPECT_EQ(setter_.Calls, 0);
}

}  // namespace
}  // namespace tw
