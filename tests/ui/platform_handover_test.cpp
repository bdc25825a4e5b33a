#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <chrono>
#include <cstring>
#include <future>

#include "core/test_support.h"
#include "platform/instance_handover.h"

namespace tw {
namespace {

// The client blocks while it waits for the acknowledgement, so it runs on a thread of its own
// while this thread's event loop lets the server answer.
template <typename T>
T RunBesideEventLoop(std::function<T()> work) {
    std::future<T> result = std::async(std::launch::async, std::move(work));
    QElapsedTimer clock;
    clock.start();
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready &&
           clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return result.get();
}

class PlatformHandOver : public ::testing::Test {
  protected:
    test::TTempDir dir_;
    const QString name_ = QString::fromStdString(dir_.File("tagwacht-test"));

    bool HandOver(const QStringList& lines, int timeout_ms = 5000) {
        const QString name = name_;
        return RunBesideEventLoop<bool>(
            [lines, timeout_ms, name] { return HandOverToRunningInstance(lines, timeout_ms, name); });
    }

    // A socket file as a crashed instance leaves it: bound once, nobody listening any more.
    void LeaveStaleSocket() {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(name_);
        ASSERT_LT(static_cast<size_t>(path.size()), sizeof address.sun_path);
        std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << std::strerror(errno);
        close(fd);
        ASSERT_TRUE(QFileInfo::exists(name_));
    }
};

TEST_F(PlatformHandOver, RunningInstanceReceivesTheLinesInOrder) {
    TInstanceServer server;
    ASSERT_TRUE(server.Listen(name_)) << server.ErrorText().toStdString();
    QSignalSpy received(&server, &TInstanceServer::LinesReceived);

    const QList<QStringList> handed = {
        {QStringLiteral("/home/anna/Geburtstage 2024.twf")},
        {QStringLiteral("/tmp/a.twf"), QString::fromUtf8("/tmp/Müller\nzwei Zeilen.twf")},
        {},
    };
    for (const QStringList& lines : handed) EXPECT_TRUE(HandOver(lines));

    ASSERT_EQ(received.count(), handed.size());
    for (qsizetype i = 0; i < handed.size(); ++i) {
        EXPECT_EQ(received.at(i).at(0).toStringList(), handed[i]);
    }
}

TEST_F(PlatformHandOver, NobodyListeningIsReportedAtOnce) {
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(HandOverToRunningInstance({QStringLiteral("/tmp/a.twf")}, 5000, name_));
    LeaveStaleSocket();
    EXPECT_FALSE(HandOverToRunningInstance({QStringLiteral("/tmp/a.twf")}, 5000, name_));
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST_F(PlatformHandOver, StaleSocketOfACrashedInstanceDoesNotBlockTheNextStart) {
    LeaveStaleSocket();
    TInstanceServer server;
    ASSERT_TRUE(server.Listen(name_)) << server.ErrorText().toStdString();
    QSignalSpy received(&server, &TInstanceServer::LinesReceived);
    EXPECT_TRUE(HandOver({QStringLiteral("/tmp/a.twf")}));
    ASSERT_EQ(received.count(), 1);
}

TEST_F(PlatformHandOver, SecondServerDoesNotTakeTheNameOfALiveOne) {
    TInstanceServer first;
    ASSERT_TRUE(first.Listen(name_));
    TInstanceServer second;
    EXPECT_FALSE(second.Listen(name_));
    EXPECT_FALSE(second.ErrorText().isEmpty());

    QSignalSpy to_first(&first, &TInstanceServer::LinesReceived);
    EXPECT_TRUE(HandOver({QStringLiteral("/tmp/a.twf")}));
    EXPECT_EQ(to_first.count(), 1);
}

TEST_F(PlatformHandOver, InstanceThatNeverAnswersTimesOut) {
    QLocalServer silent;  // accepts connections, reads nothing, acknowledges nothing
    ASSERT_TRUE(silent.listen(name_));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(HandOverToRunningInstance({QStringLiteral("/tmp/a.twf")}, 300, name_));
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LT(clock.elapsed(), 3000);
}

TEST_F(PlatformHandOver, OversizedFrameIsDroppedWithoutSignal) {
    TInstanceServer server;
    ASSERT_TRUE(server.Listen(name_));
    QSignalSpy received(&server, &TInstanceServer::LinesReceived);
    const QString name = name_;
    const bool closed_by_server = RunBesideEventLoop<bool>([name] {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(2000)) return false;
        socket.write(QByteArray("\xFF\xFF\xFF\xFF", 4));  // claims 4 GiB of lines
        socket.waitForBytesWritten(2000);
        return socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(5000);
    });
    EXPECT_TRUE(closed_by_server);
    EXPECT_EQ(received.count(), 0);
}

TEST(PlatformHandOverLines, ArgumentsAfterTheProgramWithRelativeFilesMadeAbsolute) {
    test::TTempDir dir;
    test::WriteFile(dir.File("liste.twf"), "PK");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.Path())));
    const QStringList lines = HandOverLines({QStringLiteral("tagwacht"), QStringLiteral("liste.twf"),
                                             QStringLiteral("/abs/olut.twf"), QStringLiteral("fehlt.twf")});
    QDir::setCurrent(previous);

    const QString absolute = QFileInfo(QString::fromStdString(dir.File("liste.twf"))).absoluteFilePath();
    EXPECT_EQ(lines, (QStringList{absolute, QStringLiteral("/abs/olut.twf"), QStringLiteral("fehlt.twf")}));
}

}  // namespace
}  // namespace tw
