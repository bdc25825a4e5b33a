#include "platform/qt_messages.h"

#include <cstdlib>

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>

namespace tw {

namespace {

// The core's texts separate lines with CR LF; a Qt label wants LF only.
QString BoxText(const std::string& text) {
    QString result = QString::fromStdString(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

TMsgAnswer ShowBox(QWidget* owner, const std::string& text, TMsgButtons buttons, TMsgIcon icon) {
    QMessageBox box(owner);
    box.setWindowTitle(QStringLiteral("Tagwacht"));
    box.setText(BoxText(text));
    box.setIcon(icon == TMsgIcon::Error         ? QMessageBox::Critical
                : icon == TMsgIcon::Information ? QMessageBox::Information
                                                : QMessageBox::Question);
    if (buttons == TMsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    // A window-modal box keeps the window it belongs to from taking input while it is open.
    box.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    const int pressed = box.exec();
    if (buttons == TMsgButtons::Ok) return TMsgAnswer::Ok;
    return pressed == QMessageBox::Yes ? TMsgAnswer::Yes : TMsgAnswer::No;
}

}  // namespace

TMsgAnswer PlainMessageBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon) {
    return ShowBox(nullptr, text, buttons, icon);
}

TMsgAnswer TQtMessages::MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon) {
    QWidget* owner = QApplication::activeWindow();
    if (!owner || !owner->isVisible()) owner = main_window_;
    if (owner && !owner->isVisible()) owner = nullptr;
    return ShowBox(owner, text, buttons, icon);
}

void TQtMessages::SetStatusText(const std::string& text) {
    if (status_sink_) status_sink_(text);
}

void TQtMessages::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TQtMessages::WaitProcessing(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void TQtMessages::OpenDocument(const std::string& path_or_address) {
    const QString target = QString::fromStdString(path_or_address);
    const bool is_address = target.contains(QStringLiteral("://"));
    QDesktopServices::openUrl(is_address ? QUrl(target)
                                         : QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()));
}

void TQtMessages::FatalStop() {
    if (before_fatal_stop_) before_fatal_stop_();
    // The close-time routine must not run: the data files may be in a state not worth saving.
    std::_Exit(1);
}

}  // namespace tw
