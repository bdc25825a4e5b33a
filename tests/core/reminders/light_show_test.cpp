#include "core/reminders/light_show.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tw {
namespace {

// Lights that remember their states and write down every change and wait, one text per frame:
// "N+ C- 200" means Num on, Caps off, then a wait of 200 ms. Changes after the last wait (the
// restore) collect in Pending().
class TRecordingLights : public TLockLights {
  public:
    TRecordingLights(bool num, bool caps, bool scroll) : states_{num, caps, scroll} {}

    bool GetLockKey(TLockKey key) override {
        if (!frames_.empty() || !pending_.empty()) read_late_ = true;
        return states_[Index(key)];
    }

    void SetLockKey(TLockKey key, bool on) override {
        states_[Index(key)] = on;
        pending_ += std::string(pending_.empty() ? "" : " ") + "NCS"[Index(key)] + (on ? "+" : "-");
        if (on_set) on_set(key, on);
    }

    void Wait(int ms) {
        frames_.push_back(pending_ + (pending_.empty() ? "" : " ") + std::to_string(ms));
        pending_.clear();
        total_ms_ += ms;
    }

    std::function<void(int)> WaitFunction() {
        return [this](int ms) { Wait(ms); };
    }

    const std::vector<std::string>& Frames() const { return frames_; }
    const std::string& Pending() const { return pending_; }
    int TotalMs() const { return total_ms_; }
    bool ReadLate() const { return read_late_; }
    bool State(TLockKey key) const { return states_[Index(key)]; }

    /// Called after each change, like a message handled while a light is set.
    std::function<void(TLockKey, bool)> on_set;

  private:
    static int Index(TLockKey key) { return key == TLockKey::Num ? 0 : key == TLockKey::Caps ? 1 : 2; }

    bool states_[3];
    std::vector<std::string> frames_;
    std::string pending_;
    int total_ms_ = 0;
    bool read_late_ = false;
};

// clang-format off
const std::vector<std::string> kShow = {
    "N- C- S- 500",                                                          // 1
    "N+ 200", "C+ 200", "S+ 200",                                            // 2-4
    "N- 200", "C- 200", "S- 300",                                            // 5-7
    "N+ C+ S+ 200", "N- C- S- 200",                                          // 8-9
    "N+ C- S+ 200", "N- C+ S- 300", "N+ C- S+ 200",                          // 10-12
    "C+ 200", "S- 200", "C- 200", "N- 200", "N+ 200", "C+ 200", "S+ 200",    // 13-19
    "N- C- S- 50", "N+ C+ S+ 50", "N- C- S- 50", "N+ C+ S+ 50", "N- C- S- 50",  // 20-28
    "N+ C+ S+ 50", "N- C- S- 50", "N+ C+ S+ 50", "N- C- S- 50",
    "C+ 50", "C- 50", "C+ 50", "C- 50", "C+ 50",                             // 29-38
    "C- 50", "C+ 50", "C- 50", "C+ 50", "C- 50",
    "N+ S+ 50", "N- S- 50", "N+ S+ 50", "N- S- 50", "N+ S+ 50",              // 39-47
    "N- S- 50", "N+ S+ 50", "N- S- 50", "N+ S+ 50",
    "N+ C+ S+ 500",                                                          // 48
};
// clang-format on

TEST(LightShow, RunsTheFramesAndWaitsSixPointTwoSeconds) {
    TRecordingLights lights(false, false, false);
    bool stop = false;
    BlinkKeyboard(lights, stop, lights.WaitFunction());
    EXPECT_EQ(lights.Frames(), kShow);
    EXPECT_EQ(lights.TotalMs(), 6200);
}

// The kept states are read before the first change and set back in the order Num, Caps, Scroll,
// whatever the show left on.
TEST(LightShow, SetsTheLightsBackToTheirStatesFromBefore) {
    struct TCase {
        bool num, caps, scroll;
        const char* restore;
    };
    for (const TCase& c : {TCase{false, false, false, "N- C- S-"}, TCase{true, false, true, "N+ C- S+"},
                           TCase{false, true, false, "N- C+ S-"}, TCase{true, true, true, "N+ C+ S+"}}) {
        SCOPED_TRACE(c.restore);
        TRecordingLights lights(c.num, c.caps, c.scroll);
        bool stop = false;
        BlinkKeyboard(lights, stop, lights.WaitFunction());
        EXPECT_FALSE(lights.ReadLate());
        EXPECT_EQ(lights.Pending(), c.restore);
        EXPECT_EQ(lights.State(TLockKey::Num), c.num);
        EXPECT_EQ(lights.State(TLockKey::Caps), c.caps);
        EXPECT_EQ(lights.State(TLockKey::Scroll), c.scroll);
    }
}

TEST(LightShow, FlagLeftSetByAnEarlierShowIsClearedFirst) {
    TRecordingLights lights(true, false, false);
    bool stop = true;
    BlinkKeyboard(lights, stop, lights.WaitFunction());
    EXPECT_EQ(lights.Frames(), kShow);
    EXPECT_FALSE(stop);
}

// A flag set while a wait runs ends the show at once: no further change, no further wait, and the
// lights still come back.
TEST(LightShow, FlagSetDuringAWaitEndsTheShowAndStillRestores) {
    for (int stop_after : {1, 10, 24, 47, 48}) {
        SCOPED_TRACE(stop_after);
        TRecordingLights lights(true, false, true);
        bool stop = false;
        int waits = 0;
        BlinkKeyboard(lights, stop, [&](int ms) {
            lights.Wait(ms);
            if (++waits == stop_after) stop = true;
        });
        EXPECT_EQ(lights.Frames(), std::vector<std::string>(kShow.begin(), kShow.begin() + stop_after));
        EXPECT_EQ(lights.Pending(), "N+ C- S+");
        EXPECT_TRUE(stop);
        EXPECT_TRUE(lights.State(TLockKey::Num));
        EXPECT_FALSE(lights.State(TLockKey::Caps));
        EXPECT_TRUE(lights.State(TLockKey::Scroll));
    }
}

// The flag is tested before every single change, not only once per frame: set while Caps goes out
// in the first frame, it keeps Scroll and the frame's wait from happening.
TEST(LightShow, FlagIsTestedBeforeEachSingleChange) {
    TRecordingLights lights(false, true, true);
    bool stop = false;
    lights.on_set = [&](TLockKey key, bool) {
        if (key == TLockKey::Caps) stop = true;
    };
    BlinkKeyboard(lights, stop, lights.WaitFunction());
    EXPECT_TRUE(lights.Frames().empty());
    EXPECT_EQ(lights.Pending(), "N- C- N- C+ S+");
    EXPECT_EQ(lights.TotalMs(), 0);
}

}  // namespace
}  // namespace tw
