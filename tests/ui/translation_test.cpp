#include "ui/translation.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/test_support.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/file_dialog_filter.h"
#include "ui/widgets/image_label.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/status_panels.h"

namespace tw {
namespace {

template <typename T>
T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

// A window named "fTest" with one component of each translated class, German captions as
// designed.
struct TTestWindow {
    std::unique_ptr<QWidget> Form = std::make_unique<QWidget>();
    QPushButton* Close = Named(new QPushButton(QStringLiteral("Schließen"), Form.get()), "bClose");
    QCommandLinkButton* Derived =
        Named(new QCommandLinkButton(QStringLiteral("Abgeleitet"), Form.get()), "bDerived");
    QLabel* Label = Named(new QLabel(QStringLiteral("Name:"), Form.get()), "lName");
    QLabel* Reserved = Named(new QLabel(QStringLiteral("Reserviert"), Form.get()), "protected_1");
    QCheckBox* Check = Named(new QCheckBox(QStringLiteral("Automatisch"), Form.get()), "cAuto");
    QAction* Action = Named(new QAction(QStringLiteral("Speichern"), Form.get()), "aSave");
    QGroupBox* Group = Named(new QGroupBox(QStringLiteral("Gruppe"), Form.get()), "gBox");
    TCaptionPanel* Panel = Named(new TCaptionPanel(Form.get()), "pHead");
    QRadioButton* Radio = Named(new QRadioButton(QStringLiteral("Eins"), Form.get()), "rOne");
    QTabWidget* Tabs = Named(new QTabWidget(Form.get()), "Pages");
    TImageLabel* Image = Named(new TImageLabel(Form.get()), "iLogo");
    QTreeWidget* List = Named(new QTreeWidget(Form.get()), "Liste");
    TStatusPanels* Status = Named(new TStatusPanels(Form.get()), "StatusBar");
    TRadioGroup* Choice = Named(new TRadioGroup(Form.get()), "rgKind");
    QComboBox* Combo = Named(new QComboBox(Form.get()), "cbMode");
    QComboBox* FreeCombo = Named(new QComboBox(Form.get()), "cbFree");
    QPlainTextEdit* Memo = Named(new QPlainTextEdit(QStringLiteral("Zeile 1\nZeile 2"), Form.get()), "mText");
    TFileDialogFilter* Dialog =
        Named(new TFileDialogFilter(Form.get(), QStringLiteral("Alle (*.*)|*.*")), "OpenDialog");

