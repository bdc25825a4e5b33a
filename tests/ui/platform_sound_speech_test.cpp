#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTextToSpeech>
#include <cmath>
#include <filesystem>
#include <string>

#include "core/test_support.h"
#include "platform/sound_player.h"
#include "platform/speech.h"

namespace tw {
namespace {

// Set in the child processes that run the DISABLED_ checks below: "device" when PULSE_SERVER
// names a running sound server with an output, "none" when it names nothing.
constexpr const char* kAudioModeVariable = "TAGWACHT_TEST_AUDIO";

void AppendLittleEndian(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A quiet 440 Hz tone, 16-bit PCM mono at 22050 Hz.
std::string WavBytes(int milliseconds) {
    const uint32_t rate = 22050;
    const uint32_t frames = rate * static_cast<uint32_t>(milliseconds) / 1000;
    std::string bytes = "RIFF";
    AppendLittleEndian(bytes, 36 + frames * 2, 4);
    bytes += "WAVEfmt ";
    AppendLittleEndian(bytes, 16, 4);
    AppendLittleEndian(bytes, 1, 2);  // PCM
    AppendLittleEndian(bytes, 1, 2);  // mono
    AppendLittleEndian(bytes, rate, 4);
    AppendLittleEndian(bytes, rate * 2, 4);
    AppendLittleEndian(bytes, 2, 2);
    AppendLittleEndian(bytes, 16, 2);
    bytes += "data";
    AppendLittleEndian(bytes, frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const double value = 2000 * std::sin(2 * M_PI * 440 * i / rate);
        AppendLittleEndian(bytes, static_cast<uint16_t>(static_cast<int16_t>(value)), 2);
    }
    return bytes;
}

// Files the player must refuse whatever the sound device: missing, not WAV, a folder, a WAV
// cut short in its header or in its sound data (Qt would wait for the rest forever), a complete
// WAV in a format Qt cannot decode.
void ExpectUnplayableFilesRefusedQuickly() {
    test::TTempDir dir;
    test::WriteFile(dir.File("text.wav"), "This is a reminder, not a sound.\n");
    test::WriteFile(dir.File("cut-header.wav"), WavBytes(500).substr(0, 20));
    test::WriteFile(dir.File("cut-data.wav"), WavBytes(500).substr(0, 200));
    std::string compressed = WavBytes(500);
    compressed[20] = 0x55;  // format code of MPEG layer 3: complete, but nothing Qt decodes
    test::WriteFile(dir.File("compressed.wav"), compressed);
    std::filesystem::create_directory(dir.File("folder.wav"));
    const std::string cases[] = {dir.File("missing.wav"),    dir.File("text.wav"),
                                 dir.File("cut-header.wav"), dir.File("cut-data.wav"),
                                 dir.File("compressed.wav"), dir.File("folder.wav")};
    auto player = CreateDesktopSoundPlayer();
    for (const std::string& file : cases) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(player->Play(file)) << file;
        EXPECT_LT(clock.elapsed(), 1000) << file;
    }
}

// The ui_tests executable itself, run with one of the DISABLED_ suites and a sound server of
// the test's choosing. HOME and the XDG folders point into dir so that the sound client library
// leaves the user's own folders alone.
void RunChildChecks(const QString& filter, const QString& mode, const QString& pulse_server,
                    const test::TTempDir& dir) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kAudioModeVariable), mode);
    environment.insert(QStringLiteral("PULSE_SERVER"), pulse_server);
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(dir.Path()));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(dir.File("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(dir.File("runtime")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QDir().mkpath(QString::fromStdString(dir.File("runtime")));
    QFile::setPermissions(QString::fromStdString(dir.File("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_also_run_disabled_tests"),
                                                          QStringLiteral("--gtest_filter=") + filter});
    ASSERT_TRUE(child.waitForStarted(5000));
    const bool finished = child.waitForFinished(60000);
    if (!finished) {
        child.kill();
        child.waitForFinished(5000);
    }
    const QString output = QString::fromLocal8Bit(child.readAll());
    ASSERT_TRUE(finished) << output.toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    // A filter that matched nothing would pass silently.
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ]"))) << output.toStdString();
    EXPECT_FALSE(output.contains(QStringLiteral("[  PASSED  ] 0 tests"))) << output.toStdString();
}

// A private PulseAudio server with one null output (plays into nothing, but is a real device
// for Qt), on a socket in a temporary folder; ended with the object.
class TNullSoundServer {
  public:
    explicit TNullSoundServer(const test::TTempDir& dir)
        : socket_(QString::fromStdString(dir.File("native"))) {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty()) return;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), QString::fromStdString(dir.Path()));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(dir.File("config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(dir.File("runtime")));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        QDir().mkpath(QString::fromStdString(dir.File("runtime")));
        server_.setProcessEnvironment(environment);
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(
            program,
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-level=error"),
             QStringLiteral("--load=module-null-sink"),
             QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket_});
        if (!server_.waitForStarted(5000)) return;
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(socket_) && clock.elapsed() < 10000 && server_.state() == QProcess::Running)
            QTest::qWait(50);
    }
    ~TNullSoundServer() {
        if (server_.state() == QProcess::NotRunning) return;
        server_.terminate();
        if (!server_.waitForFinished(5000)) {
            server_.kill();
            server_.waitForFinished(5000);
        }
    }
    bool Running() const { return server_.state() == QProcess::Running && QFileInfo::exists(socket_); }
    QString Address() const { return QStringLiteral("unix:") + socket_; }

  private:
    QString socket_;
    QProcess server_;
};

