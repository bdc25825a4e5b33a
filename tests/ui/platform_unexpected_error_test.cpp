#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "core/test_support.h"
#include "platform/tagwacht_application.h"

namespace tw {
namespace {

const QEvent::Type kThrowStd = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type kThrowInt = static_cast<QEvent::Type>(QEvent::User + 2);

// An object whose event handler fails the way a faulty handler of the program would.
class TThrowingObject : public QObject {
  public:
    int handled = 0;

  protected:
    bool event(QEvent* event) override {
        if (event->type() == kThrowStd) {
            errno = ENOENT;
            throw std::runtime_error("Datei fehlt");
        }
        if (event->type() == kThrowInt) throw 42;
        ++handled;
        return QObject::event(event);
    }
};

// Delivery as the application object does it, through the real QApplication::notify.
bool Deliver(QObject* receiver, QEvent::Type type, const TUnexpectedErrorHandler& handler) {
    QEvent event(type);
    return DeliverCatchingErrors(
        receiver, &event,
        [](QObject* to, QEvent* what) { return QCoreApplication::instance()->notify(to, what); }, handler);
}

struct TSeen {
    int calls = 0;
    std::string error_class, message, receiver_class, system_text;
};

TEST(PlatformUnexpectedError, EscapedExceptionReachesTheHandlerAndTheLoopGoesOn) {
    TThrowingObject receiver;
    TSeen seen;
    const TUnexpectedErrorHandler record = [&seen](const std::string& error_class, const std::string& message,
                                                   const std::string& receiver_class) {
        seen.system_text = std::strerror(errno);
        ++seen.calls;
        seen.error_class = error_class;
        seen.message = message;
        seen.receiver_class = receiver_class;
        return true;
    };

    EXPECT_FALSE(Deliver(&receiver, kThrowStd, record));
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.error_class, "std::runtime_error");
    EXPECT_EQ(seen.message, "Datei fehlt");
    EXPECT_EQ(seen.receiver_class, "tw::(anonymous namespace)::TThrowingObject");
    EXPECT_EQ(seen.system_text, std::strerror(ENOENT));  // errno survives the way to the handler

    EXPECT_FALSE(Deliver(&receiver, kThrowInt, record));
    EXPECT_EQ(seen.calls, 2);
    EXPECT_EQ(seen.error_class, "int");
    EXPECT_EQ(seen.message, "");

    // The same receiver and the event loop keep working afterwards.
    Deliver(&receiver, QEvent::User, record);
    EXPECT_EQ(receiver.handled, 1);
    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    QCoreApplication::processEvents();
    EXPECT_TRUE(fired);
    EXPECT_EQ(seen.calls, 2);
}

class PlatformUnexpectedErrorBox : public ::testing::Test {
  protected:
    void SetUp() override {
        SetUnexpectedErrorExit([this] { ++exits_; });
    }
    void TearDown() override { SetUnexpectedErrorExit(nullptr); }

    test::TRecordingMessages messages_;
    int exits_ = 0;
};

TEST_F(PlatformUnexpectedErrorBox, ShowsTheTextAndEndsOnlyOnYes) {
    test::TTestLanguage language({{140, "%s|%s|%s|%s"}, {64, "unbekannt"}});
    TThrowingObject receiver;
    const std::string no_entry = std::strerror(ENOENT);
    const std::string expected =
        "std::runtime_error|Datei fehlt|tw::(anonymous namespace)::TThrowingObject|" + no_entry;
    for (const auto& [answer, expected_exits] :
         {std::pair{TMsgAnswer::No, 0}, std::pair{TMsgAnswer::Yes, 1}}) {
        messages_.Boxes.clear();
        messages_.Icons.clear();
        messages_.Answers = {answer};
        exits_ = 0;
        EXPECT_FALSE(Deliver(&receiver, kThrowStd, ShowUnexpectedError));
        ASSERT_EQ(messages_.Boxes.size(), 1u);
        EXPECT_EQ(messages_.Boxes[0], expected);
        EXPECT_EQ(messages_.Icons[0], TMsgIcon::Error);
        EXPECT_EQ(exits_, expected_exits);
    }

    // No receiver to name: text 64 takes its place.
    messages_.Answers = {TMsgAnswer::No};
    errno = ENOENT;
    EXPECT_TRUE(ShowUnexpectedError("int", "", ""));
    EXPECT_EQ(messages_.Boxes.back(), "int||unbekannt|" + no_entry);
}

TEST_F(PlatformUnexpectedErrorBox, BeforeTheLanguageIsLoadedTheBoxStillSaysWhatHappened) {
    messages_.Answers = {TMsgAnswer::No};
    EXPECT_TRUE(ShowUnexpectedError("std::bad_alloc", "std::bad_alloc", ""));
    ASSERT_EQ(messages_.Boxes.size(), 1u);
    EXPECT_NE(messages_.Boxes[0].find("Kind of error: std::bad_alloc"), std::string::npos)
        << messages_.Boxes[0];
    EXPECT_NE(messages_.Boxes[0].find("Raised by: unknown"), std::string::npos) << messages_.Boxes[0];
}

// Messages whose box runs into the next error while it is open, as a handler that fails on
// every repaint would.
class TReenteringMessages : public test::TRecordingMessages {
  public:
    TMsgAnswer MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon) override {
        if (Boxes.size() < 5)
            inner_results.push_back(ShowUnexpectedError("std::logic_error", "again", "QWidget"));
        return TRecordingMessages::MsgBox(text, buttons, icon);
    }
    std::vector<bool> inner_results;
};

TEST(PlatformUnexpectedErrorNested, ErrorWhileTheBoxIsOpenOpensNoSecondBox) {
    TReenteringMessages messages;
    messages.Answers = {TMsgAnswer::No};
    EXPECT_TRUE(ShowUnexpectedError("std::runtime_error", "first", "QWidget"));
    EXPECT_EQ(messages.Boxes.size(), 1u);
    EXPECT_EQ(messages.inner_results, std::vector<bool>{true});
    // Once the box is closed, the next error gets its box again.
    messages.Answers = {TMsgAnswer::No};
    EXPECT_TRUE(ShowUnexpectedError("std::runtime_error", "second", "QWidget"));
    EXPECT_EQ(messages.Boxes.size(), 2u);
}

}  // namespace
}  // namespace tw
