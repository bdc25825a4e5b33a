#pragma once

#include <memory>
#include <string>

namespace tw {

/// Plays the reminder sound.
class TSoundPlayer {
public:
    virtual ~TSoundPlayer() = default;
    /// Starts playing the WAV file and returns at once; false when it cannot be started.
    virtual bool Play(const std::string& wav_file) = 0;
};

/// Plays through the desktop's sound output.
std::unique_ptr<TSoundPlayer> CreateDesktopSoundPlayer();

}  // namespace tw
