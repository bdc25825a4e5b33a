#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusError>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <vector>

#include "core/net/indy_engine.h"
#include "core/test_support.h"
#include "platform/desktop_notifier.h"

namespace tw {
namespace {

constexpr const char* kBusVariable = "DBUS_SESSION_BUS_ADDRESS";

// What the fake notification server received.
struct TReceivedNotification {
    QString AppName;
    QString Summary;
    QString Body;
    int ExpireTimeout = 0;
};

// Stands in for the desktop's notification server. It lives in a thread of its own, because
// the notifier waits for the answer without running the event loop of the test's thread.
class TFakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

  public:
    explicit TFakeNotifications(QStringList capabilities) : capabilities_(std::move(capabilities)) {}

    std::vector<TReceivedNotification> Received() const {
        QMutexLocker lock(&mutex_);
        return received_;
    }

  public slots:
    QStringList GetCapabilities() { return capabilities_; }
    uint Notify(const QString& app_name, uint replaces_id, const QString& app_icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int expire_timeout) {
        (void)replaces_id;
        (void)app_icon;
        (void)actions;
        (void)hints;
        QMutexLocker lock(&mutex_);
        received_.push_back({app_name, summary, body, expire_timeout});
        return static_cast<uint>(received_.size());
    }

  private:
    const QStringList capabilities_;
    mutable QMutex mutex_;
    std::vector<TReceivedNotification> received_;
};

// A private session bus: dbus-daemon with a configuration of its own, listening in a temporary
// folder and offering no services to start on demand (so that a missing notification server
// stays missing). The test's process uses it through DBUS_SESSION_BUS_ADDRESS; the variable and
// the daemon are restored and ended with the fixture.
class PlatformDesktopNotifier : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_address_ = qgetenv(kBusVariable);
        had_address_ = qEnvironmentVariableIsSet(kBusVariable);
        const std::string config = dir_.File("bus.conf");
        test::WriteFile(config,
                        "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                        " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                        "<busconfig>\n"
                        "  <type>session</type>\n"
                        "  <listen>unix:path=" +
                            dir_.File("bus") +
                            "</listen>\n"
                            "  <auth>EXTERNAL</auth>\n"
                            "  <policy context=\"default\">\n"
                            "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                            "    <allow eavesdrop=\"true\"/>\n"
                            "    <allow own=\"*\"/>\n"
                            "  </policy>\n"
                            "</busconfig>\n");
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + QString::fromStdString(config),
                       QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        ASSERT_TRUE(daemon_.waitForStarted(5000))
            << "needs the program dbus-daemon (Debian package dbus-daemon)";
        QElapsedTimer clock;
        clock.start();
        while (!daemon_.canReadLine() && clock.elapsed() < 10000) daemon_.waitForReadyRead(100);
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        ASSERT_FALSE(address_.isEmpty()) << daemon_.readAllStandardError().toStdString();
        qputenv(kBusVariable, address_.toUtf8());
    }

    void TearDown() override {
        StopService();
        if (had_address_)
            qputenv(kBusVariable, saved_address_);
        else
            qunsetenv(kBusVariable);
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.kill();
            daemon_.waitForFinished(5000);
        }
    }

    // Puts the fake server on the bus under the well-known name.
    TFakeNotifications* StartService(QStringList capabilities = {}) {
        service_ = std::make_unique<TFakeNotifications>(std::move(capabilities));
        service_thread_.start();
        service_->moveToThread(&service_thread_);
        QDBusConnection bus = QDBusConnection::connectToBus(address_, kServiceConnection);
        EXPECT_TRUE(bus.isConnected()) << bus.lastError().message().toStdString();
        EXPECT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), service_.get(),
                                       QDBusConnection::ExportAllSlots));
        EXPECT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        return service_.get();
    }

    void StopService() {
        if (!service_) return;
        QDBusConnection::disconnectFromBus(kServiceConnection);
        service_thread_.quit();
        service_thread_.wait();
        service_.reset();
    }

    static inline const QString kServiceConnection = QStringLiteral("fake-notification-server");
    test::TTempDir dir_;
    QProcess daemon_;
    QString address_;
    QByteArray saved_address_;
    bool had_address_ = false;
    QThread service_thread_;
    std::unique_ptr<TFakeNotifications> service_;
};

