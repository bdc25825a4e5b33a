#include "ui/translation.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QTreeWidget>
#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "core/languages/languages.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"
#include "ui/tagwacht.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/file_dialog_filter.h"
#include "ui/widgets/image_label.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/status_panels.h"

namespace tw {

namespace {

constexpr int kUnknownComponentText = 51;

std::vector<QPointer<QWidget>>& Registry() {
    static std::vector<QPointer<QWidget>> forms;
    return forms;
}

// Blanks and control characters at both ends go, as the language files were always read.
std::string Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return std::string(text.substr(begin, end - begin));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The decimal number between "[" and "]" of a property such as "column[3]"; nothing when the
// brackets or the number are missing or malformed.
std::optional<int> PropertyIndex(std::string_view property) {
    const size_t open = property.find('[');
    if (open == std::string_view::npos) return std::nullopt;
    const size_t close = property.find(']', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view digits = property.substr(open + 1, close - open - 1);
    int index = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() || index < 0)
        return std::nullopt;
    return index;
}

// An index applies only to an element that exists.
std::optional<int> IndexBelow(std::string_view property, int count) {
    std::optional<int> index = PropertyIndex(property);
    if (!index || *index >= count) return std::nullopt;
    return index;
}

void ApplyCaptionAndHint(QObject* component, const std::string& property, const QString& value) {
    auto* widget = static_cast<QWidget*>(component);
    if (property == "caption") {
        // Buttons, labels and check boxes share no base with setText, so ask each.
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(value);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(value);
    } else if (property == "hint") {
        widget->setToolTip(value);
    }
}

void ApplyAction(QObject* component, const std::string& property, const QString& value) {
    auto* action = static_cast<QAction*>(component);
    if (property == "caption") {
        action->setText(value);
    } else if (property == "hint") {
        action->setToolTip(value);
        action->setStatusTip(value);
    }
}

void ApplyGroupBox(QObject* component, const std::string& property, const QString& value) {
    if (property == "caption") static_cast<QGroupBox*>(component)->setTitle(value);
}

void ApplyPanel(QObject* component, const std::string& property, const QString& value) {
    if (property == "caption") static_cast<TCaptionPanel*>(component)->SetCaption(value);
}

void ApplyRadioButton(QObject* component, const std::string& property, const QString& value) {
    if (property == "caption") static_cast<QRadioButton*>(component)->setText(value);
}

// A tab page is a plain widget that a QTabWidget holds in its page stack.
void ApplyTabPage(QObject* component, const std::string& property, const QString& value) {
    if (property != "caption") return;
    auto* page = static_cast<QWidget*>(component);
    QWidget* stack = page->parentWidget();
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    const int index = tabs ? tabs->indexOf(page) : -1;
    if (index >= 0) tabs->setTabText(index, value);
}

void ApplyImage(QObject* component, const std::string& property, const QString& value) {
    if (property == "hint") static_cast<QWidget*>(component)->setToolTip(value);
}

// Column 0 of a list is a spacer, so column[N] names the heading of column N+1.
void ApplyListView(QObject* component, const std::string& property, const QString& value) {
    if (!StartsWith(property, "column")) return;
    QAbstractItemModel* model = static_cast<QAbstractItemView*>(component)->model();
    if (!model) return;
    std::optional<int> index = IndexBelow(property, model->columnCount() - 1);
    if (index) model->setHeaderData(*index + 1, Qt::Horizontal, value, Qt::DisplayRole);
}

void ApplyStatusBar(QObject* component, const std::string& property, const QString& value) {
    if (!StartsWith(property, "panels")) return;
    auto* status = static_cast<TStatusPanels*>(component);
    if (std::optional<int> index = IndexBelow(property, status->PanelCount()))
        status->SetPanelText(*index, value);
}

void ApplyRadioGroup(QObject* component, const std::string& property, const QString& value) {
    auto* group = static_cast<TRadioGroup*>(component);
    if (property == "caption") {
        group->setTitle(value);
    } else if (StartsWith(property, "items")) {
        if (std::optional<int> index = IndexBelow(property, group->ItemCount()))
            group->SetItemText(*index, value);
    }
}

void ApplyComboBox(QObject* component, const std::string& property, const QString& value) {
    auto* combo = static_cast<QComboBox*>(component);
    if (StartsWith(property, "text")) {
        // A list-only combo box has no free text: the matching entry is chosen, if there is one.
        if (combo->isEditable())
            combo->setEditText(value);
        else
            combo->setCurrentText(value);
    } else if (StartsWith(property, "items")) {
        if (std::optional<int> index = IndexBelow(property, combo->count()))
            combo->setItemText(*index, value);
    }
}

void ApplyMemo(QObject* component, const std::string& property, const QString& value) {
    if (property == "caption") static_cast<QPlainTextEdit*>(component)->setPlainText(value);
}

void ApplyFileDialog(QObject* component, const std::string& property, const QString& value) {
    if (property == "filter") static_cast<TFileDialogFilter*>(component)->SetFilter(value);
}

struct TClassRule {
    const QMetaObject* Class;
    void (*Apply)(QObject* component, const std::string& property, const QString& value);
};

// The window classes that take translations, matched by their exact class.
const TClassRule kClassRules[] = {
    {&QPushButton::staticMetaObject, ApplyCaptionAndHint},  // button
    {&QLabel::staticMetaObject, ApplyCaptionAndHint},       // label
    {&QCheckBox::staticMetaObject, ApplyCaptionAndHint},    // check box
    {&QAction::staticMetaObject, ApplyAction},              // menu item, action
    {&QGroupBox::staticMetaObject, ApplyGroupBox},          // group box
    {&TCaptionPanel::staticMetaObject, ApplyPanel},         // panel
    {&QRadioButton::staticMetaObject, ApplyRadioButton},    // radio button
    {&QWidget::staticMetaObject, ApplyTabPage},             // tab sheet
    {&TImageLabel::staticMetaObject, ApplyImage},           // image
    {&QTreeWidget::staticMetaObject, ApplyListView},        // list view
    {&QTreeView::staticMetaObject, ApplyListView},          // list view over a model
    {&QTableView::staticMetaObject, ApplyListView},         // list view over a model
    {&TStatusPanels::staticMetaObject, ApplyStatusBar},     // status bar
    {&TRadioGroup::staticMetaObject, ApplyRadioGroup},      // radio group
    {&QComboBox::staticMetaObject, ApplyComboBox},          // combo box
    {&QPlainTextEdit::staticMetaObject, ApplyMemo},         // memo
    {&TFileDialogFilter::staticMetaObject, ApplyFileDialog},  // open and save dialogs
};

void ApplyProperty(QObject* component, const std::string& property, const QString& value) {
    for (const TClassRule& rule : kClassRules) {
        if (component->metaObject() == rule.Class) {
            rule.Apply(component, property, value);
            return;
        }
    }
}

// The first descendant of the window whose name equals the lower-case name; Qt's names are
// compared with regard to case, the language files' without.
QObject* FindComponent(QWidget* form, const std::string& lower_name) {
    if (lower_name.empty()) return nullptr;
    for (QObject* child : form->findChildren<QObject*>()) {
        if (LowerAscii(child->objectName().toStdString()) == lower_name) return child;
    }
    return nullptr;
}

void SetMainMenuCaption(int index, const QString& value) {
    QWidget* main = FindFormByName(QStringLiteral("fMain"));
    if (!main) return;
    QMenuBar* bar = nullptr;
    if (auto* main_window = qobject_cast<QMainWindow*>(main))
        bar = qobject_cast<QMenuBar*>(main_window->menuWidget());
    if (!bar) bar = main->findChild<QMenuBar*>();
    if (!bar) return;
    const QList<QAction*> entries = bar->actions();
    if (index < entries.size()) entries[index]->setText(value);
}

}  // namespace

void TranslateForm(const std::string& form_name) {
    TTagwacht* app = App();
    if (app && app->Session.Languages) TranslateForm(*app->Session.Languages, form_name);
}

void TranslateForm(const TTWLanguages& languages, const std::string& form_name) {
    const int index = languages.IndexOfLanguage(languages.Current);
    if (index < 0) return;
    const TIniStore* file = languages.Languages[static_cast<size_t>(index)].IniFile.get();
    if (!file) return;
    for (const std::string& key : file->ReadSection(form_name)) {
        if (StartsWith(key, "#")) continue;
        TranslateEntry(form_name, key, file->ReadString(form_name, key, ""));
    }
}

void TranslateEntry(const std::string& form_name, const std::string& key, const std::string& value) {
    if (StartsWith(key, "#") || LowerAscii(std::string_view(key).substr(0, 9)) == "protected") return;
    const QString text = QString::fromStdString(ReplaceAll(value, "&nbsp;", " "));
    QWidget* form = FindFormByName(QString::fromStdString(form_name));
    if (!form) return;

    static const char* const kMainMenuKeys[] = {"MainMenu_Programm", "MainMenu_Eintrag", "MainMenu_Hilfe"};
    for (int i = 0; i < 3; ++i) {
        if (key == kMainMenuKeys[i]) {
            SetMainMenuCaption(i, text);
            return;
        }
    }

    const std::string lower = Trim(LowerAscii(key));
    const size_t dot = lower.find('.');
    QObject* component = nullptr;
    std::string property;
    if (dot != std::string::npos) {
        component = FindComponent(form, Trim(std::string_view(lower).substr(0, dot)));
        property = Trim(std::string_view(lower).substr(dot + 1));
    }
    if (!component) {
        // A key without a property names the component's caption.
        component = FindComponent(form, lower);
        property = "caption";
    }
    if (!component) {
        Messages().MsgBox(Format(GetText(kUnknownComponentText), {TFormatArg{lower}}), TMsgButtons::Ok,
                          TMsgIcon::Information);
        return;
    }
    ApplyProperty(component, property, text);
}

void RegisterForm(QWidget* form) {
    std::vector<QPointer<QWidget>>& forms = Registry();
    std::erase_if(forms, [](const QPointer<QWidget>& known) { return known.isNull(); });
    for (const QPointer<QWidget>& known : forms)
        if (known == form) return;
    if (form) forms.emplace_back(form);
}

QWidget* FindFormByName(const QString& name) {
    const auto matches = [&name](const QWidget* form) {
        return form->isWindow() && form->objectName().compare(name, Qt::CaseInsensitive) == 0;
    };
    const std::vector<QPointer<QWidget>>& forms = Registry();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it)
        if (*it && matches(*it)) return *it;
    QWidget* found = nullptr;
    for (QWidget* form : QApplication::topLevelWidgets())
        if (matches(form)) found = form;
    return found;
}

}  // namespace tw
