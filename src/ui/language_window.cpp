#include "ui/language_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/languages/languages.h"
#include "core/net/site_url.h"
#include "core/text/messages.h"
#include "ui/translation.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/form_parts.h"

namespace tw {

namespace {

constexpr int kClientWidth = 417;
constexpr int kClientHeight = 287;
constexpr const char* kMoreLanguagesPage = "/index.php?p=3";

}  // namespace

TfLanguage::TfLanguage(QWidget* main_window, TTWLanguages& languages, std::function<void()> restart,
                       QWidget* parent)
    : QDialog(parent), main_window_(main_window), languages_(languages), restart_(std::move(restart)) {
    setObjectName(QStringLiteral("fLanguage"));
    setWindowTitle(QStringLiteral("Tagwacht"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    CreateControls();
    RegisterForm(this);
}

TfLanguage::~TfLanguage() {
    // A window destroyed while open must not leave the main window locked.
    if (isVisible() && main_window_) main_window_->setEnabled(true);
}

void TfLanguage::CreateControls() {
    auto* header = NewDialogHeader(this, "Oben_Titel", QStringLiteral("Sprache wählen"), "Oben_Caption",
                                   QStringLiteral("Hier können Sie die Sprache von Tagwacht wählen"), "Oben_Logo");

    auto* available = Named(new QGroupBox(QStringLiteral("Verfügbare Sprachen"), this), "gAv");
    lAv_ = Named(new QListWidget(available), "lAv");
    lAv_->setSelectionMode(QAbstractItemView::SingleSelection);
    lMore_ = NewLabel(available, "lMore", QStringLiteral("Mehr Sprachen downloaden"));
    QFont link = lMore_->font();
    link.setUnderline(true);
    lMore_->setFont(link);
    QPalette blue = lMore_->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    lMore_->setPalette(blue);
    lMore_->setCursor(Qt::PointingHandCursor);
    lMore_->installEventFilter(this);
    auto* available_layout = new QVBoxLayout(available);
    available_layout->addWidget(lAv_, 1);
    available_layout->addWidget(lMore_);

    auto* current = Named(new QGroupBox(QStringLiteral("Aktuelle Sprache"), this), "gAct");
    lAct_ = NewLabel(current, "lAct", QString());
    auto* current_layout = new QVBoxLayout(current);
    current_layout->addWidget(lAct_);

    auto* info = Named(new QGroupBox(QStringLiteral("Information zur Sprache"), this), "gInfo");
    eMadeBy_ = NewLabel(info, "eMadeBy", QString());
    eEmail_ = NewLabel(info, "eEmail", QString());
    eFile_ = NewLabel(info, "eFile", QString());
    auto* info_layout = new QGridLayout(info);
    info_layout->addWidget(NewLabel(info, "lMadeBy", QStringLiteral("Erstellt von:")), 0, 0);
    info_layout->addWidget(eMadeBy_, 0, 1);
    info_layout->addWidget(NewLabel(info, "lEMail", QStringLiteral("E-Mail:")), 1, 0);
    info_layout->addWidget(eEmail_, 1, 1);
    info_layout->addWidget(NewLabel(info, "lFile", QStringLiteral("Datei:")), 2, 0);
    info_layout->addWidget(eFile_, 2, 1);
    info_layout->setColumnStretch(1, 1);
    info_layout->setRowStretch(3, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(current);
    right->addWidget(info, 1);
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(8, 6, 8, 6);
    middle->addWidget(available, 4);
    middle->addLayout(right, 5);

    auto* select = Named(new QPushButton(QStringLiteral("Sprache wählen"), this), "bSelect");
    select->setDefault(true);
    auto* close_button = Named(new QPushButton(QStringLiteral("Fenster schließen"), this), "bClose");
    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(8, 6, 8, 6);
    footer->addStretch(1);
    footer->addWidget(select);
    footer->addWidget(close_button);

    auto* top = NewPanel(this, "Oben", true, header);
    auto* centre = NewPanel(this, "Mitte", false, middle);
    auto* bottom = NewPanel(this, "Unten", true, footer);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(centre, 1);
    layout->addWidget(bottom);

    connect(lAv_, &QListWidget::itemSelectionChanged, this, &TfLanguage::lAvClick);
    connect(select, &QPushButton::clicked, this, &TfLanguage::bSelectClick);
    connect(close_button, &QPushButton::clicked, this, &TfLanguage::bCloseClick);
}

void TfLanguage::ShowLanguageWindow() {
    lAv_->clear();
    files_.clear();
    for (const TTWLanguage& language : languages_.Languages) {
        if (!language.IniFile) continue;
        const std::string& path = language.IniFile->FileName();
        const size_t slash = path.find_last_of('/');
        files_.push_back(slash == std::string::npos ? path : path.substr(slash + 1));
        lAv_->addItem(QString::fromStdString(language.Language));
    }
    for (QLabel* value : {eMadeBy_, eEmail_, eFile_}) {
        value->clear();
        value->setToolTip(QString());
    }

    const int current = languages_.IndexOfLanguage(languages_.GetCurrentLanguage());
    lAct_->setText(current >= 0
                       ? QString::fromStdString(languages_.Languages[static_cast<size_t>(current)].Language)
                       : QString());

    setFixedSize(kClientWidth, kClientHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    if (main_window_) main_window_->setEnabled(false);
    show();
}

int TfLanguage::SelectedRow() const {
    QListWidgetItem* item = lAv_->currentItem();
    if (!item || !item->isSelected()) return -1;
    const int row = lAv_->row(item);
    return row >= 0 && static_cast<size_t>(row) < files_.size() ? row : -1;
}

void TfLanguage::lAvClick() {
    const int row = SelectedRow();
    if (row < 0) return;
    const std::string& file = files_[static_cast<size_t>(row)];
    eFile_->setText(QString::fromStdString(file));
    eFile_->setToolTip(eFile_->text());
    const int index = languages_.IndexOfLanguage(file);
    if (index < 0) return;
    const TTWLanguage& language = languages_.Languages[static_cast<size_t>(index)];
    // Long lines are cut at the window's fixed width; the tooltip shows them whole.
    eMadeBy_->setText(QString::fromStdString(language.MadeBy));
    eMadeBy_->setToolTip(eMadeBy_->text());
    eEmail_->setText(QString::fromStdString(language.EMail));
    eEmail_->setToolTip(eEmail_->text());
}

void TfLanguage::bSelectClick() {
    const int row = SelectedRow();
    if (row < 0) {
        Messages().MsgBox(GetText(123), TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    const std::string file = files_[static_cast<size_t>(row)];
    if (file == languages_.Current) {
        Messages().MsgBox(GetText(134), TMsgButtons::Ok, TMsgIcon::Information);
        close();
        return;
    }
    // The notice is still in the language the user knows until now.
    const std::string notice = GetText(135);
    languages_.SetCurrentLanguage(file);
    Messages().ProcessMessages();
    Messages().MsgBox(notice, TMsgButtons::Ok, TMsgIcon::Information);
    if (restart_) restart_();
}

void TfLanguage::bCloseClick() { close(); }

void TfLanguage::lMoreClick() { Messages().OpenDocument(SiteUrl() + kMoreLanguagesPage); }

void TfLanguage::FormCloseQuery() {
    if (main_window_) main_window_->setEnabled(true);
}

void TfLanguage::done(int result) {
    FormCloseQuery();
    QDialog::done(result);
}

bool TfLanguage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lMore_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lMoreClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tw