TEST_F(PlatformDesktopNotifier, NotificationArrivesWithTitleAndTextEscapedOnlyForMarkupServers) {
    struct Case {
        QStringList capabilities;
        QString expected_body;
    };
    const Case cases[] = {
        {{QStringLiteral("body")}, QString::fromUtf8("Anna & Bernd <Müller> feiern > 10 Jahre")},
        {{QStringLiteral("body"), QStringLiteral("body-markup")},
         QString::fromUtf8("Anna &amp; Bernd &lt;Müller&gt; feiern &gt; 10 Jahre")},
    };
    for (const Case& c : cases) {
        TFakeNotifications* service = StartService(c.capabilities);
        auto notifier = CreateDesktopNotifier();
        EXPECT_TRUE(notifier->Notify("Tagwacht Erinnerung", "Anna & Bernd <Müller> feiern > 10 Jahre"));

        const auto received = service->Received();
        ASSERT_EQ(received.size(), 1u) << c.capabilities.join(' ').toStdString();
        EXPECT_EQ(received[0].AppName, QStringLiteral("Tagwacht"));
        EXPECT_EQ(received[0].Summary, QStringLiteral("Tagwacht Erinnerung"));
        EXPECT_EQ(received[0].Body, c.expected_body);
        EXPECT_GT(received[0].ExpireTimeout, 0);
        StopService();
    }
}

TEST_F(PlatformDesktopNotifier, WithoutServerFailsPromptlyAndSucceedsOnceTheServerIsThere) {
    auto notifier = CreateDesktopNotifier();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(notifier->Notify("Tagwacht", "Anna"));
    EXPECT_LT(clock.elapsed(), 1500);

    TFakeNotifications* service = StartService();
    EXPECT_TRUE(notifier->Notify("Tagwacht", "Anna"));
    EXPECT_EQ(service->Received().size(), 1u);
}

TEST_F(PlatformDesktopNotifier, WithoutBusFailsPromptly) {
    struct Case {
        const char* why;
        std::string address;
    };
    const Case cases[] = {
        {"socket that nobody listens on", "unix:path=" + dir_.File("no-such-bus")},
        {"address that is no address", "no address at all"},
    };
    for (const Case& c : cases) {
        qputenv(kBusVariable, QByteArray::fromStdString(c.address));
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(CreateDesktopNotifier()->Notify("Tagwacht", "Anna")) << c.why;
        EXPECT_LT(clock.elapsed(), 1500) << c.why;
    }
}

TEST_F(PlatformDesktopNotifier, BusThatWentAwayFailsPromptly) {
    TFakeNotifications* service = StartService();
    auto notifier = CreateDesktopNotifier();
    ASSERT_TRUE(notifier->Notify("Tagwacht", "Anna"));
    EXPECT_EQ(service->Received().size(), 1u);

    daemon_.kill();
    daemon_.waitForFinished(5000);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(notifier->Notify("Tagwacht", "Bernd"));
    EXPECT_LT(clock.elapsed(), 3500);
    EXPECT_EQ(service->Received().size(), 1u);
}

TEST_F(PlatformDesktopNotifier, NetworkMessageToThisMachineBecomesANotification) {
    TFakeNotifications* service = StartService();
    auto notifier = CreateDesktopNotifier();
    TIndyEngine engine;
    engine.SetDesktopNotifier(notifier.get());

    EXPECT_TRUE(engine.SendNetMessage("localhost", "anna", "Tagwacht", "Anna hat heute Geburtstag."));
    // Another machine cannot be reached this way: nothing is shown here.
    EXPECT_FALSE(engine.SendNetMessage("buero-pc", "anna", "Tagwacht", "Anna hat heute Geburtstag."));

    const auto received = service->Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].Summary, QStringLiteral("Tagwacht"));
    EXPECT_EQ(received[0].Body, QStringLiteral("Anna hat heute Geburtstag."));
}

}  // namespace
}  // namespace tw

#include "platform_desktop_notifier_test.moc"
