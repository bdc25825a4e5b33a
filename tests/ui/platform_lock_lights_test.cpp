#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QProcess>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "core/reminders/light_show.h"
#include "platform/lock_lights.h"

// Xlib's macros clash with Qt's names, so Xlib comes last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace tw {
namespace {

struct TStates {
    bool Num;
    bool Caps;
    bool Scroll;
    bool operator==(const TStates&) const = default;
};

void PrintTo(const TStates& s, std::ostream* out) {
    *out << "Num " << s.Num << ", Caps " << s.Caps << ", Scroll " << s.Scroll;
}

// The test's own view of the server's keyboard, on a connection apart from the lights under test.
class TXkbProbe {
  public:
    explicit TXkbProbe(const std::string& display_name) {
        int event_base = 0, error_base = 0, reason = 0;
        int major = XkbMajorVersion, minor = XkbMinorVersion;
        display_ = XkbOpenDisplay(display_name.c_str(), &event_base, &error_base, &major, &minor, &reason);
        if (!display_) return;
        num_mask_ = XkbKeysymToModifiers(display_, XK_Num_Lock);
        scroll_name_ = XInternAtom(display_, "Scroll Lock", False);
        XkbGetNamedIndicator(display_, scroll_name_, &scroll_index_, nullptr, nullptr, nullptr);
    }
    ~TXkbProbe() {
        if (display_) XCloseDisplay(display_);
    }

    bool Usable() const { return display_ && num_mask_ != 0 && scroll_index_ >= 0; }

    TStates Read() {
        XkbStateRec state{};
        XkbGetState(display_, XkbUseCoreKbd, &state);
        unsigned int indicators = 0;
        XkbGetIndicatorState(display_, XkbUseCoreKbd, &indicators);
        return {(state.locked_mods & num_mask_) != 0, (state.locked_mods & LockMask) != 0,
                (indicators & (1u << scroll_index_)) != 0};
    }

    void Set(const TStates& s) {
        XkbLockModifiers(display_, XkbUseCoreKbd, num_mask_ | LockMask,
                         (s.Num ? num_mask_ : 0) | (s.Caps ? LockMask : 0));
        XkbSetNamedIndicator(display_, scroll_name_, True, s.Scroll ? True : False, False, nullptr);
        XSync(display_, False);
    }

  private:
    Display* display_ = nullptr;
    unsigned int num_mask_ = 0;
    Atom scroll_name_ = 0;
    int scroll_index_ = -1;
};

const std::vector<TStates> kStartStates = {
    {false, false, false}, {true, false, true}, {false, true, false}, {true, true, true}};

// Every test gets a fresh X server of its own; a machine without Xvfb fails here.
class PlatformLockLights : public ::testing::Test {
  protected:
    void SetUp() override {
        xvfb_.setProgram(QStringLiteral("Xvfb"));
        xvfb_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
        xvfb_.setStandardErrorFile(QProcess::nullDevice());
        xvfb_.start();
        ASSERT_TRUE(xvfb_.waitForStarted(10000)) << "Xvfb cannot be started (package xvfb)";
        QByteArray number;
        QElapsedTimer clock;
        clock.start();
        while (!number.contains('\n') && clock.elapsed() < 15000 && xvfb_.state() == QProcess::Running) {
            xvfb_.waitForReadyRead(500);
            number += xvfb_.readAllStandardOutput();
        }
        ASSERT_TRUE(number.contains('\n')) << "Xvfb named no display";
        display_ = ":" + number.trimmed().toStdString();
        probe_ = std::make_unique<TXkbProbe>(display_);
        ASSERT_TRUE(probe_->Usable()) << "no Num Lock modifier or Scroll Lock indicator on " << display_;
        lights_ = CreateXkbLockLights(display_.c_str());
        ASSERT_NE(lights_, nullptr);
    }

    void TearDown() override {
        lights_.reset();
        probe_.reset();
        if (xvfb_.state() != QProcess::NotRunning) {
            xvfb_.terminate();
            if (!xvfb_.waitForFinished(5000)) {
                xvfb_.kill();
                xvfb_.waitForFinished(5000);
            }
        }
    }

