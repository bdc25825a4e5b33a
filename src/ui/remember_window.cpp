#include "ui/remember_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "core/languages/languages.h"
#include "core/reminders/due_selection.h"
#include "core/reminders/reminder_mail.h"
#include "core/reminders/reminder_text.h"
#include "core/text/date_text.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"
#include "platform/speech.h"
#include "ui/gift_tips_view.h"
#include "ui/main_window.h"
#include "ui/remember.h"
#include "ui/tagwacht.h"
#include "ui/translation.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/form_parts.h"
#include "ui/widgets/image_label.h"

namespace tw {

namespace {

constexpr int kClientWidth = 444;
constexpr int kClientHeight = 553;
constexpr int kBrowserHeight = 255;
constexpr int kPictureWidth = 73;
constexpr int kPictureHeight = 121;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A value label: long values are cut at the window's fixed width, the tooltip shows them whole.
QLabel* NewValueLabel(QWidget* parent, const char* name) {
    QLabel* label = NewLabel(parent, name, QString());
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void SetValue(QLabel* label, const std::string& text) {
    label->setText(Q(text));
    label->setToolTip(label->text());
}

}  // namespace

TfRemember::TfRemember(TTagwacht& app, TfMain& main_window, QWidget* parent)
    : QWidget(parent, Qt::Window), app_(app), main_window_(main_window) {
    setObjectName(QStringLiteral("fRemember"));
    setWindowTitle(QStringLiteral("Tagwacht"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    keyboard_timer_.setObjectName(QStringLiteral("tKeyboard"));
    keyboard_timer_.setInterval(1);
    weiter_timer_.setObjectName(QStringLiteral("WeiterTimer"));
    weiter_timer_.setInterval(1000);
    connect(&keyboard_timer_, &QTimer::timeout, this, &TfRemember::tKeyboardTimer);
    connect(&weiter_timer_, &QTimer::timeout, this, &TfRemember::WeiterTimerTimer);
    end_program_ = [] { QCoreApplication::exit(0); };
    CreateControls();
    RegisterForm(this);
}

TfRemember::~TfRemember() {
    // A window destroyed during a run must not leave the main window locked or a show running.
    if (app_.Remember) app_.Remember->StopBlink = true;
    if (running_) main_window_.setEnabled(true);
}

void TfRemember::CreateControls() {
    auto* header =
        NewDialogHeader(this, "Oben_Titel", QStringLiteral("Erinnerungen"), "Oben_Caption",
                        QStringLiteral("Tagwacht erinnert Sie an eingetragene Termine"), "Oben_Logo", 14);

    middle_ = new QWidget(this);
    middle_->setObjectName(QStringLiteral("Mitte"));
    auto* values = new QGridLayout;
    values->setVerticalSpacing(2);
    values->setHorizontalSpacing(8);
    const struct {
        const char* caption_name;
        const char* caption;
        const char* value_name;
        QLabel** value;
    } rows[] = {
        {"lName", "Name:", "Mitte_Name", &name_},
        {"lDatum", "Datum:", "Mitte_Datum", &date_},
        {"lEMail", "E-Mail:", "Mitte_EMail", &email_},
        {"lKommentar", "Kommentar:", "Mitte_Kommentar", &remark_},
        {"lEreignis", "Ereignis:", "Mitte_Ereignis", &event_},
        {"lAlter", "Alter:", "Mitte_Alter", &age_},
        {"lWann", "Wann:", "Mitte_Wann", &when_},
    };
    int row = 0;
    for (const auto& line : rows) {
        values->addWidget(NewLabel(middle_, line.caption_name, QString::fromUtf8(line.caption)), row, 0);
        *line.value = NewValueLabel(middle_, line.value_name);
        values->addWidget(*line.value, row, 1);
        ++row;
    }
    QFont bold = when_->font();
    bold.setBold(true);
    when_->setFont(bold);
    values->setColumnStretch(1, 1);

    image_ = Named(new TImageLabel(middle_), "iImage");
    image_->setFixedSize(kPictureWidth, kPictureHeight);
    image_->setAlignment(Qt::AlignCenter);
    image_->setCursor(Qt::PointingHandCursor);
    image_->installEventFilter(this);
    auto* upper = new QHBoxLayout;
    upper->addLayout(values, 1);
    upper->addWidget(image_, 0, Qt::AlignTop);

    auto* mail_box = Named(new QGroupBox(QStringLiteral("E-Mail Versand"), middle_), "gSendMail");
    send_mail_ = NewValueLabel(mail_box, "Mitte_SendMail");
    (new QVBoxLayout(mail_box))->addWidget(send_mail_);
    auto* other_box = Named(new QGroupBox(QStringLiteral("Sonstiges"), middle_), "gSonstiges");
    net_send_ = NewValueLabel(other_box, "Mitte_NetSend");
    (new QVBoxLayout(other_box))->addWidget(net_send_);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(mail_box, 1);
    boxes->addWidget(other_box, 1);

    auto* middle_layout = new QVBoxLayout(middle_);
    middle_layout->setContentsMargins(8, 6, 8, 4);
    middle_layout->setSpacing(4);
    middle_layout->addLayout(upper);
    middle_layout->addLayout(boxes);

    // The enlarged picture lies over the whole middle panel until it is clicked.
    big_panel_ = Named(new QWidget(middle_), "pPanel");
    big_panel_->setAutoFillBackground(true);
    big_image_ = Named(new QLabel(big_panel_), "iBig");
    big_image_->setAlignment(Qt::AlignCenter);
    big_image_->setCursor(Qt::PointingHandCursor);
    big_image_->installEventFilter(this);
    (new QVBoxLayout(big_panel_))->addWidget(big_image_);
    big_panel_->hide();

    auto* browser_layout = new QVBoxLayout;
    browser_layout->setContentsMargins(0, 0, 0, 0);
    web_browser_ = Named(new QTextBrowser(this), "WebBrowser1");
    web_browser_->setFixedSize(kClientWidth, kBrowserHeight);
    ConfigureGiftTipsBrowser(web_browser_);
    browser_layout->addWidget(web_browser_);

    progress_ = Named(new QProgressBar(this), "Unten_Fortschritt");
    progress_->setTextVisible(false);
    progress_->setFixedHeight(10);
    step_label_ = NewLabel(this, "Unten_Schritt", QStringLiteral("Erinnerung X von X"));
    back_ = Named(new QPushButton(QStringLiteral("<-- Zurück"), this), "Unten_Zurueck");
    next_ = Named(new QPushButton(QStringLiteral("Weiter -->"), this), "Unten_Weiter");
    next_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(step_label_, 1);
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    auto* footer = new QVBoxLayout;
    footer->setContentsMargins(8, 4, 8, 6);
    footer->setSpacing(4);
    footer->addWidget(progress_);
    footer->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(NewPanel(this, "Oben", true, header));
    layout->addWidget(middle_, 1);
    layout->addWidget(NewPanel(this, "Unten_Browser", false, browser_layout));
    layout->addWidget(NewPanel(this, "Unten", true, footer));

    connect(back_, &QPushButton::clicked, this, &TfRemember::Unten_ZurueckClick);
    connect(next_, &QPushButton::clicked, this, &TfRemember::Unten_WeiterClick);
}

void TfRemember::StartReminders(TTWEntries& due) {
    due_ = &due;
    notified_.clear();
    ++run_;
    running_ = true;

    hide();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    Messages().ProcessMessages();

    if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
    main_window_.setEnabled(false);

    step_done_ = true;
    show();
    raise();
    activateWindow();
    ShowStep(0);
}

void TfRemember::ShowStep(int index) {
    if (!due_ || index < 0 || static_cast<size_t>(index) >= due_->Count()) return;
    const int count = static_cast<int>(due_->Count());
    const bool last = index == count - 1;
    back_->setText(index == 0 ? Q(GetText(12)) : QStringLiteral("<-- ") + Q(GetText(13)));
    next_->setText(last ? Q(GetText(14)) : Q(GetText(15)) + QStringLiteral(" -->"));

    if (app_.Remember) app_.Remember->StopBlink = true;
    current_step_ = index;
    progress_->setMaximum(count);
    progress_->setValue(index + 1);
    step_label_->setText(
        Q(Format(GetText(143), {TFormatArg{index + 1LL}, TFormatArg{static_cast<long long>(count)}})));
    big_panel_->hide();
    if (!isVisible()) return;

    // The step works on its own copy: a close handled while it lets messages run empties the
    // due entries.
    TTWEntry& due_entry = (*due_)[static_cast<size_t>(index)];
    TTWEntry entry = due_entry;
    const int run = run_;

    ShowGiftTips(entry);
    step_done_ = false;
    net_send_->clear();
    send_mail_->clear();

    SetValue(name_, entry.Name);
    std::string date = Format(GetText(118), {entry.BirthWeekdayText(), DateToText(entry.Date)});
    if (entry.Event == 0) date += " (" + GetText(119) + ": " + entry.ZodiacSign() + ")";
    SetValue(date_, date);
    SetValue(email_, entry.EMail);
    SetValue(remark_, entry.Remark);
    SetValue(event_, entry.EventText());
    SetValue(age_, entry.AgeText());
    ShowPicture(due_entry, entry);

    // Worded before the marks change what counts as caught up.
    const std::string sentence = ReminderSentence(entry, app_.IniFiles().EntriesIni);
    SetValue(when_, ReminderWhenText(entry, app_.IniFiles().EntriesIni));
    MarkReminded(entry, app_.IniFiles());

    Messages().ProcessMessages();
    show();
    Messages().ProcessMessages();

    if (notified_.count(entry.Id) == 0) FireChannels(entry, sentence, run);

    step_done_ = true;
    if (run == run_ && running_ && app_.Options.ProgramOptions.AutoCloseRememberWindow) weiter_timer_.start();
}

// A picture that cannot be loaded is forgotten by the due copy only; the file and entries.ini
// stay as they are.
void TfRemember::ShowPicture(TTWEntry& due_entry, TTWEntry& shown) {
    image_->clear();
    picture_ = QPixmap();
    if (!shown.Image.empty() && !picture_.load(Q(shown.Image))) {
        due_entry.Image.clear();
        shown.Image.clear();
    }
    // Without a picture its room goes to the values.
    image_->setVisible(!picture_.isNull());
    if (!picture_.isNull())
        image_->setPixmap(picture_.scaled(image_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TfRemember::FireChannels(const TTWEntry& entry, const std::string& sentence, int run) {
    TTWRemember& remember = *app_.Remember;
    if (entry.RememberOptions.Has(roSound)) remember.PlayReminderSound();
    if (entry.RememberOptions.Has(roSpeech)) speech_control_ = remember.SpeakText(sentence);
    // The show belongs to the window: a run that ended meanwhile starts none.
    if (entry.RememberOptions.Has(roKeyboard) && run == run_ && running_) keyboard_timer_.start();
    if (!entry.NetSendRecp.empty()) {
        SetButtonsEnabled(false);
        const bool sent = app_.Engine.SendNetMessage(entry.NetSendServer, GetText(150), "Tagwacht", sentence);
        net_send_->setText(Q(GetText(sent ? 151 : 152)));
    }
    if (ReminderMailGoesOut(entry, app_.Entries(), app_.Options)) {
        SetButtonsEnabled(false);
        send_mail_->setText(Q(GetText(153)));
        Messages().ProcessMessages();
        const bool sent = remember.SendReminderMail(entry.Id);
        send_mail_->setText(Q(GetText(sent ? 154 : 155)));
    }
    SetButtonsEnabled(true);
    notified_.insert(entry.Id);
}

void TfRemember::ShowGiftTips(const TTWEntry& entry) {
    if (app_.GiftTipsView) app_.GiftTipsView->ShowGiftTips(web_browser_, true, &entry);
}

void TfRemember::SetButtonsEnabled(bool enabled) {
    back_->setEnabled(enabled);
    next_->setEnabled(enabled);
}

void TfRemember::StopSpeech() {
    if (speech_control_ && speech_control_->Speaking()) speech_control_->Stop();
}

void TfRemember::Unten_WeiterClick() {
    StopSpeech();
    if (app_.Remember) app_.Remember->StopBlink = true;
    if (!due_) return;
    if (static_cast<size_t>(current_step_) + 1 < due_->Count()) {
        ShowStep(current_step_ + 1);
        return;
    }
    if (app_.CheckAndClose) {
        FinishReminders();
        return;
    }
    close();
    if (!main_window_.isVisible()) main_window_.ToTray();
}

void TfRemember::Unten_ZurueckClick() {
    StopSpeech();
    if (current_step_ > 0)
        ShowStep(current_step_ - 1);
    else
        close();
}

void TfRemember::WeiterTimerTimer() {
    weiter_timer_.stop();
    Unten_WeiterClick();
}

void TfRemember::tKeyboardTimer() {
    // A show that was told to stop is still winding down further up the stack; the next tick
    // starts the new one after it has set the lights back.
    if (blinking_) return;
    keyboard_timer_.stop();
    if (!app_.Remember) return;
    blinking_ = true;
    app_.Remember->BlinkKeyboard();
    blinking_ = false;
}

void TfRemember::iImageClick() {
    if (picture_.isNull()) return;
    big_panel_->setGeometry(middle_->rect());
    big_image_->setPixmap(
        picture_.scaled(big_panel_->size() - QSize(16, 16), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    big_panel_->raise();
    big_panel_->show();
}

void TfRemember::iBigClick() { big_panel_->hide(); }

void TfRemember::closeEvent(QCloseEvent* event) {
    StopSpeech();
    // Only refused in the moment between a finished step and the start of its light show.
    if (step_done_ && keyboard_timer_.isActive() && !blinking_) {
        event->ignore();
        return;
    }
    event->accept();
    QWidget::closeEvent(event);
    FinishReminders();
}

void TfRemember::FinishReminders() {
    if (app_.Remember) app_.Remember->StopBlink = true;
    weiter_timer_.stop();
    if (!running_) return;
    running_ = false;
    main_window_.setEnabled(true);
    if (due_) due_->Clear();
    if (app_.CheckAndClose) {
        hide();
        if (app_.TrayIcon) app_.TrayIcon->HideIcon();
        app_.ShutDown(main_window_.CurrentLayout());
        end_program_();
        return;
    }
    // A program that sat in the tray goes back there; otherwise the list comes to the front.
    if (main_window_.isVisible()) {
        main_window_.raise();
        main_window_.activateWindow();
    }
}

bool TfRemember::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == image_) {
            iImageClick();
            return true;
        }
        if (watched == big_image_) {
            iBigClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tw
