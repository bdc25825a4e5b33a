#include "platform/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>
#include <optional>

#include "core/text/text_helpers.h"

namespace tw {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
// A desktop that does not answer within this time has not shown the notification.
constexpr int kCallTimeoutMs = 3000;
// How long the desktop shows the notification.
constexpr int kExpireMs = 8000;

class TDBusDesktopNotifier : public TDesktopNotifier {
  public:
    bool Notify(const std::string& title, const std::string& text) override {
        QDBusConnection bus = SessionBus();
        if (!bus.isConnected()) return false;

        const std::optional<bool> markup = ServerReadsMarkup(bus);
        if (!markup) return false;
        // The body may be read as markup; the reminder text is plain and may hold "&" or "<".
        const QString body = QString::fromStdString(*markup ? HtmlEscape(text) : text);
        QDBusMessage call =
            QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                           QString::fromLatin1(kInterface), QStringLiteral("Notify"));
        call << QStringLiteral("Tagwacht") << 0u << QStringLiteral("tagwacht")
             << QString::fromStdString(title) << body << QStringList() << QVariantMap() << kExpireMs;
        // Blocking without an event loop: nothing else of the program runs during the short wait.
        const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
               reply.arguments().first().metaType() == QMetaType::fromType<uint>();
    }

  private:
    // The session bus named by DBUS_SESSION_BUS_ADDRESS now, read at every call rather than once
    // per process (as QDBusConnection::sessionBus() does), so that a bus started later counts.
    static QDBusConnection SessionBus() {
        const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
        if (address.isEmpty()) return QDBusConnection::sessionBus();
        const QString name = QStringLiteral("tagwacht-notifications:") + address;
        QDBusConnection bus(name);
        if (bus.isConnected()) return bus;
        // A bus that went away or could not be reached: forget it and try once more.
        QDBusConnection::disconnectFromBus(name);
        return QDBusConnection::connectToBus(address, name);
    }

    // Whether the notification server renders markup in the body; nullopt when there is no
    // server or it does not answer, so that Notify need not wait a second time.
    static std::optional<bool> ServerReadsMarkup(QDBusConnection& bus) {
        const QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
            QStringLiteral("GetCapabilities"));
        const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            return !reply.arguments().isEmpty() &&
                   reply.arguments().first().toStringList().contains(QStringLiteral("body-markup"));
        }
        // A server without this (required) method is still asked to show the notification.
        if (reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod")) return false;
        return std::nullopt;
    }
};

}  // namespace

std::unique_ptr<TDesktopNotifier> CreateDesktopNotifier() { return std::make_unique<TDBusDesktopNotifier>(); }

}  // namespace tw
