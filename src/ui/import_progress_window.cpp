#include "ui/import_progress_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/importexport/progress.h"
#include "core/languages/languages.h"
#include "ui/translation.h"

namespace tw {

TfImportProgress::TfImportProgress(TProgressState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint),
      state_(state) {
    setObjectName(QStringLiteral("fImportProgress"));
    RegisterForm(this);
    setWindowTitle(QStringLiteral("Tagwacht"));
    heading_ = new QLabel(QStringLiteral("Importiere Daten..."), this);
    heading_->setObjectName(QStringLiteral("lImport"));
    heading_->setAlignment(Qt::AlignCenter);
    QFont font = heading_->font();
    font.setBold(true);
    font.setUnderline(true);
    heading_->setFont(font);
    status_ = new QLabel(QStringLiteral("0 / 0"), this);
    status_->setObjectName(QStringLiteral("lStatus"));
    status_->setAlignment(Qt::AlignCenter);
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName(QStringLiteral("gStatus"));
    gauge_->setTextVisible(false);
    gauge_->setFixedWidth(233);
    cancel_ = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel_->setObjectName(QStringLiteral("bDo"));
    connect(cancel_, &QPushButton::clicked, this, [this] { state_.RequestCancel(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(status_);
    layout->addWidget(gauge_, 0, Qt::AlignHCenter);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    setFixedSize(250, 97 + 30);

    timer_.setInterval(1);
    connect(&timer_, &QTimer::timeout, this, &TfImportProgress::Tick);
    timer_.start();
}

void TfImportProgress::Tick() {
    if (state_.ProgressActive && (isHidden() || shown_max_ != state_.ProgressMax)) {
        shown_max_ = state_.ProgressMax;
        gauge_->setMaximum(state_.ProgressMax == -1 ? 1 : state_.ProgressMax);
        gauge_->setValue(0);
        heading_->setText(QString::fromStdString(GetText(state_.ProgressImport ? 173 : 174)));
        cancel_->setEnabled(!state_.ProgressNoCancel);
        if (isHidden()) {
            if (QScreen* screen = QGuiApplication::primaryScreen())
                move(screen->availableGeometry().center() - rect().center());
            show();
        }
    }
    if (!isVisible()) return;
    if (!state_.ProgressActive) {
        state_.ProgressNoCancel = false;
        shown_max_ = -2;
        close();
        return;
    }
    gauge_->setValue(std::min(state_.ProgressPosition, gauge_->maximum()));
    status_->setText(state_.ProgressMax == -1
                         ? QString::fromStdString(GetText(188))
                         : QStringLiteral("%1 / %2").arg(state_.ProgressPosition).arg(state_.ProgressMax));
}

// The user cannot close the window while a job runs; a cancellable job stops through bDo only.
void TfImportProgress::closeEvent(QCloseEvent* event) {
    if (state_.ProgressNoCancel || state_.ProgressActive)
        event->ignore();
    else
        event->accept();
}

void TfImportProgress::reject() {
    if (!state_.ProgressNoCancel && !state_.ProgressActive) QDialog::reject();
}

}  // namespace tw
