#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/entries/entry.h"
#include "core/entries/entry_files.h"
#include "core/entries/list_view.h"
#include "core/importexport/archive.h"
#include "core/languages/languages.h"
#include "core/net/site_url.h"
#include "core/text/count_text.h"
#include "core/text/date_text.h"
#include "core/text/clock.h"
#include "core/text/date_time.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"
#include "report/pdf_report.h"
#include "report/print_report.h"
#include "ui/background_check.h"
#include "ui/entry_list_model.h"
#include "ui/gift_tips_view.h"
#include "ui/tagwacht.h"
#include "ui/translation.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/status_panels.h"

namespace tw {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

void ShowText(int number, TMsgIcon icon) { Messages().MsgBox(GetText(number), TMsgButtons::Ok, icon); }

// Texts 125 and 126: the export was written, or it failed.
void ReportExport(bool written) { ShowText(written ? 125 : 126, written ? TMsgIcon::Information : TMsgIcon::Error); }

bool Ask(const std::string& question) {
    return Messages().MsgBox(question, TMsgButtons::YesNo, TMsgIcon::Question) == TMsgAnswer::Yes;
}

constexpr int kDesignWidth = 710;
constexpr int kDesignHeight = 524;
constexpr int kBrowserHeight = 277;

}  // namespace

TfMain::TfMain(TTagwacht& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setObjectName(QStringLiteral("fMain"));
    RegisterForm(this);
    setWindowTitle(QStringLiteral("Tagwacht"));
    resize(kDesignWidth, kDesignHeight);
    setMinimumSize(400, 150);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateCentralArea();
    CreateStatusBar();

    clock_timer_ = new QTimer(this);
    clock_timer_->setObjectName(QStringLiteral("DateTimeTimer"));
    clock_timer_->setInterval(1000);
    connect(clock_timer_, &QTimer::timeout, this, &TfMain::UpdateClock);
    clock_timer_->start();

    check_ = new TBackgroundCheck(app_, [this] { return isEnabled(); }, this);

    tray_menu_ = new QMenu(this);
    tray_menu_->setObjectName(QStringLiteral("TrayMenu"));
    QAction* show = tray_menu_->addAction(QStringLiteral("Anzeigen"), this, &TfMain::FromTray);
    show->setObjectName(QStringLiteral("TrayMenu_Show"));
    QAction* quit = tray_menu_->addAction(QStringLiteral("Beenden"), this, [this] {
        if (app_.TrayIcon) app_.TrayIcon->HideIcon();
        close();
    });
    quit->setObjectName(QStringLiteral("TrayMenu_Exit"));
    quit->setStatusTip(QStringLiteral("Beendet das Programm"));
    quit->setToolTip(QStringLiteral("Beendet das Programm"));
    UpdateHookedActions();
}

TfMain::~TfMain() = default;

// ---------------------------------------------------------------------------------------------
// Construction

