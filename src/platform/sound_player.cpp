#include "platform/sound_player.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <cstdint>

namespace tw {

namespace {

// QSoundEffect decodes the file in the background; this is how long Play waits for it to say
// whether the file is usable. Reminder sounds are small and decode in milliseconds.
constexpr int kLoadWaitMs = 1500;

uint32_t LittleEndian(const QByteArray& bytes, qsizetype at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

// A RIFF/WAVE file with a format chunk and a data chunk that holds all the bytes it announces.
// Qt's sample cache waits forever for the missing part of a cut file, and then every later
// sound blocks the program when it is released; such files never reach it.
bool IsCompleteWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 size = file.size();
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") return false;
    bool format = false;
    for (qint64 at = 12; at + 8 <= size;) {
        if (!file.seek(at)) return false;
        const QByteArray chunk = file.read(24);
        if (chunk.size() < 8) return false;
        const QByteArray id = chunk.left(4);
        const qint64 length = LittleEndian(chunk, 4, 4);
        if (at + 8 + length > size) return false;
        if (id == "fmt ") {
            if (length < 16 || chunk.size() < 24) return false;
            const uint32_t channels = LittleEndian(chunk, 10, 2);
            const uint32_t rate = LittleEndian(chunk, 12, 4);
            const uint32_t bits = LittleEndian(chunk, 22, 2);
            format = channels > 0 && rate > 0 && bits > 0;
            if (!format) return false;
        } else if (id == "data") {
            return format && length > 0;
        }
        at += 8 + length + (length & 1);  // chunks are padded to an even length
    }
    return false;
}

class TDesktopSoundPlayer : public TSoundPlayer {
  public:
    bool Play(const std::string& wav_file) override {
        const QFileInfo file(QString::fromStdString(wav_file));
        if (!file.isFile() || !IsCompleteWav(file.absoluteFilePath())) return false;
        // Without an output device QSoundEffect still reports that it plays, silently.
        if (QMediaDevices::audioOutputs().isEmpty()) return false;

        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
        if (Loading(*effect)) {
            QEventLoop loop;
            QObject::connect(effect.get(), &QSoundEffect::statusChanged, &loop, [&] {
                if (!Loading(*effect)) loop.quit();
            });
            QTimer::singleShot(kLoadWaitMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (effect->status() == QSoundEffect::Error) return false;
        if (effect->status() != QSoundEffect::Ready) {
            // Releasing a sound that is still loading blocks until the load ends, which may be
            // never; the rare stuck one is left alone instead.
            (void)effect.release();
            return false;
        }
        effect->play();
        // The effect must outlive this call while it plays; a new sound replaces the last one.
        effect_ = std::move(effect);
        return true;
    }

  private:
    static bool Loading(const QSoundEffect& effect) {
        const QSoundEffect::Status status = effect.status();
        return status == QSoundEffect::Null || status == QSoundEffect::Loading;
    }

    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace

std::unique_ptr<TSoundPlayer> CreateDesktopSoundPlayer() { return std::make_unique<TDesktopSoundPlayer>(); }

}  // namespace tw
