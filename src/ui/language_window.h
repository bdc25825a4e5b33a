#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace tw {

class TTWLanguages;

/// The language window "fLanguage": lists the language files found at start-up, shows who made
/// the one clicked, and stores a new choice, after which the program starts anew in it.
class TfLanguage : public QDialog {
    Q_OBJECT
  public:
    /// main_window is disabled while this window is open; restart starts a new instance of the
    /// program and ends this one at once (it does not return in the running program).
    TfLanguage(QWidget* main_window, TTWLanguages& languages, std::function<void()> restart,
               QWidget* parent = nullptr);
    ~TfLanguage() override;

    /// Fills the list and the current language, centres the window, disables the main window and
    /// shows this one without making it modal.
    void ShowLanguageWindow();

    /// Shows the file, translator and contact of the selected language.
    void lAvClick();
    /// Stores the selected language and restarts, or says why not.
    void bSelectClick();
    void bCloseClick();
    /// Opens the web site's page of further languages in the browser.
    void lMoreClick();

    /// The bare file names, one for each line of the list.
    const std::vector<std::string>& Files() const { return files_; }

  protected:
    /// Every way of closing (close button, system menu, Escape) ends here.
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void FormCloseQuery();
    int SelectedRow() const;

    QPointer<QWidget> main_window_;
    TTWLanguages& languages_;
    std::function<void()> restart_;
    std::vector<std::string> files_;

    QListWidget* lAv_ = nullptr;
    QLabel* lMore_ = nullptr;
    QLabel* lAct_ = nullptr;
    QLabel* eMadeBy_ = nullptr;
    QLabel* eEmail_ = nullptr;
    QLabel* eFile_ = nullptr;
};

}  // namespace tw