QAction* TfMain::AddAction(const QString& name, const QString& caption, const QKeySequence& shortcut,
                           void (TfMain::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    if (handler) connect(action, &QAction::triggered, this, handler);
    actions_[name] = action;
    return action;
}

QAction* TfMain::Action(const QString& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void TfMain::CreateActions() {
    using K = QKeySequence;
    QStyle* style = QApplication::style();
    AddAction("MainMenu_Programm_Options", "&Optionen", K("Ctrl+O"), nullptr)
        ->setIcon(style->standardIcon(QStyle::SP_FileDialogDetailedView));
    QAction* remind = AddAction("MainMenu_Programm_RememberNow", "&Jetzt erinnern", {}, &TfMain::RemindNowExecute);
    remind->setToolTip(QStringLiteral("Jetzt erinnern!"));
    remind->setIcon(style->standardIcon(QStyle::SP_MessageBoxInformation));
    AddAction("MainMenu_Programm_Calendar", "&Kalender", {}, nullptr)
        ->setIcon(style->standardIcon(QStyle::SP_FileDialogContentsView));
    AddAction("MainMenu_Programm_Export", "&Exportieren", {}, nullptr);
    AddAction("MainMenu_Programm_Export_Archive", "&Tagwacht-Datei", {}, &TfMain::ExportArchiveExecute);
    AddAction("MainMenu_Programm_Export_CSV", "&CSV-Textdatei", {}, nullptr);
    AddAction("MainMenu_Programm_Export_PDF", "&PDF-Dokument", {}, &TfMain::ExportPdfExecute);
    AddAction("MainMenu_Programm_Export_HTML", "&HTML-Seite", {}, nullptr);
    AddAction("MainMenu_Programm_Export_Birthday2000", "B&irthday2000 - Backup", {}, nullptr);
    AddAction("MainMenu_Programm_Import", "&Importieren", {}, nullptr);
    AddAction("MainMenu_Programm_Import_Archive", "&Tagwacht-Datei", {}, &TfMain::ImportArchiveExecute);
    AddAction("MainMenu_Programm_Import_OldDataFile", "T&agwacht-Datei <= Version 5.5", {}, nullptr);
    AddAction("MainMenu_Programm_Import_CSV", "&CSV-Textdatei", {}, nullptr);
    AddAction("MainMenu_Programm_Import_Outlook", "&Microsoft Outlook", {}, nullptr);
    AddAction("MainMenu_Programm_Import_WinRemind", "&WinRemind 2002 - Backup", {}, nullptr);
    AddAction("MainMenu_Programm_Import_Birthday2000", "Bi&rthday2000 - Backup", {}, nullptr);
    AddAction("MainMenu_Programm_Language", "&Sprache wählen", {}, nullptr);
    connect(Action("MainMenu_Programm_Language"), &QAction::triggered, this, [this] {
        if (hooks_.ShowLanguageWindow) hooks_.ShowLanguageWindow();
    });
    AddAction("MainMenu_Programm_Print", "Ei&nträge drucken", K("Ctrl+P"), &TfMain::PrintExecute)
        ->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    QAction* update = AddAction("MainMenu_Programm_Update", "&Programm auf Update prüfen", K("Ctrl+U"), nullptr);
    update->setIcon(style->standardIcon(QStyle::SP_BrowserReload));
    connect(update, &QAction::triggered, this, [this] {
        if (app_.Update) app_.Update->CheckForUpdate(false);
    });
    AddAction("MainMenu_Programm_TimeSync", "&Zeit Synchronisieren", K("Ctrl+T"), nullptr)
        ->setIcon(style->standardIcon(QStyle::SP_MediaSeekForward));
    AddAction("MainMenu_Programm_Exit", "&Beenden", K("Alt+F4"), nullptr);
    connect(Action("MainMenu_Programm_Exit"), &QAction::triggered, this, &QWidget::close);

    AddAction("MainMenu_Eintrag_Details", "&Details", K("Ctrl+D"), &TfMain::DetailsExecute)
        ->setIcon(style->standardIcon(QStyle::SP_FileDialogInfoView));
    AddAction("MainMenu_Eintrag_New", "&Neu", K("Ctrl+N"), &TfMain::NewExecute)
        ->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    AddAction("MainMenu_Eintrag_Edit", "&Bearbeiten", K("Ctrl+E"), &TfMain::EditExecute)
        ->setIcon(style->standardIcon(QStyle::SP_FileDialogListView));
    AddAction("MainMenu_Eintrag_Delete", "&Löschen", K(Qt::Key_Delete), &TfMain::DeleteExecute)
        ->setIcon(style->standardIcon(QStyle::SP_TrashIcon));
    AddAction("MainMenu_Eintrag_Search", "Suchen", K("Ctrl+F"), nullptr);
    AddAction("MainMenu_Eintrag_SelectAll", "&Alles markieren", K("Ctrl+A"), &TfMain::SelectAllExecute);

    AddAction("MainMenu_Hilfe_Contents", "&Inhalt", K(Qt::Key_F1), &TfMain::HelpContentsExecute);
    AddAction("MainMenu_Hilfe_Support", "&Support", {}, nullptr);
    connect(Action("MainMenu_Hilfe_Support"), &QAction::triggered, this,
            [this] { OpenSiteAddress("/index.php?option=com_contact&Itemid=3"); });
    AddAction("MainMenu_Hilfe_Website", "&Webseite besuchen", {}, nullptr);
    connect(Action("MainMenu_Hilfe_Website"), &QAction::triggered, this, [this] { OpenSiteAddress(""); });
    AddAction("MainMenu_Hilfe_Donate", "Tagwacht unterstützen", {}, nullptr);
    connect(Action("MainMenu_Hilfe_Donate"), &QAction::triggered, this,
            [this] { OpenSiteAddress("/index.php?option=com_content&task=view&id=32&Itemid=25"); });
    AddAction("MainMenu_Hilfe_About", "Ü&ber", {}, nullptr);

    // The windows behind these commands are not part of the program yet: their commands stay
    // disabled rather than pretend to work.
    for (const char* name :
         {"MainMenu_Programm_Options", "MainMenu_Programm_Calendar", "MainMenu_Programm_Export_CSV", "MainMenu_Programm_Export_HTML",
          "MainMenu_Programm_Export_Birthday2000", "MainMenu_Programm_Import_OldDataFile", "MainMenu_Programm_Import_CSV", "MainMenu_Programm_Import_Outlook",
          "MainMenu_Programm_Import_WinRemind", "MainMenu_Programm_Import_Birthday2000",
          "MainMenu_Programm_TimeSync", "MainMenu_Eintrag_Search", "MainMenu_Hilfe_About"})
        Action(name)->setEnabled(false);
}

void TfMain::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    QMenu* program = bar->addMenu(QStringLiteral("&Programm"));
    program->menuAction()->setObjectName(QStringLiteral("MenuBar_Programm"));
    program->addAction(Action("MainMenu_Programm_Options"));
    program->addAction(Action("MainMenu_Programm_RememberNow"));
    program->addAction(Action("MainMenu_Programm_Calendar"));
    program->addSeparator();
    QMenu* exports = new QMenu(this);
    exports->setObjectName(QStringLiteral("MainMenu_Programm_ExportMenu"));
    for (const char* name : {"MainMenu_Programm_Export_Archive", "MainMenu_Programm_Export_CSV",
                             "MainMenu_Programm_Export_PDF", "MainMenu_Programm_Export_HTML",
                             "MainMenu_Programm_Export_Birthday2000"})
        exports->addAction(Action(name));
    Action("MainMenu_Programm_Export")->setMenu(exports);
    program->addAction(Action("MainMenu_Programm_Export"));
    QMenu* imports = new QMenu(this);
    imports->setObjectName(QStringLiteral("MainMenu_Programm_ImportMenu"));
    for (const char* name : {"MainMenu_Programm_Import_Archive", "MainMenu_Programm_Import_OldDataFile",
                             "MainMenu_Programm_Import_CSV", "MainMenu_Programm_Import_Outlook",
                             "MainMenu_Programm_Import_WinRemind", "MainMenu_Programm_Import_Birthday2000"})
        imports->addAction(Action(name));
    Action("MainMenu_Programm_Import")->setMenu(imports);
    program->addAction(Action("MainMenu_Programm_Import"));
    program->addSeparator();
    program->addAction(Action("MainMenu_Programm_Language"));
    program->addAction(Action("MainMenu_Programm_Print"));
    program->addAction(Action("MainMenu_Programm_Update"));
    program->addAction(Action("MainMenu_Programm_TimeSync"));
    program->addSeparator();
    program->addAction(Action("MainMenu_Programm_Exit"));

    QMenu* entry = bar->addMenu(QStringLiteral("&Eintrag"));
    entry->menuAction()->setObjectName(QStringLiteral("MenuBar_Eintrag"));
    for (const char* name : {"MainMenu_Eintrag_Details", "MainMenu_Eintrag_New", "MainMenu_Eintrag_Edit",
                             "MainMenu_Eintrag_Delete", "MainMenu_Eintrag_Search", "MainMenu_Eintrag_SelectAll"})
        entry->addAction(Action(name));

    QMenu* help = bar->addMenu(QStringLiteral("&Hilfe"));
    help->menuAction()->setObjectName(QStringLiteral("MenuBar_Hilfe"));
    for (const char* name : {"MainMenu_Hilfe_Contents", "MainMenu_Hilfe_Support", "MainMenu_Hilfe_Website",
                             "MainMenu_Hilfe_Donate", "MainMenu_Hilfe_About"})
        help->addAction(Action(name));
}

void TfMain::CreateToolBar() {
    tool_bar_ = addToolBar(QStringLiteral("Tagwacht"));
    tool_bar_->setObjectName(QStringLiteral("ToolBar"));
    tool_bar_->setIconSize(QSize(32, 32));
    tool_bar_->setMovable(false);
    for (const char* name : {"MainMenu_Programm_Options", "MainMenu_Programm_Update", "MainMenu_Programm_RememberNow",
                             "MainMenu_Programm_Calendar", "MainMenu_Programm_Print", "MainMenu_Programm_TimeSync"})
        tool_bar_->addAction(Action(name));
    tool_bar_->addSeparator();
    for (const char* name : {"MainMenu_Eintrag_New", "MainMenu_Eintrag_Edit", "MainMenu_Eintrag_Delete",
                             "MainMenu_Eintrag_Details"})
        tool_bar_->addAction(Action(name));
}

void TfMain::CreateCentralArea() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralArea"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    model_ = new TEntryListModel(this);
    list_ = new QTableView(central);
    list_->setObjectName(QStringLiteral("Eintraege"));
    list_->setModel(model_);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
    list_->horizontalHeader()->setSectionsClickable(true);
    list_->horizontalHeader()->setHighlightSections(false);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    // The id column is a spacer one pixel wide, as designed.
    list_->setColumnWidth(0, 1);
    connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        ColumnClick(column, QApplication::keyboardModifiers().testFlag(Qt::ControlModifier));
    });
    connect(list_, &QWidget::customContextMenuRequested, this, &TfMain::ShowListContextMenu);
    list_->viewport()->installEventFilter(this);
    list_->installEventFilter(this);
    layout->addWidget(list_, 1);

    auto* browser_panel = new QWidget(central);
    browser_panel->setObjectName(QStringLiteral("Browserpanel"));
    browser_panel->setFixedHeight(kBrowserHeight);
    auto* browser_layout = new QVBoxLayout(browser_panel);
    browser_layout->setContentsMargins(0, 0, 0, 0);
    web_browser_ = new QTextBrowser(browser_panel);
    web_browser_->setObjectName(QStringLiteral("WebBrowser1"));
    ConfigureGiftTipsBrowser(web_browser_);
    web_browser_->installEventFilter(this);
    browser_layout->addWidget(web_browser_);
    layout->addWidget(browser_panel);
    setCentralWidget(central);

    reading_panel_ = new TCaptionPanel(central);
    reading_panel_->setObjectName(QStringLiteral("pRead"));
    reading_panel_->SetCaption(QStringLiteral("Einträge werden gelesen... Einen Moment bitte"));
    reading_panel_->resize(257, 41);
    reading_panel_->hide();

    list_menu_ = new QMenu(this);
    list_menu_->setObjectName(QStringLiteral("Eintraege_PopupMenu"));
    for (const char* name : {"MainMenu_Eintrag_Details", "MainMenu_Eintrag_New", "MainMenu_Eintrag_Edit",
                             "MainMenu_Eintrag_Delete", "MainMenu_Eintrag_SelectAll"})
        list_menu_->addAction(Action(name));
}

