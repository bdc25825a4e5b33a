#pragma once

#include <cstdint>
#include <string>

#include "core/text/date_time.h"

namespace tw {

/// Hands a short text to the desktop's notification service. Abstract so that the core needs no
/// D-Bus; the desktop program supplies the implementation.
class TDesktopNotifier {
  public:
    virtual ~TDesktopNotifier() = default;
    /// Shows one notification; true when the desktop accepted it.
    virtual bool Notify(const std::string& title, const std::string& text) = 0;
};

/// Sets the computer's clock. Abstract so that tests capture the time instead of setting it.
class TClockSetter {
  public:
    virtual ~TClockSetter() = default;
    /// unix_seconds: the new time as UTC seconds since 1970-01-01 (what the system clock takes);
    /// local_time: the same moment in the local time zone, as the program shows times.
    /// Returns the error text, empty on success.
    virtual std::string Set(std::int64_t unix_seconds, TDateTime local_time) = 0;
};

/// Sets the system clock with clock_settime; needs CAP_SYS_TIME. The error text comes from errno.
class TSystemClockSetter : public TClockSetter {
  public:
    std::string Set(std::int64_t unix_seconds, TDateTime local_time) override;
};

/// Time limits of the network operations, in milliseconds.
struct TNetTimeouts {
    int ConnectMs = 15000;   ///< establishing any connection
    int MailMs = 60000;      ///< a whole SMTP dialogue
    int DownloadMs = 60000;  ///< a whole HTTP download
    int TimeReadMs = 2500;   ///< waiting for the 4 bytes of the time server
};

/// The error text of an operation that failed without a better explanation.
inline constexpr const char* kUnknownError = "Unknown Error";
/// The error text of a download whose file could not be written.
inline constexpr const char* kDownloadWriteError = "Error downloading the file";

/// The program's one gateway to the network: mail over SMTP, desktop notifications in place of
/// network messages, the Time Protocol (RFC 868) and HTTP downloads. Every operation is
/// synchronous, shows nothing and never throws; failures come back as an error text (empty on
/// success, "Unknown Error" when nothing better is known). Every operation opens and closes its
/// own connection. While an operation waits, Messages().ProcessMessages() runs now and then so
/// that the windows stay responsive.
class TIndyEngine {
  public:
    TIndyEngine();
    ~TIndyEngine();
    TIndyEngine(const TIndyEngine&) = delete;
    TIndyEngine& operator=(const TIndyEngine&) = delete;

    /// Sends one plain-text mail. Port 465 uses implicit TLS; on other ports STARTTLS is used
    /// when the server offers it. With use_authentication on and a user name given, the engine
    /// logs in with AUTH LOGIN if the server offers it; otherwise it sends no AUTH at all. `to`
    /// holds one or more addresses separated by commas. CR and LF in the sender, the recipients
    /// and the subject become blanks, so they can never start a header line of their own.
    std::string SendMail(const std::string& host, int port, bool use_authentication,
                         const std::string& user_name, const std::string& password, const std::string& to,
                         const std::string& from, const std::string& subject, const std::string& body);

    /// Shows the message as a desktop notification titled by `from` when `server` names this
    /// machine (empty, "localhost" or its host name, in any case); `recipient` is the logged-on
    /// user then. Returns false for any other server, without a notifier, or when the desktop
    /// refuses.
    bool SendNetMessage(const std::string& server, const std::string& recipient, const std::string& from,
                        const std::string& message);

    /// Sets the clock from a Time Protocol server. `server` is a host name, optionally followed
    /// by ":" and a port (37 when the part after ":" is not a number or is -1). Fails without
    /// touching the clock when the server cannot be reached, sends fewer than 4 bytes within the
    /// read time-out, sends 0, or when no clock setter is installed.
    std::string SyncTime(const std::string& server);

    /// Fetches the address with HTTP GET (no redirects followed: only a 2xx answer counts) and
    /// replaces the file atomically with the body, every line ended by CR LF. Nothing is
    /// written on failure; "Error downloading the file" when the file cannot be written.
    std::string Download(const std::string& url, const std::string& file_name);

    /// The file of CA certificates that TLS connections trust; empty for the system's store.
    void SetCaFile(std::string path) { ca_file_ = std::move(path); }
    /// The time limits of the following operations (tests shorten them).
    void SetTimeouts(const TNetTimeouts& timeouts) { timeouts_ = timeouts; }
    const TNetTimeouts& Timeouts() const { return timeouts_; }
    /// The notifier SendNetMessage uses (not owned); nullptr for none.
    void SetDesktopNotifier(TDesktopNotifier* notifier) { notifier_ = notifier; }
    /// The setter SyncTime uses (not owned); nullptr for none, which makes SyncTime fail.
    void SetClockSetter(TClockSetter* setter) { clock_setter_ = setter; }

  private:
    std::string SendMailOnce(const std::string& host, int port, bool log_in, const std::string& user_name,
                             const std::string& password, const std::string& to, const std::string& from,
                             const std::string& subject, const std::string& body, bool* login_unavailable);
    std::string SyncTimeChecked(const std::string& server);
    std::string DownloadChecked(const std::string& url, const std::string& file_name);

    std::string ca_file_;
    TNetTimeouts timeouts_;
    TDesktopNotifier* notifier_ = nullptr;
    TClockSetter* clock_setter_ = nullptr;
};

}  // namespace tw
