#include "ui/gift_tips_view.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <QLocale>
#include <QPointer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <map>
#include <string>
#include <vector>

#include "core/test_support.h"

namespace tw {
namespace {

using test::D;

int Occurrences(const QString& text, const QString& part) { return static_cast<int>(text.count(part)); }

// The HTTP test server of tests/servers on 127.0.0.1, with its routes folder and request record.
class TShopServer {
  public:
    TShopServer() {
        mkdir(dir_.File("routes").c_str(), 0700);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-u"), QStringLiteral(TAGWACHT_SOURCE_DIR "/tests/servers/http_server.py"),
             QStringLiteral("--port-file"), QString::fromStdString(dir_.File("port")),
             QStringLiteral("--routes"), QString::fromStdString(dir_.File("routes")),
             QStringLiteral("--record"), QString::fromStdString(dir_.File("requests"))});
        // Python start-up on a loaded machine can take seconds.
        if (QTest::qWaitFor([this] { return !test::ReadFile(dir_.File("port")).empty(); }, 60000))
            port_ = std::atoi(test::ReadFile(dir_.File("port")).c_str());
    }
    ~TShopServer() {
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    bool Started() const { return port_ > 0; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
    /// status: "200", "404" or "hang" (never answers).
    void SetRoute(const std::string& path, const std::string& status, const std::string& body = "") {
        std::string name = path.substr(1);
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        test::WriteFile(dir_.File("routes/" + name + ".body"), body);
        test::WriteFile(dir_.File("routes/" + name + ".status"), status);
    }
    std::string Requests() const { return test::ReadFile(dir_.File("requests")); }

  private:
    test::TTempDir dir_;
    QProcess process_;
    int port_ = 0;
};

// An HTTP server on 127.0.0.1 inside the test that answers each request only when told, so a
// test decides in which order the answers arrive.
class TManualServer {
  public:
    TManualServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                sockets_.push_back(socket);
                QObject::connect(socket, &QTcpSocket::readyRead,
                                 [this, socket] { requests_[socket] += socket->readAll(); });
            }
        });
    }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()); }
    /// Waits until the number-th request (from 1) has arrived; its request line.
    QByteArray WaitForRequest(size_t number) {
        bool arrived = QTest::qWaitFor(
            [&] { return sockets_.size() >= number && requests_[sockets_[number - 1]].contains("\r\n\r\n"); },
            20000);
        return arrived ? requests_[sockets_[number - 1]].split('\r').first() : QByteArray();
    }
    /// Answers the number-th request with a page.
    void Answer(size_t number, const QByteArray& body) {
        QTcpSocket* socket = sockets_[number - 1];
        if (!socket) return;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->flush();
    }

  private:
    QTcpServer server_;
    std::vector<QPointer<QTcpSocket>> sockets_;
    std::map<QTcpSocket*, QByteArray> requests_;
};

// Points the gift shop at the test server while it lives.
class TShopAddress {
  public:
    explicit TShopAddress(const std::string& url) {
        qputenv("TAGWACHT_SHOP_URL", QByteArray::fromStdString(url));
    }
    ~TShopAddress() { qunsetenv("TAGWACHT_SHOP_URL"); }
};

// Six products "Produkt-A" .. "Produkt-F" with a picture named without folder; today is
// 11 December 2026 in a German locale.
class GiftTipsView : public ::testing::Test {
  protected:
    test::TTempDir program_;
    test::TRecordingMessages messages_;
    test::TTestLanguage language_{{{83, "Geburtstag"}, {84, "Hochzeitstag"}}};
    test::TScopedClock clock_{D(11, 12, 2026) + 0.5};
    TTWGeschenktipps tips_;
    TTWEntries entries_;
    TGiftTipsView view_{tips_, [this] { return &entries_; }};
    QTextBrowser browser_;
    QLocale old_locale_;