void TfMain::CreateStatusBar() {
    status_ = new TStatusPanels(this);
    status_->setObjectName(QStringLiteral("StatusBar"));
    status_->AddPanel(100, Qt::AlignHCenter);
    status_->AddPanel(70, Qt::AlignHCenter);
    status_->AddPanel(60, Qt::AlignHCenter);
    status_->AddPanel(105, Qt::AlignHCenter);
    status_->AddPanel(0, Qt::AlignLeft);
    setStatusBar(status_);
}

void TfMain::SetHooks(TMainWindowHooks hooks) {
    hooks_ = std::move(hooks);
    UpdateHookedActions();
}

void TfMain::UpdateHookedActions() {
    Action("MainMenu_Eintrag_Details")->setEnabled(static_cast<bool>(hooks_.OpenDetails));
    Action("MainMenu_Eintrag_New")->setEnabled(static_cast<bool>(hooks_.OpenAddChange));
    Action("MainMenu_Eintrag_Edit")->setEnabled(static_cast<bool>(hooks_.OpenAddChange));
    Action("MainMenu_Programm_Language")->setEnabled(static_cast<bool>(hooks_.ShowLanguageWindow));
}

// ---------------------------------------------------------------------------------------------
// The list

void TfMain::FillListView() { model_->SetRows(ListRows(app_.Entries())); }

