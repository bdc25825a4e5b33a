#include "platform/tagwacht_application.h"

#include <cxxabi.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <typeinfo>

#include "core/languages/languages.h"
#include "core/text/encoding.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"
#include "platform/qt_messages.h"

namespace tw {

namespace {

constexpr size_t kMaxSystemTextCharacters = 256;

// Before the language texts are loaded the box still has to say something.
constexpr const char* kFallbackPattern =
    "An unexpected error occurred.\r\n\r\nKind of error: %s\r\nMessage: %s\r\nRaised by: %s\r\n"
    "System message: %s\r\n\r\nDo you want to close Tagwacht?";
constexpr const char* kFallbackUnknown = "unknown";

std::function<void()>& ExitFunction() {
    static std::function<void()> exit_function;
    return exit_function;
}

bool error_box_open = false;

std::string TextOr(int number, const char* fallback) {
    std::string text = GetText(number);
    return text.empty() ? fallback : text;
}

std::string SystemErrorText(int code) {
    const char* text = std::strerror(code);
    return std::string(Utf8Left(text ? text : "", kMaxSystemTextCharacters));
}

bool Report(const TUnexpectedErrorHandler& handler, const std::string& error_class,
            const std::string& message, const char* receiver_type, int saved_errno) {
    const std::string receiver_class = receiver_type ? DemangledTypeName(receiver_type) : std::string();
    try {
        errno = saved_errno;
        if (handler) handler(error_class, message, receiver_class);
    } catch (...) {
        // The handler is the last stop; nothing may leave the event loop from here.
        std::fprintf(stderr, "Tagwacht: the error handler failed on %s: %s\n", error_class.c_str(),
                     message.c_str());
    }
    return false;
}

}  // namespace

std::string DemangledTypeName(const char* mangled_name) {
    if (!mangled_name) return std::string();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(mangled_name, nullptr, nullptr, &status), std::free);
    return status == 0 && demangled ? std::string(demangled.get()) : std::string(mangled_name);
}

void SetUnexpectedErrorExit(std::function<void()> exit_function) {
    ExitFunction() = std::move(exit_function);
}

bool ShowUnexpectedError(const std::string& error_class, const std::string& message,
                         const std::string& receiver_class) {
    const int error_code = errno;
    if (error_box_open) {
        // A handler that fails on every repaint would otherwise stack boxes without end.
        std::fprintf(stderr, "Tagwacht: unexpected error %s: %s\n", error_class.c_str(), message.c_str());
        return true;
    }
    const std::string text =
        Format(TextOr(140, kFallbackPattern),
               {error_class, message, receiver_class.empty() ? TextOr(64, kFallbackUnknown) : receiver_class,
                SystemErrorText(error_code)});

    struct TBoxOpen {
        TBoxOpen() { error_box_open = true; }
        ~TBoxOpen() { error_box_open = false; }
    };
    TMsgAnswer answer;
    {
        TBoxOpen open;
        // The window the error came from may be in no state to own a box.
        if (dynamic_cast<TQtMessages*>(&Messages())) {
            answer = PlainMessageBox(text, TMsgButtons::YesNo, TMsgIcon::Error);
        } else {
            answer = Messages().MsgBox(text, TMsgButtons::YesNo, TMsgIcon::Error);
        }
    }
    if (answer != TMsgAnswer::Yes) return true;
    if (ExitFunction()) {
        ExitFunction()();
    } else {
        std::_Exit(1);
    }
    return false;
}

bool DeliverCatchingErrors(QObject* receiver, QEvent* event,
                           const std::function<bool(QObject*, QEvent*)>& deliver,
                           const TUnexpectedErrorHandler& handler) {
    // Taken before delivery: the handler may have destroyed the receiver when the error comes.
    const char* receiver_type = receiver ? typeid(*receiver).name() : nullptr;
    try {
        return deliver(receiver, event);
    } catch (abi::__forced_unwind&) {
        throw;
    } catch (const std::exception& error) {
        const int saved_errno = errno;
        return Report(handler, DemangledTypeName(typeid(error).name()), error.what(), receiver_type,
                      saved_errno);
    } catch (...) {
        const int saved_errno = errno;
        const std::type_info* type = abi::__cxa_current_exception_type();
        return Report(handler, type ? DemangledTypeName(type->name()) : std::string(), std::string(),
                      receiver_type, saved_errno);
    }
}

TTagwachtApplication::TTagwachtApplication(int& argc, char** argv)
    : QApplication(argc, argv), handler_(ShowUnexpectedError) {}

void TTagwachtApplication::SetUnexpectedErrorHandler(TUnexpectedErrorHandler handler) {
    handler_ = handler ? std::move(handler) : TUnexpectedErrorHandler(ShowUnexpectedError);
}

bool TTagwachtApplication::notify(QObject* receiver, QEvent* event) {
    return DeliverCatchingErrors(
        receiver, event, [this](QObject* to, QEvent* what) { return QApplication::notify(to, what); },
        handler_);
}

}  // namespace tw