    std::string Folder() const { return program_.Path() + "/geschenktipps/"; }

    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        mkdir(Folder().c_str(), 0700);
        test::WriteFile(Folder() + "template_main.html",
                        "<html><body><table><tr>\n%%prod_details_start%%\n"
                        "<td><img src=\"%%prod_image%%\">[%%prod_name%% %%prod_price%%]</td>\n"
                        "%%prod_details_ende%%\n</tr></table></body></html>\n");
        test::WriteFile(Folder() + "template_geschenkbox.html", "<p>Box: %%prod_name%%</p>\n");
        std::string csv = "Name;x;Text;Bild;Preis;URL\n";
        for (char letter = 'A'; letter <= 'F'; ++letter) {
            csv += std::string("Produkt-") + letter + ";;Text;bild.png;19,9;https://shop.example/" + letter +
                   "\n";
        }
        test::WriteFile(Folder() + "remember.csv", csv);
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(QString::fromStdString(Folder() + "bild.png")));
        tips_.LoadFiles(program_.Path());
        ASSERT_TRUE(tips_.Loaded);
        ConfigureGiftTipsBrowser(&browser_);
    }
    void TearDown() override { QLocale::setDefault(old_locale_); }

    void AddEntry(const char* name, TDateTime date, const char* remark = "") {
        TTWEntry entry;
        entry.Id = static_cast<int>(entries_.Count()) + 1;
        entry.Name = name;
        entry.Date = date;
        entry.Remark = remark;
        entries_.Append(entry);
    }
    QString Text() const { return browser_.toPlainText(); }
    bool WaitForText(const QString& part, int milliseconds = 20000) {
        return QTest::qWaitFor([&] { return Text().contains(part); }, milliseconds);
    }
};

TEST_F(GiftTipsView, OfflineWidthDecidesHowManyProductsAreShown) {
    browser_.resize(700, 277);
    view_.AdjustToWidth(&browser_);
    EXPECT_EQ(tips_.Columns, 2);
    EXPECT_EQ(Occurrences(Text(), "Produkt-"), 2) << Text().toStdString();
    EXPECT_TRUE(Text().contains(QStringLiteral("19,90€"))) << Text().toStdString();

    // The same width class keeps the page; another one redraws it.
    browser_.setHtml(QStringLiteral("unverändert"));
    browser_.resize(720, 277);
    view_.AdjustToWidth(&browser_);
    EXPECT_EQ(Text().toStdString(), "unverändert");

    browser_.resize(900, 277);
    view_.AdjustToWidth(&browser_);
    EXPECT_EQ(tips_.Columns, 3);
    EXPECT_EQ(Occurrences(Text(), "Produkt-"), 3) << Text().toStdString();

    // Pictures named without a folder come from the gift-tips folder.
    EXPECT_TRUE(
        browser_.loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("bild.png"))).isValid());
}

TEST_F(GiftTipsView, OfflineReminderShowsOneBox) {
    AddEntry("Anna", D(20, 12, 1990));
    view_.ShowGiftTips(&browser_, true, &entries_[0]);
    EXPECT_TRUE(Text().startsWith(QStringLiteral("Box: Produkt-"))) << Text().toStdString();
    EXPECT_EQ(Occurrences(Text(), "Produkt-"), 1);
}

TEST_F(GiftTipsView, OnlineMainViewShowsTheShopPageForTheSoonestEntries) {
    TShopServer server;
    ASSERT_TRUE(server.Started());
    TShopAddress shop(server.BaseUrl());
    server.SetRoute("/shop/catalog/tipps.php", "200", "<html><body><p>Angebote für Anna</p></body></html>");
    AddEntry("Bert", D(1, 3, 1970));
    AddEntry("Anna Müller", D(20, 12, 1990), "Tee & Kuchen");
    tips_.RefreshOnline(true);

    view_.ShowGiftTips(&browser_, false, nullptr);

    ASSERT_TRUE(WaitForText(QStringLiteral("Angebote für Anna"))) << Text().toStdString();
    EXPECT_NE(server.Requests().find(
                  "GET /shop/catalog/tipps.php?ereignis1=Geburtstag&name1=Anna%20M%C3%BCller&alter1=35"
                  "&datum1=20.12.1990&geschlecht1=0&kommentar1=Tee%20%26%20Kuchen"
                  "&ereignis2=Geburtstag&name2=Bert&alter2=56&datum2=01.03.1970&geschlecht2=0&kommentar2= "),
              std::string::npos)
        << server.Requests();
}

