#pragma once

#include <QFrame>
#include <QLabel>

namespace tw {

/// A framed panel that shows one caption centred on it (the "entries are being read" panel,
/// the white header and footer panels of the dialogs).
class TCaptionPanel : public QFrame {
    Q_OBJECT
public:
    explicit TCaptionPanel(QWidget* parent = nullptr);
    QString Caption() const { return caption_->text(); }
    void SetCaption(const QString& caption) { caption_->setText(caption); }

private:
    QLabel* caption_;
};

}  // namespace tw