void TfMain::ColumnClick(int column, bool ctrl) {
    if (column < 0 || column >= kListColumns) return;
    model_->SortByColumn(column, ctrl, app_.Entries(), app_.Sort);
    ShowGiftTips();
}

void TfMain::ShowGiftTips() {
    if (app_.GiftTipsView) app_.GiftTipsView->ShowGiftTips(web_browser_, false, nullptr);
}

void TfMain::RefreshList() {
    FillListView();
    app_.Sort.SortDir = !app_.Sort.SortDir;
    ColumnClick(app_.Sort.SortColumn);
    UpdateCountPanel();
}

void TfMain::UpdateCountPanel() {
    status_->SetPanelText(3, Q(CountText(static_cast<long long>(app_.Entries().Count()))));
}

void TfMain::ResetLastCheck() { app_.LastCheck = TLastCheck{}; }

bool TfMain::LoadEntriesAtStart() {
    repaint();
    setEnabled(false);
    ResetLastCheck();
    const bool loaded = app_.Entries().LoadEntries(app_.IniFiles(), [] { Messages().ProcessMessages(); });
    if (!loaded) return false;
    FillListView();
    ShowGiftTips();
    UpdateCountPanel();
    SetMessagePanel(Q(GetText(167)));
    reading_panel_->hide();
    setEnabled(true);
    return true;
}

