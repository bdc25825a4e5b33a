#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include "core/test_support.h"
#include "platform/restart.h"

namespace tw {
namespace {

// Each test starts with the variable unset and leaves it so, and ends what it started.
class PlatformRestart : public ::testing::Test {
  protected:
    void SetUp() override { qunsetenv(kWaitForPidVariable); }
    void TearDown() override {
        qunsetenv(kWaitForPidVariable);
        for (qint64 pid : started_) {
            if (ProcessIsAlive(static_cast<pid_t>(pid))) kill(static_cast<pid_t>(pid), SIGKILL);
        }
    }

    qint64 StartDetachedSleep(const QString& seconds) {
        qint64 pid = 0;
        EXPECT_TRUE(QProcess::startDetached(QStringLiteral("/bin/sleep"), {seconds}, QString(), &pid));
        started_.push_back(pid);
        return pid;
    }

    std::vector<qint64> started_;
};

TEST_F(PlatformRestart, WaitsUntilThePreviousInstanceHasEnded) {
    const qint64 pid = StartDetachedSleep(QStringLiteral("0.8"));
    ASSERT_TRUE(ProcessIsAlive(static_cast<pid_t>(pid)));
    qputenv(kWaitForPidVariable, QByteArray::number(pid));

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(WaitForPreviousInstance(10000));
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_FALSE(ProcessIsAlive(static_cast<pid_t>(pid)));
    EXPECT_FALSE(qEnvironmentVariableIsSet(kWaitForPidVariable));
}

TEST_F(PlatformRestart, GivesUpAfterTheTimeOut) {
    const qint64 pid = StartDetachedSleep(QStringLiteral("30"));
    qputenv(kWaitForPidVariable, QByteArray::number(pid));

    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(WaitForPreviousInstance(300));
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(ProcessIsAlive(static_cast<pid_t>(pid)));
    EXPECT_FALSE(qEnvironmentVariableIsSet(kWaitForPidVariable));
}

TEST_F(PlatformRestart, ProcessThatEndedButIsNotYetReapedCountsAsGone) {
    // A child of this process stays a zombie until its parent collects it: the pid still exists.
    QProcess child;
    child.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(child.waitForStarted(5000));
    const pid_t pid = static_cast<pid_t>(child.processId());
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    QThread::msleep(100);
    ASSERT_EQ(kill(pid, 0), 0) << "the ended child is still there, uncollected";
    qputenv(kWaitForPidVariable, QByteArray::number(pid));

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(WaitForPreviousInstance(10000));
    EXPECT_LT(clock.elapsed(), 5000);
    child.waitForFinished(5000);
}

TEST_F(PlatformRestart, NothingToWaitForReturnsAtOnce) {
    const QByteArray values[] = {"",
                                 "abc",
                                 "12x",
                                 "-5",
                                 "0",
                                 "99999999999999999999",
                                 QByteArray::number(QCoreApplication::applicationPid())};
    for (const QByteArray& value : values) {
        if (!value.isEmpty()) qputenv(kWaitForPidVariable, value);
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(WaitForPreviousInstance(5000)) << value.constData();
        EXPECT_LT(clock.elapsed(), 1000) << value.constData();
        EXPECT_FALSE(qEnvironmentVariableIsSet(kWaitForPidVariable)) << value.constData();
    }
}

TEST_F(PlatformRestart, NewInstanceIsToldWhichProcessToWaitFor) {
    test::TTempDir dir;
    const QString out = QString::fromStdString(dir.File("told.txt"));
    qint64 pid = 0;
    ASSERT_TRUE(StartDetachedAfterThisEnds(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral(
             "printf '%s %s' \"$TAGWACHT_WAIT_FOR_PID\" \"$1\" > \"$2.part\" && mv \"$2.part\" \"$2\""),
         QStringLiteral("sh"), QStringLiteral("argument"), out},
        &pid));
    EXPECT_GT(pid, 0);
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo::exists(out) && clock.elapsed() < 10000) QThread::msleep(20);
    EXPECT_EQ(test::ReadFile(out.toStdString()),
              std::to_string(QCoreApplication::applicationPid()) + " argument");
    // This process's own environment stays as it was.
    EXPECT_FALSE(qEnvironmentVariableIsSet(kWaitForPidVariable));
}

TEST_F(PlatformRestart, MissingProgramIsReported) {
    test::TTempDir dir;
    EXPECT_FALSE(StartDetachedAfterThisEnds(QString::fromStdString(dir.File("missing")), {}));
}

}  // namespace
}  // namespace tw
