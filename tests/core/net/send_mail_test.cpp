#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "core/net/indy_engine.h"
#include "core/net/server_process.h"
#include "core/net/site_url.h"
#include "core/test_support.h"
#include "core/text/files.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

using test::ReadFile;
using test::TServerProcess;
using test::TTempDir;

// Header lines of a received message, in order, with folded lines joined.
std::vector<std::string> HeaderLines(const std::string& message) {
    std::vector<std::string> lines;
    std::string head = message.substr(0, message.find("\r\n\r\n"));
    for (const std::string& line : SplitText(ReplaceAll(head, "\r\n", "\n"), '\n')) {
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty()) {
            lines.back() += line;
        } else {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string HeaderNames(const std::string& message) {
    std::string names;
    for (const std::string& line : HeaderLines(message)) names += line.substr(0, line.find(':')) + " ";
    return names;
}

// An SMTP server of the test's own on loopback, and the folder where it records what it got.
class SmtpTest : public ::testing::Test {
  protected:
    void StartServer(std::vector<std::string> args) {
        args.insert(args.end(), {"--record-dir", records_.Path()});
        server_ = std::make_unique<TServerProcess>("smtp_server.py", args);
        ASSERT_TRUE(server_->Started()) << server_->Log();
    }
    std::string Send(const std::string& to, const std::string& subject = "Erinnerung",
                     const std::string& body = "Hallo", bool use_authentication = false,
                     const std::string& user_name = "alice", const std::string& password = "secret") {
        return engine_.SendMail("127.0.0.1", server_->Port(), use_authentication, user_name, password, to,
                                "tagwacht@example.org", subject, body);
    }
    // A file the server wrote for the n-th message ("envelope", "eml", "subject", "body").
    std::string Received(int n, const std::string& part) const {
        return ReadFile(records_.File(std::to_string(n) + "." + part));
    }
    std::string AuthLog() const { return ReadFile(records_.File("auth.log")); }

    TTempDir records_;
    std::unique_ptr<TServerProcess> server_;
    TIndyEngine engine_;
};

using SendMail = SmtpTest;

TEST_F(SendMail, DeliversOneMessageToEveryRecipientWithTheBodyIntact) {
    StartServer({});
    std::string long_line(2000, 'x');
    std::string body = "Liebe Anna,\nalles Gute!\r\n.\n..zwei Punkte\n" + long_line + "\nGrüße  \n";

    ASSERT_EQ(Send(" anna@example.org,\tbert@example.org ,", "Geburtstag", body), "") << server_->Log();

    EXPECT_EQ(Received(1, "envelope").substr(0, 88),
              "MAIL FROM:tagwacht@example.org\nRCPT TO:anna@example.org\nRCPT TO:bert@example.org\nTLS:no\n");
    EXPECT_FALSE(FileExists(records_.File("2.envelope")));
    std::string message = Received(1, "eml");
    EXPECT_EQ(HeaderNames(message).substr(0, 33), "From Subject X-Mailer To Date MIM");
    std::vector<std::string> headers = HeaderLines(message);
    EXPECT_EQ(headers[0], "From: tagwacht@example.org");
    EXPECT_EQ(headers[1], "Subject: Geburtstag");
    EXPECT_EQ(headers[2], "X-Mailer: Indy used by Tagwacht " + SiteUrl());
    EXPECT_EQ(headers[3], "To: anna@example.org, bert@example.org");
    EXPECT_EQ(Received(1, "body"),
              "Liebe Anna,\r\nalles Gute!\r\n.\r\n..zwei Punkte\r\n" + long_line + "\r\nGrüße  \r\n");
    EXPECT_EQ(AuthLog(), "");
}

TEST_F(SendMail, SubjectLineBreaksCannotStartHeaderLines) {
    StartServer({});
    struct Case {
        std::string subject;
        std::string received;
    };
    const Case cases[] = {
        {"Hallo\r\nBcc: spy@example.org", "Hallo  Bcc: spy@example.org"},
        {"Hallo\nX-Priority: 1\rBcc: spy@example.org", "Hallo X-Priority: 1 Bcc: spy@example.org"},
        {"Alles Gute zum Geburtstag, Jürgen – und viele glückliche Jahre mit Grüßen aus Köln!",
         "Alles Gute zum Geburtstag, Jürgen – und viele glückliche Jahre mit Grüßen aus Köln!"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subject);
        ASSERT_EQ(Send("anna@example.org", c.subject), "");
        ++n;
        EXPECT_EQ(Received(n, "subject"), c.received);
        std::string names = HeaderNames(Received(n, "eml"));
        EXPECT_EQ(names.find("Bcc"), std::string::npos) << names;
        EXPECT_EQ(names.find("X-Priority"), std::string::npos) << names;
        EXPECT_EQ(Received(n, "envelope").find("spy"), std::string::npos);
    }
}

TEST_F(SendMail, EveryMailOpensItsOwnConnection) {
    StartServer({});
    ASSERT_EQ(Send("anna@example.org"), "");
    ASSERT_EQ(Send("anna@example.org"), "");
    auto peer = [&](int n) { return SplitText(Received(n, "envelope"), ':').back(); };
    EXPECT_NE(peer(1), "");
    EXPECT_NE(peer(1), peer(2));
}

struct AuthCase {
    const char* name;
    std::vector<std::string> server_args;
    bool use_authentication;
    std::string user_name;
    std::string password;
    bool delivered;
    std::string auth_log;
};

void PrintTo(const AuthCase& c, std::ostream* os) { *os << c.name; }

class SendMailAuth : public SmtpTest, public ::testing::WithParamInterface<AuthCase> {};

TEST_P(SendMailAuth, LogsInOnlyWithLoginAndAName) {
    const AuthCase& c = GetParam();
    StartServer(c.server_args);
    std::string error =
        Send("anna@example.org", "Erinnerung", "Hallo", c.use_authentication, c.user_name, c.password);
    EXPECT_EQ(error.empty(), c.delivered) << error;
    EXPECT_EQ(FileExists(records_.File("1.envelope")), c.delivered);
    EXPECT_EQ(AuthLog(), c.auth_log);
}

INSTANTIATE_TEST_SUITE_P(
    SendMail, SendMailAuth,
    ::testing::Values(
        AuthCase{"LoginWhenAsked",
                 {"--auth", "--auth-required"},
                 true,
                 "alice",
                 "secret",
                 true,
                 "AUTH LOGIN\nLOGIN LOGIN alice secret\n"},
        AuthCase{"NoAuthWhenOff", {"--auth", "--auth-required"}, false, "alice", "secret", false, ""},
        AuthCase{"NoAuthWithoutName", {"--auth", "--auth-required"}, true, "", "secret", false, ""},
        AuthCase{"WrongPasswordFails",
                 {"--auth", "--auth-required"},
                 true,
                 "alice",
                 "wrong",
                 false,
                 "AUTH LOGIN\n"},
        AuthCase{"NoAuthWhenLoginNotOffered",
                 {"--auth", "--auth-exclude", "LOGIN"},
                 true,
                 "alice",
                 "secret",
                 true,
                 ""},
        AuthCase{"NoAuthWhenServerOffersNone", {}, true, "alice", "secret", true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

class SendMailTls : public SmtpTest {
  protected:
    static void SetUpTestSuite() {
        certs_ = new TTempDir;
        made_ = test::RunCommand("sh " + test::ServerFile("make_test_ca.sh") + " " + certs_->Path());
    }
    static void TearDownTestSuite() {
        delete certs_;
        certs_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(made_) << "openssl could not make the test certificates";
        StartServer({"--cert", certs_->File("server.pem"), "--key", certs_->File("server.key")});
    }
    static inline TTempDir* certs_ = nullptr;
    static inline bool made_ = false;
};

TEST_F(SendMailTls, UsesStartTlsWhenOffered) {
    engine_.SetCaFile(certs_->File("ca.pem"));
    ASSERT_EQ(Send("anna@example.org"), "") << server_->Log();
    EXPECT_NE(Received(1, "envelope").find("TLS:yes"), std::string::npos);
}

TEST_F(SendMailTls, RefusesAServerItCannotVerify) {
    // The system's store does not know the test's CA.
    EXPECT_NE(Send("anna@example.org"), "");
    EXPECT_FALSE(FileExists(records_.File("1.envelope")));
}

TEST_F(SendMail, FailuresComeBackAsErrorText) {
    struct Case {
        const char* name;
        const char* script;
        std::vector<std::string> args;
        std::string to;
    };
    const Case cases[] = {
        {"connection dropped after the data", "smtp_server.py", {"--drop-data"}, "anna@example.org"},
        {"one recipient refused",
         "smtp_server.py",
         {"--reject", "nobody"},
         "anna@example.org, nobody@example.org"},
        {"server never greets", "time_server.py", {"--delay-ms", "600000"}, "anna@example.org"},
    };
    TNetTimeouts timeouts;
    timeouts.MailMs = 2000;
    engine_.SetTimeouts(timeouts);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir records;
        std::vector<std::string> args = c.args;
        if (std::string(c.script) == "smtp_server.py")
            args.insert(args.end(), {"--record-dir", records.Path()});
        TServerProcess server(c.script, args);
        ASSERT_TRUE(server.Started()) << server.Log();
        auto start = std::chrono::steady_clock::now();
        std::string error = engine_.SendMail("127.0.0.1", server.Port(), false, "", "", c.to,
                                             "me@example.org", "Erinnerung", "Hallo");
        EXPECT_NE(error, "");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_FALSE(FileExists(records.File("1.envelope")));
    }
}

TEST_F(SendMail, RefusedConnectionIsAnError) {
    int port = 0;
    {
        TServerProcess gone("time_server.py", {});
        ASSERT_TRUE(gone.Started()) << gone.Log();
        port = gone.Port();
    }
    EXPECT_NE(engine_.SendMail("127.0.0.1", port, false, "", "", "a@example.org", "me@example.org", "S", "B"),
              "");
}

}  // namespace
}  // namespace tw