    QProcess xvfb_;
    std::string display_;
    std::unique_ptr<TXkbProbe> probe_;
    std::unique_ptr<TLockLights> lights_;
};

TEST_F(PlatformLockLights, ReadsTheStatesTheServerShows) {
    for (const TStates& start : kStartStates) {
        probe_->Set(start);
        ASSERT_EQ(probe_->Read(), start);
        EXPECT_EQ(TStates({lights_->GetLockKey(TLockKey::Num), lights_->GetLockKey(TLockKey::Caps),
                           lights_->GetLockKey(TLockKey::Scroll)}),
                  start);
    }
}

TEST_F(PlatformLockLights, SetsEachLightAloneOnTheServer) {
    struct TCase {
        TLockKey key;
        bool on;
        TStates start;
        TStates expected;
    };
    const TCase cases[] = {
        {TLockKey::Num, true, {false, true, false}, {true, true, false}},
        {TLockKey::Num, false, {true, false, true}, {false, false, true}},
        {TLockKey::Caps, true, {true, false, true}, {true, true, true}},
        {TLockKey::Caps, false, {false, true, false}, {false, false, false}},
        {TLockKey::Scroll, true, {true, true, false}, {true, true, true}},
        {TLockKey::Scroll, false, {false, false, true}, {false, false, false}},
        {TLockKey::Caps, true, {false, true, false}, {false, true, false}},  // already on stays on
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.key));
        SCOPED_TRACE(c.on);
        probe_->Set(c.start);
        lights_->SetLockKey(c.key, c.on);
        EXPECT_EQ(probe_->Read(), c.expected);
        EXPECT_EQ(lights_->GetLockKey(c.key), c.on);
    }
}

// The show really drives the server's lights (dark after the first frame, all on in the last),
// and leaves them as it found them.
TEST_F(PlatformLockLights, FullShowEndsInTheStatesFromBefore) {
    for (const TStates& start : kStartStates) {
        SCOPED_TRACE(testing::PrintToString(start));
        probe_->Set(start);
        std::vector<TStates> seen;
        bool stop = false;
        BlinkKeyboard(*lights_, stop, [&](int) { seen.push_back(probe_->Read()); });
        ASSERT_EQ(seen.size(), 48u);
        EXPECT_EQ(seen.front(), TStates({false, false, false}));
        EXPECT_EQ(seen[10], TStates({false, true, false}));  // frame 11
        EXPECT_EQ(seen.back(), TStates({true, true, true}));
        EXPECT_EQ(probe_->Read(), start);
    }
}

TEST_F(PlatformLockLights, ShowStoppedHalfWayEndsInTheStatesFromBefore) {
    for (const TStates& start : kStartStates) {
        SCOPED_TRACE(testing::PrintToString(start));
        probe_->Set(start);
        bool stop = false;
        int waits = 0;
        TStates at_stop{};
        BlinkKeyboard(*lights_, stop, [&](int) {
            if (++waits == 5) {
                at_stop = probe_->Read();
                stop = true;
            }
        });
        EXPECT_EQ(waits, 5);
        EXPECT_EQ(at_stop, TStates({false, true, true}));  // after frame 5: Num went out again
        EXPECT_EQ(probe_->Read(), start);
    }
}

// As in the reminder window: the waits run the event loop, and an event handled meanwhile (here a
// timer standing in for a click on "Weiter") ends the show.
TEST_F(PlatformLockLights, EventDuringARealWaitEndsTheShow) {
    const TStates start{true, false, true};
    probe_->Set(start);
    bool stop = false;
    QObject scope;  // the timer must not outlive this test's flag
    QTimer::singleShot(800, &scope, [&] { stop = true; });
    QElapsedTimer clock;
    clock.start();
    BlinkKeyboard(*lights_, stop, [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    });
    EXPECT_TRUE(stop);
    EXPECT_GE(clock.elapsed(), 800);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(probe_->Read(), start);
}

TEST_F(PlatformLockLights, NoServerGivesNoLights) {
    int number = 900;
    struct stat info {};
    while (number < 1000 && (stat(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), &info) == 0 ||
                             stat(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), &info) == 0))
        ++number;
    ASSERT_LT(number, 1000);
    EXPECT_EQ(CreateXkbLockLights((":" + std::to_string(number)).c_str()), nullptr);
}

// A program that is not drawn on X has no X keyboard of its own, even when DISPLAY names a live
// server; the window tests run off-screen and must never blink a real keyboard.
TEST_F(PlatformLockLights, ProgramNotDrawnOnXGetsNoDesktopLights) {
    const QByteArray old_display = qgetenv("DISPLAY");
    const bool had_display = qEnvironmentVariableIsSet("DISPLAY");
    qputenv("DISPLAY", QByteArray::fromStdString(display_));
    EXPECT_EQ(CreateDesktopLockLights(), nullptr);
    if (had_display)
        qputenv("DISPLAY", old_display);
    else
        qunsetenv("DISPLAY");
}

}  // namespace
}  // namespace tw
