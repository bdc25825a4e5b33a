#pragma once

#include <QString>
#include <string>

class QWidget;

namespace tw {

class TTWLanguages;

/// Applies the section form_name of the current language file, key after key in file order, to
/// the open window of that name. The languages are those of the application object; nothing
/// happens before it has them, when the section is missing or when no such window is open.
void TranslateForm(const std::string& form_name);

/// The same with the languages given.
void TranslateForm(const TTWLanguages& languages, const std::string& form_name);

/// Applies one key of a window section: comments ("#…") and reserved keys ("protected…") are
/// skipped, "&nbsp;" in the value becomes a blank, "MainMenu_Programm", "MainMenu_Eintrag" and
/// "MainMenu_Hilfe" set the main window's menu-bar entries, any other key names a component of
/// the window (and a property after a dot) without regard to case. A component the window lacks
/// is reported with text 51; everything else that does not fit is ignored silently.
///
/// Components are the window's descendant objects, recognised by their exact class:
///   QPushButton, QLabel, QCheckBox  caption, hint (tooltip)
///   QAction (menu items, actions)   caption, hint (tooltip and status tip)
///   QGroupBox, TCaptionPanel,
///   QRadioButton                    caption
///   tab page                        caption (the tab's text); a tab page is a plain QWidget
///                                   that a QTabWidget holds as one of its pages
///   TImageLabel                     hint
///   QTreeWidget, QTreeView,
///   QTableView                      column[N]: heading of column N+1 (column 0 is the spacer)
///   TStatusPanels                   panels[N]
///   TRadioGroup                     caption, items[N]
///   QComboBox                       text (edit text, or the matching entry when not editable),
///                                   items[N]
///   QPlainTextEdit                  caption (the whole content)
///   TFileDialogFilter               filter
/// A class derived from one of these is not translated.
void TranslateEntry(const std::string& form_name, const std::string& key, const std::string& value);

/// Records a window in creation order. Qt lists its windows in no particular order, so when
/// several windows share a name, FindFormByName takes the one registered last. Every window
/// class registers itself in its constructor.
void RegisterForm(QWidget* form);

/// The open window whose object name equals name without regard to case, or nullptr: among
/// registered windows the one registered last; otherwise the last match in
/// QApplication::topLevelWidgets().
QWidget* FindFormByName(const QString& name);

}  // namespace tw
