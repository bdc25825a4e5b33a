// Times the desktop program's start from building the application object to the filled, sorted
// list, off-screen, for 10,000 and 100,000 entries, and counts how often window messages were
// handled while the entries loaded (the window stays responsive).

#include <cstdio>
#include <string>

#include <QApplication>
#include <QTimer>

#include "bench_support.h"
#include "core/options/options.h"
#include "core/text/messages.h"
#include "ui/main_window.h"
#include "ui/tagwacht.h"

namespace {

class TCountingMessages : public tw::TMessages {
  public:
    tw::TMsgAnswer MsgBox(const std::string& text, tw::TMsgButtons, tw::TMsgIcon) override {
        std::fprintf(stderr, "box: %s\n", text.c_str());
        return tw::TMsgAnswer::Yes;
    }
    void ProcessMessages() override {
        ++Handled;
        QCoreApplication::processEvents();
    }
    void FatalStop() override {}
    long long Handled = 0;
};

bool RunOne(unsigned count) {
    tw::bench::TTempDir data, config;
    setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    if (!tw::bench::RunProcess({tw::bench::SiblingExecutable("gen-entries-ini"), std::to_string(count),
                                data.Path() + "/entries.ini", data.Path() + "/eoptions.ini"}))
        return false;
    TCountingMessages messages;
    tw::SetMessages(&messages);
    const tw::bench::Clock::time_point start = tw::bench::Clock::now();
    tw::TTagwacht app;
    tw::SetApp(&app);
    tw::TfMain window(app);
    tw::TStartupSettings settings{TAGWACHT_RESOURCE_DIR, data.Path(), config.Path() + "/tagwacht", false};
    std::string error;
    if (!app.Construct(settings, {}, tw::DesignLayout(), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    window.show();
    const bool loaded = window.LoadEntriesAtStart();
    window.ColumnClick(app.Sort.SortColumn);
    QCoreApplication::processEvents();
    const double seconds = tw::bench::SecondsSince(start);
    std::printf("%9u entries: start to filled list %.3f s, window messages handled %lld times while loading\n",
                count, seconds, messages.Handled);
    tw::SetApp(nullptr);
    tw::SetMessages(nullptr);
    return loaded;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RunOne(10000) && RunOne(100000) ? 0 : 1;
}
