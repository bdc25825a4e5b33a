#include "platform/tray_icon.h"

#include <QCursor>
#include <QFileInfo>
#include <QMenu>

namespace tw {

namespace {

// The tip is stored as the program builds it, lines separated by LF CR; the desktop's tooltip
// wants LF only.
QString DisplayTip(const QString& tip) {
    QString shown = CutToCharacters(tip, kMaxTipCharacters);
    shown.remove(QLatin1Char('\r'));
    return shown;
}

}  // namespace

QString CutToCharacters(const QString& text, int max_characters) {
    qsizetype end = 0;
    for (int count = 0; count < max_characters && end < text.size(); ++count) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

QIcon ProgramIcon(const QString& program_dir) {
    const QString svg = program_dir + QStringLiteral("/icons/tagwacht.svg");
    if (QFileInfo::exists(svg)) {
        QIcon icon(svg);
        // Without Qt's SVG plug-in the icon exists but draws nothing.
        if (!icon.pixmap(32, 32).isNull()) return icon;
    }
    const QString png = program_dir + QStringLiteral("/icons/tagwacht.png");
    if (QFileInfo::exists(png)) {
        QIcon icon(png);
        if (!icon.pixmap(32, 32).isNull()) return icon;
    }
    return QIcon();
}

TTWTrayIcon::TTWTrayIcon(const QString& program_dir, QObject* parent)
    : QObject(parent), icon_(ProgramIcon(program_dir)) {
    connect(&icon_, &QSystemTrayIcon::activated, this, &TTWTrayIcon::Activated);
}

void TTWTrayIcon::SetTip(const QString& text) {
    tip_ = text;
    icon_.setToolTip(DisplayTip(text));
}

void TTWTrayIcon::ShowIcon() {
    if (shown_) return;
    icon_.setToolTip(DisplayTip(tip_));
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    icon_.show();
    shown_ = icon_.isVisible();
}

void TTWTrayIcon::HideIcon() {
    if (!shown_) return;
    icon_.hide();
    shown_ = icon_.isVisible();
}

void TTWTrayIcon::SetContextMenu(QMenu* menu) { icon_.setContextMenu(menu); }

void TTWTrayIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Context:
            emit RightReleased(QCursor::pos());
            break;
        case QSystemTrayIcon::Trigger:
            emit LeftReleased();
            break;
        case QSystemTrayIcon::DoubleClick:
            emit DoubleClicked();
            break;
        case QSystemTrayIcon::MiddleClick:
        case QSystemTrayIcon::Unknown:
            break;
    }
}

}  // namespace tw
