#include <gtest/gtest.h>
#include <unistd.h>

#include "core/net/indy_engine.h"

namespace tw {
namespace {

class TRecordingNotifier : public TDesktopNotifier {
  public:
    bool Notify(const std::string& title, const std::string& text) override {
        Shown.push_back(title + "|" + text);
        return Accept;
    }
    std::vector<std::string> Shown;
    bool Accept = true;
};

std::string HostName() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

TEST(IndyEngine, NetMessageBecomesANotificationOnlyForThisMachine) {
    struct Case {
        std::string server;
        bool delivered;
    };
    const Case cases[] = {
        {"", true},
        {"localhost", true},
        {"LocalHost", true},
        {HostName(), true},
        {HostName() + "-nebenan", false},
        {"buero-pc.example.org", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        TIndyEngine engine;
        TRecordingNotifier notifier;
        engine.SetDesktopNotifier(&notifier);
        EXPECT_EQ(engine.SendNetMessage(c.server, "anna", "Tagwacht", "Anna hat Geburtstag"), c.delivered);
        EXPECT_EQ(notifier.Shown, c.delivered ? std::vector<std::string>{"Tagwacht|Anna hat Geburtstag"}
                                              : std::vector<std::string>{});
    }
}

TEST(IndyEngine, NetMessageFailsWithoutOrAgainstTheNotifier) {
    TIndyEngine engine;
    EXPECT_FALSE(engine.SendNetMessage("", "anna", "Tagwacht", "Text"));
    TRecordingNotifier refusing;
    refusing.Accept = false;
    engine.SetDesktopNotifier(&refusing);
    EXPECT_FALSE(engine.SendNetMessage("", "anna", "Tagwacht", "Text"));
    EXPECT_EQ(refusing.Shown.size(), 1u);
}

}  // namespace
}  // namespace tw