    TTestWindow() {
        Form->setObjectName(QStringLiteral("fTest"));
        Panel->SetCaption(QStringLiteral("Kopf"));
        Tabs->addTab(Named(new QWidget, "tsFirst"), QStringLiteral("Erste"));
        Tabs->addTab(Named(new QWidget, "tsSecond"), QStringLiteral("Zweite"));
        List->setHeaderLabels({QString(), QStringLiteral("Name"), QStringLiteral("Datum")});
        for (int i = 0; i < 5; ++i) Status->AddPanel(i < 4 ? 60 : 0, Qt::AlignLeft);
        Choice->setTitle(QStringLiteral("Art"));
        for (const char* item : {"Geburtstag", "Hochzeitstag", "Anderes"})
            Choice->AddItem(QString::fromUtf8(item));
        Combo->addItems({QStringLiteral("Eins"), QStringLiteral("Zwei")});
        FreeCombo->setEditable(true);
        FreeCombo->addItems({QStringLiteral("Vorschlag")});
        RegisterForm(Form.get());
    }
};

std::string Section(const std::string& name, const std::vector<std::string>& lines) {
    std::string text = "\r\n[" + name + "]\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

struct TCase {
    const char* Line;  // one line of the window's section
    std::function<QString(const TTestWindow&)> Read;
    QString Expected;
};

// Each line translated on a fresh window; no line may raise a message.
void CheckCases(const std::vector<TCase>& cases) {
    for (const TCase& one : cases) {
        SCOPED_TRACE(one.Line);
        test::TRecordingMessages messages;
        test::TTestLanguage language({}, Section("fTest", {one.Line}));
        TTestWindow window;
        TranslateForm(language.Languages(), "fTest");
        EXPECT_EQ(one.Read(window).toStdString(), one.Expected.toStdString());
        EXPECT_TRUE(messages.Boxes.empty());
    }
}

QString Header(const TTestWindow& w, int column) { return w.List->headerItem()->text(column); }

TEST(Translation, EachClassTakesItsProperties) {
    CheckCases({
        {"bClose.caption=Close", [](auto& w) { return w.Close->text(); }, "Close"},
        {" BCLOSE.Caption = Shut", [](auto& w) { return w.Close->text(); }, " Shut"},
        {"bClose=Alone", [](auto& w) { return w.Close->text(); }, "Alone"},
        {"bClose.caption=&nbsp;&nbsp;word&nbsp;", [](auto& w) { return w.Close->text(); }, "  word "},
        {"bClose.caption=a&NBSP;b<br>c", [](auto& w) { return w.Close->text(); }, "a&NBSP;b<br>c"},
        {"bClose.hint=Closes", [](auto& w) { return w.Close->toolTip(); }, "Closes"},
        {"lName.caption=&Name:", [](auto& w) { return w.Label->text(); }, "&Name:"},
        {"cAuto.Caption=Automatic", [](auto& w) { return w.Check->text(); }, "Automatic"},
        {"aSave.caption=Save", [](auto& w) { return w.Action->text(); }, "Save"},
        {"aSave.hint=Saves", [](auto& w) { return w.Action->toolTip() + "|" + w.Action->statusTip(); },
         "Saves|Saves"},
        {"gBox.caption=Group", [](auto& w) { return w.Group->title(); }, "Group"},
        {"pHead.caption=Head", [](auto& w) { return w.Panel->Caption(); }, "Head"},
        {"rOne.caption=One", [](auto& w) { return w.Radio->text(); }, "One"},
        {"tsSecond.caption=Second", [](auto& w) { return w.Tabs->tabText(0) + "|" + w.Tabs->tabText(1); },
         "Erste|Second"},
        {"iLogo.hint=Logo", [](auto& w) { return w.Image->toolTip(); }, "Logo"},
        {"Liste.column[0]=Name", [](auto& w) { return Header(w, 0) + "|" + Header(w, 1); }, "|Name"},
        {"Liste.column[1]=Date", [](auto& w) { return Header(w, 2); }, "Date"},
        {"StatusBar.panels[4]=Last", [](auto& w) { return w.Status->PanelText(4); }, "Last"},
        {"rgKind.caption=Kind", [](auto& w) { return w.Choice->title(); }, "Kind"},
        {"rgKind.items[2]=Other", [](auto& w) { return w.Choice->ItemText(2); }, "Other"},
        {"cbMode.items[1]=Two", [](auto& w) { return w.Combo->itemText(1); }, "Two"},
        {"cbMode.text=Zwei", [](auto& w) { return w.Combo->currentText(); }, "Zwei"},
        {"cbFree.text=free words", [](auto& w) { return w.FreeCombo->currentText(); }, "free words"},
        {"mText.caption=one line", [](auto& w) { return w.Memo->toPlainText(); }, "one line"},
        {"OpenDialog.filter=CSV (*.csv)|*.csv", [](auto& w) { return w.Dialog->Filter(); },
         "CSV (*.csv)|*.csv"},
    });
}

TEST(Translation, WhatDoesNotFitIsIgnoredSilently) {
    CheckCases({
        // A class derived from a translated one is not translated.
        {"bDerived.caption=X", [](auto& w) { return w.Derived->text(); }, "Abgeleitet"},
        {"iLogo.caption=X", [](auto& w) { return w.Image->text(); }, ""},
        // Properties a class does not have, or that only begin like one that must match whole.
        {"gBox.hint=X", [](auto& w) { return w.Group->toolTip(); }, ""},
        {"bClose.captionx=X", [](auto& w) { return w.Close->text(); }, "Schließen"},
        // column[N] needs column N+1.
        {"Liste.column[2]=X", [](auto& w) { return w.List->headerItem()->text(2); }, "Datum"},
        {"StatusBar.panels[5]=X", [](auto& w) { return w.Status->PanelText(4); }, ""},
        {"StatusBar.panels[12]=X", [](auto& w) { return w.Status->PanelText(1); }, ""},
        {"StatusBar.panels[x]=X", [](auto& w) { return w.Status->PanelText(0); }, ""},
        {"StatusBar.panels[]=X", [](auto& w) { return w.Status->PanelText(0); }, ""},
        {"StatusBar.panels[-1]=X", [](auto& w) { return w.Status->PanelText(0); }, ""},
        {"StatusBar.panels4=X", [](auto& w) { return w.Status->PanelText(4); }, ""},
        {"rgKind.items[3]=X", [](auto& w) { return w.Choice->ItemText(2); }, "Anderes"},
        {"cbMode.items[2]=X", [](auto& w) { return QString::number(w.Combo->count()); }, "2"},
        {"tsSecond.hint=X", [](auto& w) { return w.Tabs->tabText(1); }, "Zweite"},
        // Comments and reserved keys, even where a component of that name exists.
        {"#bClose.caption=X", [](auto& w) { return w.Close->text(); }, "Schließen"},
        {"protected_1=X", [](auto& w) { return w.Reserved->text(); }, "Reserviert"},
        {"PROTECTED_1.caption=X", [](auto& w) { return w.Reserved->text(); }, "Reserviert"},
    });
}

TEST(Translation, CommentKeysAreSkippedAlsoWhenAppliedOneByOne) {
    test::TRecordingMessages messages;
    test::TTestLanguage language;
    TTestWindow window;
    TranslateEntry("fTest", "#nothing", "X");
    TranslateEntry("fTest", "Protected.bClose", "X");
    EXPECT_TRUE(messages.Boxes.empty());
    EXPECT_EQ(window.Close->text().toStdString(), "Schließen");
}

TEST(Translation, UnknownComponentIsReportedWithItsKeyAndTheNextKeyApplies) {
    test::TRecordingMessages messages;
    test::TTestLanguage language(
        {{51, "Missing: %s"}},
        Section("fTest", {"  NoSuch.Caption =X", "bClose.caption=Next"}) + Section("fClosed", {"NoSuch=X"}));
    TTestWindow window;
    TranslateForm(language.Languages(), "fTest");
    EXPECT_EQ(messages.Boxes, std::vector<std::string>{"Missing: nosuch.caption"});
    EXPECT_EQ(window.Close->text().toStdString(), "Next");

    // A window that is not open is not translated and reports nothing.
    TranslateForm(language.Languages(), "fClosed");
    TranslateForm(language.Languages(), "fMissingSection");
    EXPECT_EQ(messages.Boxes.size(), 1u);
}

TEST(Translation, MainMenuKeysSetTheMainWindowsMenuBarFromAnySection) {
    test::TRecordingMessages messages;
    test::TTestLanguage language(
        {{51, "Missing: %s"}},
        Section("fTest", {"MainMenu_Hilfe=&Help", "MainMenu_Programm=&Program", "mainmenu_hilfe=lower"}));
    QMainWindow main;
    main.setObjectName(QStringLiteral("fMain"));
    RegisterForm(&main);
    for (const char* title : {"&Programm", "&Eintrag", "&Hilfe"})
        main.menuBar()->addMenu(QString::fromLatin1(title));
    TTestWindow window;

    TranslateForm(language.Languages(), "fTest");

    const QList<QAction*> entries = main.menuBar()->actions();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0]->text().toStdString(), "&Program");
    EXPECT_EQ(entries[1]->text().toStdString(), "&Eintrag");
    EXPECT_EQ(entries[2]->text().toStdString(), "&Help");
    // Only the exact spelling is the menu key; any other is a component key.
    EXPECT_EQ(messages.Boxes, std::vector<std::string>{"Missing: mainmenu_hilfe"});
}

TEST(Translation, FindFormByNameIgnoresCaseAndTakesTheLastWindowMade) {
    auto first = std::make_unique<QWidget>();
    first->setObjectName(QStringLiteral("fTwin"));
    RegisterForm(first.get());
    auto second = std::make_unique<QWidget>();
    second->setObjectName(QStringLiteral("FTWIN"));
    RegisterForm(second.get());
    // Made before both but not registered: found only when no registered window matches.
    QWidget unregistered;
    unregistered.setObjectName(QStringLiteral("fLoose"));
    QWidget child(first.get());
    child.setObjectName(QStringLiteral("fChild"));

    EXPECT_EQ(FindFormByName(QStringLiteral("ftwin")), second.get());
    second.reset();
    EXPECT_EQ(FindFormByName(QStringLiteral("FTwin")), first.get());
    EXPECT_EQ(FindFormByName(QStringLiteral("FLOOSE")), &unregistered);
    EXPECT_EQ(FindFormByName(QStringLiteral("fChild")), nullptr);
    EXPECT_EQ(FindFormByName(QStringLiteral("fNone")), nullptr);
}

TEST(Translation, TheLastWindowOfANameIsTranslated) {
    test::TRecordingMessages messages;
    test::TTestLanguage language({}, Section("fTest", {"bClose.caption=Close"}));
    TTestWindow older;
    TTestWindow newer;
    TranslateForm(language.Languages(), "fTest");
    EXPECT_EQ(newer.Close->text().toStdString(), "Close");
    EXPECT_EQ(older.Close->text().toStdString(), "Schließen");
}

TEST(TranslationFileFilter, WindowsFiltersBecomeQtNameFilters) {
    struct {
        QString Windows;
        QStringList Qt;
    } const cases[] = {
        {"Text (*.a;*.b)|*.a;*.b", {"Text (*.a *.b)"}},
        {"CSV-Dateien (*.csv)|*.csv|Alle Dateien (*.*)|*.*", {"CSV-Dateien (*.csv)", "Alle Dateien (*)"}},
        {"Archiv|*.twf", {"Archiv (*.twf)"}},
        {"|*.twf", {"*.twf (*.twf)"}},
        {"A (x)|*.a;; *.b |B|", {"A (*.a *.b)"}},
        {"Nur Text", {}},
        {"", {}},
    };
    for (const auto& one : cases) {
        EXPECT_EQ(QtNameFilters(one.Windows).join('\n').toStdString(), one.Qt.join('\n').toStdString())
            << one.Windows.toStdString();
    }
    TFileDialogFilter dialog(nullptr, QStringLiteral("Bilder (*.jpg)|*.jpg;*.jpeg"));
    EXPECT_EQ(dialog.NameFilters(), QStringList{"Bilder (*.jpg *.jpeg)"});
}

}  // namespace
}  // namespace tw