int TfMain::CurrentRow() const {
    const QModelIndex current = list_->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

std::vector<int> TfMain::HighlightedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TfMain::HighlightedCount() const { return static_cast<int>(list_->selectionModel()->selectedRows().size()); }

void TfMain::DetailsExecute() {
    const int row = CurrentRow();
    if (row < 0) return ShowText(136, TMsgIcon::Error);
    if (HighlightedCount() >= 2) return ShowText(170, TMsgIcon::Error);
    if (hooks_.OpenDetails) hooks_.OpenDetails(model_->IdAt(row));
}

void TfMain::NewExecute() {
    if (!hooks_.OpenAddChange) return;
    setEnabled(false);
    hooks_.OpenAddChange(0, -1);
}

void TfMain::EditExecute() {
    const int row = CurrentRow();
    if (row < 0) return ShowText(136, TMsgIcon::Error);
    if (HighlightedCount() >= 2) return ShowText(137, TMsgIcon::Error);
    if (hooks_.OpenAddChange) hooks_.OpenAddChange(1, model_->IdAt(row));
}

void TfMain::DeleteExecute() {
    const auto delete_entry = [this](int id) {
        if (const TTWEntry* entry = app_.Entries().FindId(id)) DeleteEntryData(*entry, app_.IniFiles());
        app_.Entries().RemoveEntry(id);
    };
    const std::vector<int> highlighted = HighlightedRows();
    if (CurrentRow() < 0) {
        ShowText(136, TMsgIcon::Error);
    } else if (highlighted.size() == 1) {
        if (Ask(GetText(138))) {
            delete_entry(model_->IdAt(highlighted.front()));
            model_->RemoveRows(highlighted);
        }
    } else if (Ask(Format(GetText(139), {static_cast<long long>(highlighted.size())}))) {
        for (int row : highlighted) delete_entry(model_->IdAt(row));
        model_->RemoveRows(highlighted);
    }
    // Deleting is a user-level operation: it is on disk when it ends.
    std::string error;
    if (!app_.IniFiles().WriteAll(&error)) ShowError(error);
    UpdateCountPanel();
}

void TfMain::SelectAllExecute() { list_->selectAll(); }

void TfMain::ListDoubleClick() {
    const int row = CurrentRow();
    if (row >= 0) {
        const int id = model_->IdAt(row);
        switch (app_.Options.ProgramOptions.DblList) {
        case 0:
            if (hooks_.OpenDetails) hooks_.OpenDetails(id);
            break;
        case 1:
            if (hooks_.OpenAddChange) hooks_.OpenAddChange(1, id);
            break;
        case 2:
            DeleteExecute();
            break;
        default:
            break;
        }
    } else if (!app_.Options.ProgramOptions.DblEmptyList) {
        NewExecute();
    }
}

void TfMain::ShowListContextMenu(const QPoint& position) {
    const bool has_row = CurrentRow() >= 0;
    for (const char* name : {"MainMenu_Eintrag_Details", "MainMenu_Eintrag_Edit", "MainMenu_Eintrag_Delete"})
        Action(name)->setVisible(has_row);
    list_menu_->exec(list_->viewport()->mapToGlobal(position));
    // The same actions sit in the menu bar and the tool bar, where they are always shown.
    for (const char* name : {"MainMenu_Eintrag_Details", "MainMenu_Eintrag_Edit", "MainMenu_Eintrag_Delete"})
        Action(name)->setVisible(true);
}

void TfMain::ListKeyPressed() {
    const int row = model_->RowOfId(SearchHits[static_cast<size_t>(SearchHitIndex)]);
    if (row >= 0) list_->scrollTo(model_->index(row, 1));
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
    // The view follows the window's width once the layout has resized it.
    if (watched == web_browser_ && event->type() == QEvent::Resize) {
        if (app_.GiftTipsView) app_.GiftTipsView->AdjustToWidth(web_browser_);
        return false;
    }
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        ListDoubleClick();
        return true;
    }
    // A click on the empty part of the list keeps the current row and the highlighted ones, so
    // that a double click there still acts on the current row.
    if (watched == list_->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) &&
        !list_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
        return true;
    if (watched == list_ && event->type() == QEvent::KeyPress && !SearchHits.empty()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int last = static_cast<int>(SearchHits.size()) - 1;
        if (SearchHitIndex < 0 || SearchHitIndex > last) SearchHitIndex = 0;
        if (key == Qt::Key_Left) SearchHitIndex = SearchHitIndex == 0 ? last : SearchHitIndex - 1;
        if (key == Qt::Key_Right) SearchHitIndex = SearchHitIndex == last ? 0 : SearchHitIndex + 1;
        ListKeyPressed();
        // The key then takes its normal effect in the list.
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Commands

void TfMain::RemindNowExecute() { check_->RemindNow(); }

void TfMain::HelpContentsExecute() {
    if (FileExists(app_.HelpFile))
        Messages().OpenDocument(app_.HelpFile);
    else
        Messages().MsgBox("Die Hilfe wurde nicht gefunden.", TMsgButtons::Ok, TMsgIcon::Error);
}

void TfMain::OpenSiteAddress(const std::string& path_and_query) {
    Messages().OpenDocument(SiteUrl() + path_and_query);
}

void TfMain::HandOverReceived(const QStringList& lines) {
    if (lines.size() >= 2) return ShowText(172, TMsgIcon::Error);
    ImportArchiveFrom(lines.isEmpty() ? std::string() : lines.front().toStdString());
}

void TfMain::ImportArchiveFrom(const std::string& path) {
    // No input while the import runs; the progress window stays usable for its cancel button.
    // A hand-over may arrive while another window holds the main window disabled; it stays so.
    const bool was_enabled = isEnabled();
    setEnabled(false);
    const int result = hooks_.ImportArchive ? hooks_.ImportArchive(path)
                                            : static_cast<int>(ImportArchive(app_.Session, path));
    setEnabled(was_enabled);
    if (result == 2) {
        ResetLastCheck();
        RefreshList();
        ShowText(130, TMsgIcon::Information);
    } else if (result == 1) {
        ShowText(176, TMsgIcon::Information);
    } else {
        ShowText(132, TMsgIcon::Error);
    }
}

void TfMain::ImportArchiveExecute() {
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Tagwacht"), QString(),
                                                      QStringLiteral("Tagwacht-Datei (*.twf)"));
    if (!file.isEmpty()) ImportArchiveFrom(file.toStdString());
}

void TfMain::ExportArchiveExecute() {
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Tagwacht"), QString(),
                                                      QStringLiteral("Tagwacht - Datei (*.twf)"));
    if (!file.isEmpty()) ExportArchiveTo(file.toStdString());
}