TEST_F(GiftTipsView, OnlineReminderViewAsksForItsEntry) {
    TShopServer server;
    ASSERT_TRUE(server.Started());
    TShopAddress shop(server.BaseUrl());
    server.SetRoute("/shop/catalog/tipp.php", "200", "<p>Ein Tipp für Bert</p>");
    AddEntry("Anna", D(20, 12, 1990));
    AddEntry("Bert", D(1, 3, 9999));
    tips_.RefreshOnline(true);

    view_.ShowGiftTips(&browser_, true, &entries_[1]);

    ASSERT_TRUE(WaitForText(QStringLiteral("Ein Tipp für Bert"))) << Text().toStdString();
    EXPECT_NE(server.Requests().find("GET /shop/catalog/tipp.php?ereignis1=Geburtstag&name1=Bert&alter1=-1"
                                     "&datum1=01.03.9999&geschlecht1=0&kommentar1= "),
              std::string::npos)
        << server.Requests();
}

TEST_F(GiftTipsView, FailedShopRequestShowsTheErrorAsText) {
    TShopServer server;
    ASSERT_TRUE(server.Started());
    TShopAddress shop(server.BaseUrl());
    tips_.RefreshOnline(true);
    browser_.setHtml(QStringLiteral("vorher"));

    view_.ShowGiftTips(&browser_, false, nullptr);  // the server has no such page

    EXPECT_TRUE(WaitForText(QStringLiteral("Not Found"))) << Text().toStdString();
}

TEST_F(GiftTipsView, ShopThatNeverAnswersTimesOut) {
    TShopServer server;
    ASSERT_TRUE(server.Started());
    TShopAddress shop(server.BaseUrl());
    server.SetRoute("/shop/catalog/tipps.php", "hang");
    tips_.RefreshOnline(true);
    view_.SetTimeout(300);
    browser_.setHtml(QStringLiteral("vorher"));

    view_.ShowGiftTips(&browser_, false, nullptr);

    EXPECT_TRUE(QTest::qWaitFor([&] { return Text() != QStringLiteral("vorher"); }, 20000));
    EXPECT_FALSE(Text().isEmpty());
}

TEST_F(GiftTipsView, OlderRequestNeverOverwritesANewerPage) {
    TManualServer server;
    TShopAddress shop(server.BaseUrl());
    AddEntry("Anna", D(20, 12, 1990));
    tips_.RefreshOnline(true);

    view_.ShowGiftTips(&browser_, false, nullptr);
    ASSERT_TRUE(server.WaitForRequest(1).contains("tipps.php"));
    view_.ShowGiftTips(&browser_, true, &entries_[0]);
    ASSERT_TRUE(server.WaitForRequest(2).contains("tipp.php"));
    server.Answer(2, "<p>Neuester Tipp</p>");
    ASSERT_TRUE(WaitForText(QStringLiteral("Neuester Tipp"))) << Text().toStdString();
    server.Answer(1, "<p>Veraltete Seite</p>");
    QTest::qWait(500);
    EXPECT_EQ(Text().toStdString(), "Neuester Tipp");

    // Going offline while a request is out: the local page stays.
    view_.ShowGiftTips(&browser_, false, nullptr);
    ASSERT_TRUE(server.WaitForRequest(3).contains("tipps.php"));
    tips_.RefreshOnline(false);
    tips_.Columns = 1;
    view_.ShowGiftTips(&browser_, false, nullptr);
    server.Answer(3, "<p>Veraltete Seite</p>");
    QTest::qWait(500);
    EXPECT_EQ(Occurrences(Text(), "Produkt-"), 1) << Text().toStdString();
}

}  // namespace
}  // namespace tw
