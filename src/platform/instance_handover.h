#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

namespace tw {

/// The per-user name of the running instance's socket: "tagwacht-<uid>" in $XDG_RUNTIME_DIR
/// (a folder only the user can enter) when that is set, else in the system's temporary folder.
QString InstanceServerName();

/// The lines a second start hands over: its arguments after argument 0, each relative path made
/// absolute against this process's working folder (the running instance has another one).
QStringList HandOverLines(const QStringList& arguments);

/// The running instance's end of the hand-over: another start of the program connects, sends
/// its lines and gets an acknowledgement; then LinesReceived is emitted with those lines.
class TInstanceServer : public QObject {
    Q_OBJECT
  public:
    explicit TInstanceServer(QObject* parent = nullptr);
    ~TInstanceServer() override;

    /// Starts listening under the name. A socket file left behind by an instance that crashed
    /// (nobody answers on it) is removed first. False when another instance already listens
    /// there or the socket cannot be made; ErrorText says why.
    bool Listen(const QString& name = InstanceServerName());
    bool IsListening() const { return server_.isListening(); }
    /// The full path of the socket while listening.
    QString FullServerName() const { return server_.fullServerName(); }
    const QString& ErrorText() const { return error_text_; }

  signals:
    /// The lines another start handed over, in its order (possibly none).
    void LinesReceived(const QStringList& lines);

  private:
    void AcceptConnections();

    QLocalServer server_;
    QString error_text_;
};

/// Hands the lines to the instance listening under the name and waits at most timeout_ms for
/// it to take them. True when it acknowledged them; false when nobody listens there, the
/// connection broke, or it did not answer in time.
bool HandOverToRunningInstance(const QStringList& lines, int timeout_ms,
                               const QString& name = InstanceServerName());

}  // namespace tw
