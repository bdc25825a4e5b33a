#include "platform/instance_handover.h"

#include <unistd.h>

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QtEndian>
#include <memory>

namespace tw {

namespace {

// A frame is the payload's length (4 bytes, big-endian) and the lines as a QDataStream list.
// Command lines are short; the bound keeps a broken peer from making us buffer without end.
constexpr quint32 kMaxPayload = 1024 * 1024;
constexpr char kAcknowledged = '\x01';
constexpr int kProbeTimeoutMs = 1000;

QByteArray EncodeFrame(const QStringList& lines) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << lines;
    QByteArray frame(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), frame.data());
    return frame + payload;
}

enum class TFrameState { Incomplete, Complete, Broken };

TFrameState DecodeFrame(const QByteArray& buffer, QStringList* lines) {
    if (buffer.size() < 4) return TFrameState::Incomplete;
    const quint32 size = qFromBigEndian<quint32>(buffer.constData());
    if (size > kMaxPayload) return TFrameState::Broken;
    if (static_cast<quint64>(buffer.size()) < 4 + static_cast<quint64>(size)) return TFrameState::Incomplete;
    if (static_cast<quint64>(buffer.size()) > 4 + static_cast<quint64>(size)) return TFrameState::Broken;
    QDataStream in(buffer.mid(4));
    in.setVersion(QDataStream::Qt_6_0);
    in >> *lines;
    return in.status() == QDataStream::Ok && in.atEnd() ? TFrameState::Complete : TFrameState::Broken;
}

int Remaining(const QElapsedTimer& clock, int timeout_ms) {
    return timeout_ms - static_cast<int>(clock.elapsed());
}

}  // namespace

QString InstanceServerName() {
    const QString name = QStringLiteral("tagwacht-%1").arg(getuid());
    const QString runtime_dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime_dir.isEmpty() && QFileInfo(runtime_dir).isDir())
        return runtime_dir + QLatin1Char('/') + name;
    return name;
}

QStringList HandOverLines(const QStringList& arguments) {
    QStringList lines;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QFileInfo file(arguments[i]);
        lines << (!arguments[i].isEmpty() && file.isRelative() && file.exists() ? file.absoluteFilePath()
                                                                                : arguments[i]);
    }
    return lines;
}

TInstanceServer::TInstanceServer(QObject* parent) : QObject(parent) {
    connect(&server_, &QLocalServer::newConnection, this, &TInstanceServer::AcceptConnections);
}

TInstanceServer::~TInstanceServer() { server_.close(); }

bool TInstanceServer::Listen(const QString& name) {
    error_text_.clear();
    if (server_.isListening()) server_.close();
    // Someone answering on the name is a running instance; a socket file nobody answers on was
    // left by one that crashed and must not block this start.
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(kProbeTimeoutMs)) {
            probe.abort();
            error_text_ = QStringLiteral("Another instance is listening on \"%1\".").arg(name);
            return false;
        }
    }
    QLocalServer::removeServer(name);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(name)) return true;
    error_text_ = server_.errorString();
    return false;
}

void TInstanceServer::AcceptConnections() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            QStringList lines;
            switch (DecodeFrame(*buffer, &lines)) {
                case TFrameState::Incomplete:
                    return;
                case TFrameState::Broken:
                    socket->disconnect(this);
                    socket->abort();
                    return;
                case TFrameState::Complete:
                    break;
            }
            socket->disconnect(this);
            // The sender is told first: what the lines start here (an import with its boxes) may
            // take longer than it waits.
            socket->write(&kAcknowledged, 1);
            socket->flush();
            socket->disconnectFromServer();
            emit LinesReceived(lines);
        });
    }
}

bool HandOverToRunningInstance(const QStringList& lines, int timeout_ms, const QString& name) {
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeout_ms)) return false;
    socket.write(EncodeFrame(lines));
    while (socket.bytesToWrite() > 0) {
        const int remaining = Remaining(clock, timeout_ms);
        if (remaining <= 0 || !socket.waitForBytesWritten(remaining)) return false;
    }
    while (socket.bytesAvailable() < 1) {
        const int remaining = Remaining(clock, timeout_ms);
        if (remaining <= 0 || !socket.waitForReadyRead(remaining)) return false;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == kAcknowledged;
}

}  // namespace tw
