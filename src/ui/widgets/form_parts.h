#pragma once

#include <QLabel>
#include <QString>

class QHBoxLayout;
class QLayout;
class QWidget;

namespace tw {

class TCaptionPanel;

/// Gives a control the name that translation and tests find it by.
template <typename T>
T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

/// A text label with its name.
QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption);

/// A band of a dialog (its own caption stays empty): the content layout sits on it; white for
/// the header and footer bands.
TCaptionPanel* NewPanel(QWidget* parent, const char* name, bool white, QLayout* content);

/// The header of a dialog: bold title and sub-title on the left, the program logo on the right.
/// The title is title_points large when that is above zero, else the desktop's size.
QHBoxLayout* NewDialogHeader(QWidget* parent, const char* title_name, const QString& title,
                             const char* subtitle_name, const QString& subtitle, const char* logo_name,
                             int title_points = 0);

}  // namespace tw