void TfMain::ExportPdfExecute() {
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Tagwacht"), QString(),
                                                      QStringLiteral("PDF-Dokument (*.pdf)"));
    if (!file.isEmpty()) ExportPdfTo(file.toStdString());
}

void TfMain::ExportPdfTo(const std::string& path) {
    const bool written = ExportPDF(app_.Session, path, DisplayedIds());
    ReportExport(written);
}

void TfMain::PrintExecute() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() == QDialog::Accepted) PrintEntries(printer, app_.Entries(), DisplayedIds());
}

std::vector<int> TfMain::DisplayedIds() const {
    std::vector<int> ids;
    ids.reserve(static_cast<size_t>(model_->rowCount()));
    for (int row = 0; row < model_->rowCount(); ++row) ids.push_back(model_->IdAt(row));
    return ids;
}

void TfMain::ExportArchiveTo(const std::string& path) {
    const bool written = ExportArchive(app_.Session, path, AskArchiveCompression());
    ReportExport(written);
}

// ---------------------------------------------------------------------------------------------
// Status bar

void TfMain::UpdateClock() {
    const TDateTime now = Now();
    status_->SetPanelText(0, Q(WeekdayText(now)));
    status_->SetPanelText(1, Q(DateToText(now)));
    status_->SetPanelText(2, Q(TimeToText(now)));
    const TCivilDate date = DecodeDate(now);
    if (date.Day == 21 && date.Month == 3 && status_->PanelText(4) != Q(GetText(169))) SetMessagePanel(Q(GetText(168)));
}

