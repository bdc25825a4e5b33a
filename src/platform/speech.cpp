#include "platform/speech.h"

#include <QEventLoop>
#include <QTextToSpeech>
#include <QTimer>
#include <functional>
#include <map>

namespace tw {

namespace {

// How long Speak waits for an engine to start talking or to fail. Engines report a missing
// sound device only after say() (flite within milliseconds); the speech-dispatcher daemon may
// need a moment to start.
constexpr int kStartWaitMs = 2000;
// How long a stopped sentence may take to fall silent before the next one starts.
constexpr int kStopWaitMs = 2000;

bool Busy(const QTextToSpeech& speech) {
    return speech.state() == QTextToSpeech::Speaking || speech.state() == QTextToSpeech::Paused;
}

// Lets events run until done() holds after a state change, or the time is over.
void WaitForState(QTextToSpeech& speech, const std::function<bool(QTextToSpeech::State)>& done,
                  int timeout_ms) {
    if (done(speech.state())) return;
    QEventLoop loop;
    QObject::connect(&speech, &QTextToSpeech::stateChanged, &loop, [&](QTextToSpeech::State state) {
        if (done(state)) loop.quit();
    });
    QTimer::singleShot(timeout_ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// One Qt speech object per engine, kept for all sentences. Qt's flite plug-in crashes when two
// of its objects synthesise at once, when one is deleted while it synthesises or talks, and when
// a sentence is handed over while the last one still plays; so a sentence replaces the last one
// only after it has been stopped and has fallen silent.
struct TSpeaker {
    explicit TSpeaker(const QString& engine)
        : speech(engine.isEmpty() ? std::make_unique<QTextToSpeech>()
                                  : std::make_unique<QTextToSpeech>(engine)) {}
    ~TSpeaker() {
        if (Busy(*speech)) {
            speech->stop(QTextToSpeech::BoundaryHint::Immediate);
            WaitForState(
                *speech, [](QTextToSpeech::State state) { return state != QTextToSpeech::Speaking; },
                kStopWaitMs);
        }
    }
    TSpeaker(const TSpeaker&) = delete;
    TSpeaker& operator=(const TSpeaker&) = delete;

    std::unique_ptr<QTextToSpeech> speech;
    quint64 sentence = 0;  ///< counts the sentences handed over; a control owns one of them
};

// A control stands for its own sentence only: once a newer one has started on the same engine,
// it reports silence and its Stop does nothing.
class TQtSpeechControl : public TSpeechControl {
  public:
    TQtSpeechControl(std::shared_ptr<TSpeaker> speaker, quint64 sentence)
        : speaker_(std::move(speaker)), sentence_(sentence) {}

    bool Speaking() const override {
        return Current() && speaker_->speech->state() == QTextToSpeech::Speaking;
    }
    void Stop() override {
        if (Current()) speaker_->speech->stop(QTextToSpeech::BoundaryHint::Immediate);
    }

  private:
    bool Current() const { return speaker_->sentence == sentence_; }

    std::shared_ptr<TSpeaker> speaker_;
    quint64 sentence_;
};

class TQtSpeechEngine : public TSpeechEngine {
  public:
    std::unique_ptr<TSpeechControl> Speak(const std::string& text) override {
        const QString sentence = QString::fromStdString(text);
        // The default engine first, then every other one Qt knows.
        if (!default_known_) {
            auto first = std::make_shared<TSpeaker>(QString());
            default_engine_ = first->speech->engine();
            speakers_[default_engine_] = std::move(first);
            default_known_ = true;
        }
        if (auto control = SpeakOn(Speaker(default_engine_), sentence)) return control;
        for (const QString& engine : QTextToSpeech::availableEngines()) {
            if (engine == default_engine_) continue;
            if (auto control = SpeakOn(Speaker(engine), sentence)) return control;
        }
        return nullptr;
    }

  private:
    // The engine's speaker; a new one when the last has failed (a sound device may have come).
    std::shared_ptr<TSpeaker> Speaker(const QString& engine) {
        std::shared_ptr<TSpeaker>& speaker = speakers_[engine];
        if (!speaker || speaker->speech->state() == QTextToSpeech::Error)
            speaker = std::make_shared<TSpeaker>(engine);
        return speaker;
    }

    // Says the text and waits until the engine talks, fails or the wait is over. nullptr when the
    // engine has no voice or fails; one that is still quiet after the wait keeps the text and
    // gets the control, since it may only be slow.
    static std::unique_ptr<TSpeechControl> SpeakOn(const std::shared_ptr<TSpeaker>& speaker,
                                                   const QString& text) {
        QTextToSpeech& speech = *speaker->speech;
        if (speech.state() == QTextToSpeech::Error || speech.availableVoices().isEmpty()) return nullptr;
        if (Busy(speech)) {
            speech.stop(QTextToSpeech::BoundaryHint::Immediate);
            WaitForState(
                speech, [](QTextToSpeech::State state) { return state != QTextToSpeech::Speaking; },
                kStopWaitMs);
        }
        const quint64 number = ++speaker->sentence;
        // The engine reports its states through this thread's events, so none is missed between
        // say() and the wait.
        speech.say(text);
        WaitForState(
            speech,
            [](QTextToSpeech::State state) {
                return state == QTextToSpeech::Speaking || state == QTextToSpeech::Error;
            },
            kStartWaitMs);
        if (speech.state() == QTextToSpeech::Error) return nullptr;
        return std::make_unique<TQtSpeechControl>(speaker, number);
    }

    bool default_known_ = false;  ///< Qt is asked for its default engine at the first sentence
    QString default_engine_;      ///< empty when Qt has no engine at all
    std::map<QString, std::shared_ptr<TSpeaker>> speakers_;
};

}  // namespace

std::unique_ptr<TSpeechEngine> CreateDesktopSpeechEngine() { return std::make_unique<TQtSpeechEngine>(); }

}  // namespace tw
