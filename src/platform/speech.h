#pragma once

#include <memory>
#include <string>

namespace tw {

/// One spoken sentence.
class TSpeechControl {
public:
    virtual ~TSpeechControl() = default;
    virtual bool Speaking() const = 0;
    virtual void Stop() = 0;
};

/// Speaks sentences without blocking.
class TSpeechEngine {
public:
    virtual ~TSpeechEngine() = default;
    /// A new control speaking the text with the default voice; nullptr when no engine can
    /// speak it.
    virtual std::unique_ptr<TSpeechControl> Speak(const std::string& text) = 0;
};

/// Speaks through the desktop's text-to-speech engines.
std::unique_ptr<TSpeechEngine> CreateDesktopSpeechEngine();

}  // namespace tw