void TfMain::SetMessagePanel(const QString& text) { status_->SetPanelText(4, text); }

void TfMain::CentreReadingPanel() {
    QWidget* area = centralWidget();
    const QPoint origin = area->mapFrom(this, QPoint(0, 0));
    reading_panel_->move(origin.x() + qRound((width() - reading_panel_->width()) / 2.0),
                         origin.y() + qRound((height() - reading_panel_->height()) / 2.0));
    reading_panel_->raise();
    reading_panel_->show();
}

// ---------------------------------------------------------------------------------------------
// Tray

void TfMain::ToTray() {
    if (!isEnabled() || !app_.TrayIcon) return;
    app_.TrayIcon->ShowIcon();
    // Without a tray to come back from, the window stays in the task bar, minimised.
    if (app_.TrayIcon->Shown()) hide();
}

void TfMain::FromTray() {
    if (windowState() & Qt::WindowMaximized)
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
    if (app_.TrayIcon) app_.TrayIcon->HideIcon();
}

void TfMain::TrayRightReleased(const QPoint& position) {
    if (app_.CheckAndClose) return;
    raise();
    activateWindow();
    tray_menu_->popup(position);
}

void TfMain::TrayLeftReleased() {
    if (app_.CheckAndClose) return;
    FromTray();
}

// ---------------------------------------------------------------------------------------------
// Window events

TWindowLayout TfMain::CurrentLayout() const {
    TWindowLayout layout;
    const QRect frame = isMaximized() ? normalGeometry() : geometry();
    layout.Width = frame.width();
    layout.Height = frame.height();
    layout.Left = frame.x();
    layout.Top = frame.y();
    layout.Maximized = isMaximized();
    for (int column = 0; column < kListColumns; ++column) layout.ColumnWidths.push_back(list_->columnWidth(column));
    return layout;
}

void TfMain::PlaceFromOptions() {
    const TTWOptions& options = app_.Options;
    for (size_t column = 0; column < options.ColumnWidths.size() && column < size_t(kListColumns); ++column)
        list_->setColumnWidth(static_cast<int>(column), options.ColumnWidths[column]);
    if (options.Maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    resize(options.Width, options.Height);
    move(options.Left, options.Top);
}

void TfMain::closeEvent(QCloseEvent* event) {
    app_.ShutDown(CurrentLayout());
    event->accept();
    QCoreApplication::quit();
}

void TfMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, &TfMain::ToTray);
}

}  // namespace tw