TEST(PlatformSoundPlayer, UnplayableFilesAreRefusedQuickly) { ExpectUnplayableFilesRefusedQuickly(); }

TEST(PlatformSoundPlayer, ValidWavStartsExactlyWhenThereIsASoundOutput) {
    test::TTempDir dir;
    test::WriteFile(dir.File("tone.wav"), WavBytes(100));
    const bool has_output = !QMediaDevices::audioOutputs().isEmpty();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(CreateDesktopSoundPlayer()->Play(dir.File("tone.wav")), has_output);
    EXPECT_LT(clock.elapsed(), 2500);
}

TEST(PlatformSoundSpeech, WithoutSoundDeviceNeitherSoundNorFliteSpeechStarts) {
    test::TTempDir dir;
    RunChildChecks(QStringLiteral("DISABLED_SoundSpeechWithoutDevice.*"), QStringLiteral("none"),
                   QStringLiteral("unix:") + QString::fromStdString(dir.File("no-such-socket")), dir);
}

TEST(PlatformSoundSpeech, WithASoundDeviceSoundPlaysAndSpeechSpeaksAndStops) {
    test::TTempDir dir;
    TNullSoundServer server(dir);
    if (!server.Running()) GTEST_SKIP() << "needs the program pulseaudio (Debian package pulseaudio)";
    RunChildChecks(QStringLiteral("DISABLED_SoundSpeechWithDevice.*"), QStringLiteral("device"),
                   server.Address(), dir);
}

// --- Run only as child processes of the two tests above.

bool InMode(const char* mode) { return qEnvironmentVariable(kAudioModeVariable) == QLatin1String(mode); }

TEST(DISABLED_SoundSpeechWithoutDevice, SoundAndFliteSpeechReportFailure) {
    if (!InMode("none")) GTEST_SKIP() << "runs as a child process of PlatformSoundSpeech";
    ASSERT_TRUE(QMediaDevices::audioOutputs().isEmpty());

    test::TTempDir dir;
    test::WriteFile(dir.File("tone.wav"), WavBytes(100));
    EXPECT_FALSE(CreateDesktopSoundPlayer()->Play(dir.File("tone.wav")));

    // flite plays through Qt's sound output and fails without one; other engines (the speech
    // daemon) have their own sound path, which this test cannot take away.
    if (QTextToSpeech::availableEngines() != QStringList{QStringLiteral("flite")}) return;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(CreateDesktopSpeechEngine()->Speak("Anna has her birthday today."), nullptr);
    EXPECT_LT(clock.elapsed(), 2500);
}

TEST(DISABLED_SoundSpeechWithDevice, FilesThatCannotPlayAreStillRefused) {
    if (!InMode("device")) GTEST_SKIP() << "runs as a child process of PlatformSoundSpeech";
    ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty());
    ExpectUnplayableFilesRefusedQuickly();
}

TEST(DISABLED_SoundSpeechWithDevice, ValidWavStartsAndANewOneReplacesIt) {
    if (!InMode("device")) GTEST_SKIP() << "runs as a child process of PlatformSoundSpeech";
    ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty());
    test::TTempDir dir;
    test::WriteFile(dir.File("long.wav"), WavBytes(3000));
    test::WriteFile(dir.File("short.wav"), WavBytes(100));
    auto player = CreateDesktopSoundPlayer();
    EXPECT_TRUE(player->Play(dir.File("long.wav")));
    EXPECT_TRUE(player->Play(dir.File("short.wav")));
    // The program's own chime.
    EXPECT_TRUE(player->Play(TAGWACHT_SOURCE_DIR "/resources/notify.wav"));
    QTest::qWait(300);  // the player stays alive while playing
}

TEST(DISABLED_SoundSpeechWithDevice, EachSentenceSpeaksStopsAndGivesWayToTheNext) {
    if (!InMode("device")) GTEST_SKIP() << "runs as a child process of PlatformSoundSpeech";
    ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty());
    const std::string long_sentence = "Anna Schmidt has her birthday today. She becomes forty years old.";
    auto engine = CreateDesktopSpeechEngine();
    auto first = engine->Speak(long_sentence);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Speaking());
    first->Stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !first->Speaking(); }, 2000));

    // The window moves on to the next entry while a sentence still talks: the new one replaces
    // it (Qt's flite plug-in crashes when two sentences overlap), and the old control can
    // neither report nor stop the new sentence.
    auto second = engine->Speak(long_sentence);
    ASSERT_NE(second, nullptr);
    auto third = engine->Speak("Bernd Meier has his wedding anniversary in seven days.");
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(third->Speaking());
    EXPECT_FALSE(second->Speaking());
    second->Stop();
    EXPECT_TRUE(third->Speaking());
    // Left alone, a sentence ends by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !third->Speaking(); }, 15000));

    // The program ends in mid-sentence.
    auto fourth = engine->Speak(long_sentence);
    ASSERT_NE(fourth, nullptr);
    EXPECT_TRUE(fourth->Speaking());
    engine.reset();
    first.reset();
    second.reset();
    third.reset();
    fourth.reset();
    QTest::qWait(500);
}

}  // namespace
}  // namespace tw
