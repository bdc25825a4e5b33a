#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace tw {

/// Told about an exception that escaped an event handler: the exception's class name, its
/// message (empty when it carries none) and the class name of the object the event was for
/// (empty when unknown). errno is as it was when the exception arrived. Returns true when the
/// program carries on, false when it is ending.
using TUnexpectedErrorHandler = std::function<bool(const std::string& error_class, const std::string& message,
                                                   const std::string& receiver_class)>;

/// The standard handler: Format(text 140, [error class, message, receiver class or text 64,
/// the system's text for errno cut to 256 characters]) in a Yes/No box with error icon and no
/// owner window. "Yes" ends the program at once through the exit function; "No" returns true.
/// An error that arrives while its box is open is written to standard error instead of opening
/// a second box.
bool ShowUnexpectedError(const std::string& error_class, const std::string& message,
                         const std::string& receiver_class);

/// Replaces what "Yes" in the unexpected-error box calls (default: end the process with
/// status 1 at once); nullptr restores the default.
void SetUnexpectedErrorExit(std::function<void()> exit_function);

/// The demangled name of a type as typeid reports it ("std::runtime_error").
std::string DemangledTypeName(const char* mangled_name);

/// Delivers an event with deliver(receiver, event); an exception that escapes it goes to the
/// handler (with errno as it was when the exception arrived) and false is returned, so the
/// event loop goes on.
bool DeliverCatchingErrors(QObject* receiver, QEvent* event,
                           const std::function<bool(QObject*, QEvent*)>& deliver,
                           const TUnexpectedErrorHandler& handler);

/// The program's application object: every exception that escapes an event handler reaches
/// the unexpected-error handler instead of ending the program.
class TTagwachtApplication : public QApplication {
    Q_OBJECT
  public:
    TTagwachtApplication(int& argc, char** argv);

    /// Installs the handler; nullptr restores ShowUnexpectedError.
    void SetUnexpectedErrorHandler(TUnexpectedErrorHandler handler);

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    TUnexpectedErrorHandler handler_;
};

}  // namespace tw
