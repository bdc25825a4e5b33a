#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "core/options/options.h"

class QAction;
class QMenu;
class QTableView;
class QTextBrowser;
class QTimer;
class QToolBar;

namespace tw {

class TBackgroundCheck;
class TCaptionPanel;
class TEntryListModel;
class TStatusPanels;
class TTagwacht;

/// What the main window opens in other windows. A window that does not exist yet leaves its
/// hook empty, and the actions that need it stay disabled.
struct TMainWindowHooks {
    std::function<void(int mode, int id)> OpenAddChange;  ///< the entry wizard: 0 new (id -1), 1 change
    std::function<void(int id)> OpenDetails;              ///< the details window
    std::function<void()> ShowLanguageWindow;             ///< the language window
    /// Imports an archive file handed over by a second start: 0 failed, 1 cancelled, 2 done.
    std::function<int(const std::string& path)> ImportArchive;
};

/// The main window: the entry list with menu bar, tool bar and status bar, the gift-tips view
/// below the list, the tray routing and the close-time routine.
class TfMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfMain(TTagwacht& app, QWidget* parent = nullptr);
    ~TfMain() override;

    void SetHooks(TMainWindowHooks hooks);

    // The list.
    QTableView* List() const { return list_; }
    TEntryListModel* ListModel() const { return model_; }
    /// Rebuilds the rows from the collection (no sorting).
    void FillListView();
    /// A click on a column header (ctrl: the Ctrl key held).
    void ColumnClick(int column, bool ctrl = false);
    /// After an import or the wizard: fill, keep the order direction, count panel.
    void RefreshList();
    /// The loading at start-up: disabled window, entries read, list filled, status texts.
    bool LoadEntriesAtStart();

    // The actions on entries.
    void DetailsExecute();
    void NewExecute();
    void EditExecute();
    void DeleteExecute();
    void SelectAllExecute();
    void ListDoubleClick();
    void HelpContentsExecute();
    QAction* Action(const QString& name) const;

    // Search hits shared with the search window.
    std::vector<int> SearchHits;
    int SearchHitIndex = 0;

    // Status bar and clock.
    TStatusPanels* Status() const { return status_; }
    void UpdateClock();
    void SetMessagePanel(const QString& text);
    TCaptionPanel* ReadingPanel() const { return reading_panel_; }
    /// Centres the reading panel on the window.
    void CentreReadingPanel();

    // Tray.
    void ToTray();
    void FromTray();
    void TrayRightReleased(const QPoint& position);
    void TrayLeftReleased();
    QMenu* TrayMenu() const { return tray_menu_; }

    /// Lines a second start handed over: one line is an archive to import.
    void HandOverReceived(const QStringList& lines);
    /// Imports an archive with the main window disabled, then reports and refreshes.
    void ImportArchiveFrom(const std::string& path);
    /// Asks for the compression, writes the archive and reports.
    void ExportArchiveTo(const std::string& path);
    /// Writes the list as it is shown into a PDF document and reports.
    void ExportPdfTo(const std::string& path);
    /// The entry ids of the list from the top.
    std::vector<int> DisplayedIds() const;

    TBackgroundCheck& Check() const { return *check_; }
    QTextBrowser* GiftTipsView() const { return web_browser_; }
    /// Fills the gift-tips view below the list for the entries.
    void ShowGiftTips();
    /// The window as it is now, for the options file.
    TWindowLayout CurrentLayout() const;
    /// Applies the stored size and position (or maximises).
    void PlaceFromOptions();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateCentralArea();
    void CreateStatusBar();
    QAction* AddAction(const QString& name, const QString& caption, const QKeySequence& shortcut,
                       void (TfMain::*handler)());
    int CurrentRow() const;
    int HighlightedCount() const;
    std::vector<int> HighlightedRows() const;
    void ShowListContextMenu(const QPoint& position);
    void ListKeyPressed();
    void RemindNowExecute();
    void ImportArchiveExecute();
    void ExportArchiveExecute();
    void ExportPdfExecute();
    void PrintExecute();
    void UpdateHookedActions();
    void OpenSiteAddress(const std::string& path_and_query);
    void ResetLastCheck();
    void UpdateCountPanel();

    TTagwacht& app_;
    TMainWindowHooks hooks_;
    std::map<QString, QAction*> actions_;
    QTableView* list_ = nullptr;
    TEntryListModel* model_ = nullptr;
    QTextBrowser* web_browser_ = nullptr;
    TStatusPanels* status_ = nullptr;
    TCaptionPanel* reading_panel_ = nullptr;
    QToolBar* tool_bar_ = nullptr;
    QMenu* tray_menu_ = nullptr;
    QMenu* list_menu_ = nullptr;
    QTimer* clock_timer_ = nullptr;
    TBackgroundCheck* check_ = nullptr;
};

}  // namespace tw
