#include "ui/gift_tips_view.h"

#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringConverter>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QUrl>

namespace tw {
namespace {

QString DecodePage(const QByteArray& body) {
    // The page's own charset declaration (or byte-order mark) wins; shop pages are UTF-8 otherwise.
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForHtml(body);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    return decoder.decode(body);
}

}  // namespace

TGiftTipsView::TGiftTipsView(TTWGeschenktipps& tips, std::function<const TTWEntries*()> entries,
                             QObject* parent)
    : QObject(parent), tips_(tips), entries_(std::move(entries)), network_(new QNetworkAccessManager(this)) {}

TGiftTipsView::~TGiftTipsView() {
    for (const QPointer<QNetworkReply>& reply : std::as_const(pending_)) {
        if (reply) {
            reply->disconnect(this);
            reply->abort();
        }
    }
}

void TGiftTipsView::ShowGiftTips(QTextBrowser* browser, bool single_entry, const TTWEntry* entry) {
    if (!browser || !tips_.Loaded) return;
    if (!tips_.OnlineMode) {
        CancelPending(browser);
        // Pictures named without a folder in the product list live in the gift-tips folder.
        browser->setSearchPaths({QString::fromStdString(tips_.Folder())});
        std::string separator = QLocale().decimalPoint().toStdString();
        browser->setHtml(QString::fromStdString(tips_.BuildPage(tips_.Columns, single_entry, separator)));
        return;
    }
    if (!single_entry) {
        const TTWEntries* entries = entries_ ? entries_() : nullptr;
        TTWEntries none;
        Fetch(browser, QString::fromStdString(MainShopAddress(entries ? *entries : none)));
    } else if (entry) {
        Fetch(browser, QString::fromStdString(ReminderShopAddress(*entry)));
    }
}

void TGiftTipsView::AdjustToWidth(QTextBrowser* browser) {
    if (!browser) return;
    int columns = ColumnsForWidth(browser->width());
    if (columns == tips_.Columns) return;
    tips_.Columns = columns;
    ShowGiftTips(browser, false, nullptr);
}

void TGiftTipsView::CancelPending(QTextBrowser* browser) {
    QPointer<QNetworkReply> reply = pending_.take(browser);
    if (!reply) return;
    // Disconnected first: the cancelled request must not show its cancellation in the view.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void TGiftTipsView::Fetch(QTextBrowser* browser, const QString& address) {
    CancelPending(browser);
    QNetworkRequest request{QUrl(address, QUrl::StrictMode)};
    request.setTransferTimeout(timeout_ms_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = network_->get(request);
    pending_.insert(browser, reply);
    QPointer<QTextBrowser> view(browser);
    connect(reply, &QNetworkReply::finished, this, [this, reply, view, browser]() {
        reply->deleteLater();
        auto current = pending_.constFind(browser);
        if (current == pending_.constEnd() || current.value() != reply) return;
        pending_.remove(browser);
        if (!view) return;
        if (reply->error() != QNetworkReply::NoError) {
            view->setPlainText(reply->errorString());
            return;
        }
        view->setHtml(DecodePage(reply->readAll()));
    });
}

void ConfigureGiftTipsBrowser(QTextBrowser* browser) {
    browser->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    browser->setFrameShape(QFrame::NoFrame);
    browser->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    browser->setContextMenuPolicy(Qt::NoContextMenu);
    browser->setOpenExternalLinks(true);
    browser->setHtml(QString());
}

}  // namespace tw
