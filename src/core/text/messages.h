#pragma once

#include <string>

namespace tw {

enum class TMsgButtons { Ok, YesNo };
enum class TMsgIcon { Error, Information, Question };
enum class TMsgAnswer { Ok, Yes, No };

/// What the core asks of whoever shows it to the user: the desktop program answers with
/// windows, the command-line front end with standard error, tests with a recorder.
class TMessages {
public:
    virtual ~TMessages() = default;

    /// A message box titled "Tagwacht"; returns the button pressed.
    virtual TMsgAnswer MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon) = 0;

    /// Puts the text into the last panel of the main window's status bar.
    virtual void SetStatusText(const std::string& text) { (void)text; }

    /// Lets pending window messages run (long work calls this between its steps).
    virtual void ProcessMessages() {}

    /// Returns after the given milliseconds, handling window messages all the while.
    virtual void WaitProcessing(int milliseconds) { (void)milliseconds; }

    /// Asks the desktop to open a file or web address with its default program.
    virtual void OpenDocument(const std::string& path_or_address) { (void)path_or_address; }

    /// Ends the program at once after a fatal error: the layout options are saved and the
    /// process ends without the close-time routine. The core never ends the process itself;
    /// when this returns (in tests) the caller abandons the operation.
    virtual void FatalStop() = 0;
};

/// The messages interface the core reports through (not owned).
TMessages& Messages();

/// Installs the messages interface; nullptr restores the default, which writes to standard
/// error and answers "No" to questions.
void SetMessages(TMessages* messages);

/// One error box: text 29 + ":" + CR LF + text, OK button, error icon.
void ShowError(const std::string& text);

/// The fatal error box (texts 30 and 31 around the text), then FatalStop.
void ShowFatalError(const std::string& text);

/// The CR LF pair that message texts use between lines.
inline constexpr const char* kCrLf = "\r\n";

}  // namespace tw
