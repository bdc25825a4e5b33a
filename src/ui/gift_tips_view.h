#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

#include "core/gifttips/gift_tips.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTextBrowser;

namespace tw {

/// Puts the gift tips into the views of the main and reminder windows: a local page composed by
/// TTWGeschenktipps, or (online) the gift shop's page fetched over HTTP without blocking the
/// window. Only the newest request for a view may fill it.
class TGiftTipsView : public QObject {
    Q_OBJECT
  public:
    /// entries gives the main list (nullptr while there is none).
    TGiftTipsView(TTWGeschenktipps& tips, std::function<const TTWEntries*()> entries,
                  QObject* parent = nullptr);
    ~TGiftTipsView() override;

    /// Fills the view: the main window passes single_entry false and no entry, the reminder
    /// window true and the entry it shows. Does nothing while the files are not loaded.
    void ShowGiftTips(QTextBrowser* browser, bool single_entry, const TTWEntry* entry);

    /// After a resize of the main window: redraws its view when the width class changed.
    void AdjustToWidth(QTextBrowser* browser);

    /// Milliseconds without progress after which a shop request gives up (connect or read).
    void SetTimeout(int milliseconds) { timeout_ms_ = milliseconds; }

  private:
    void CancelPending(QTextBrowser* browser);
    void Fetch(QTextBrowser* browser, const QString& address);

    TTWGeschenktipps& tips_;
    std::function<const TTWEntries*()> entries_;
    QNetworkAccessManager* network_ = nullptr;
    QHash<QTextBrowser*, QPointer<QNetworkReply>> pending_;
    int timeout_ms_ = 15000;
};

/// The host settings of a gift-tips view: no scroll bars, no frame, no text selection, no
/// context menu, links open in the user's web browser; it starts blank.
void ConfigureGiftTipsBrowser(QTextBrowser* browser);

}  // namespace tw
