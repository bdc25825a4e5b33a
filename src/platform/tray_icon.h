#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;

namespace tw {

/// The longest tip the tray shows, in characters.
inline constexpr int kMaxTipCharacters = 127;

/// The first max_characters characters of the text (characters, not UTF-16 units: a character
/// outside the basic plane is never cut in half).
QString CutToCharacters(const QString& text, int max_characters);

/// The program's icon from the program folder (the folder that holds "languages/"):
/// "icons/tagwacht.svg", or "icons/tagwacht.png" where Qt has no SVG support; a null icon when
/// neither can be read.
QIcon ProgramIcon(const QString& program_dir);

/// The program's icon in the desktop's notification area, with its tip and its three mouse
/// events. Creating it shows nothing; ShowIcon puts it into the tray.
class TTWTrayIcon : public QObject {
    Q_OBJECT
  public:
    /// program_dir: where the icon is read from (see ProgramIcon).
    explicit TTWTrayIcon(const QString& program_dir, QObject* parent = nullptr);

    /// "Tagwacht " and the version; the tip that the checks extend with a second line.
    QString BaseTip;

    /// The tip text last set, whole.
    const QString& Tip() const { return tip_; }
    /// The tip as the tray shows it: cut to 127 characters, lines separated by LF alone.
    QString ShownTip() const { return icon_.toolTip(); }
    /// True while the icon is in the tray.
    bool Shown() const { return shown_; }

    /// Remembers the text as Tip and shows its first 127 characters as the icon's tip.
    void SetTip(const QString& text);
    /// Puts the icon into the tray unless it is there. Shown becomes true only when the desktop
    /// has a tray and took the icon; otherwise it stays false and a later call tries again.
    void ShowIcon();
    /// Takes the icon out of the tray when it is there.
    void HideIcon();
    /// The menu the desktop opens itself on a right click where it does so (nullptr: none).
    void SetContextMenu(QMenu* menu);

    /// The underlying icon (for the desktop's own menu handling and for tests).
    QSystemTrayIcon& SystemIcon() { return icon_; }

  signals:
    /// Right button released on the icon; position: the mouse in screen coordinates.
    void RightReleased(const QPoint& position);
    /// Left button released on the icon.
    void LeftReleased();
    /// Double click on the icon.
    void DoubleClicked();

  private:
    void Activated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon icon_;
    QString tip_;
    bool shown_ = false;
};

}  // namespace tw
