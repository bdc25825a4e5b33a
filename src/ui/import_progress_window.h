#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tw {

struct TProgressState;

/// The always-on-top window that watches the shared progress state of a long import or export:
/// it shows itself when a job starts, follows the position and closes when the job ends. It never
/// calls the job; its cancel button only sets the flag the job polls.
class TfImportProgress : public QDialog {
    Q_OBJECT
public:
    explicit TfImportProgress(TProgressState& state, QWidget* parent = nullptr);

    /// One tick of the timer (public for tests).
    void Tick();
    QProgressBar* Gauge() const { return gauge_; }
    QLabel* StatusLabel() const { return status_; }
    QLabel* HeadingLabel() const { return heading_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    TProgressState& state_;
    QLabel* heading_;
    QLabel* status_;
    QProgressBar* gauge_;
    QPushButton* cancel_;
    QTimer timer_;
    int shown_max_ = -2;
};

}  // namespace tw
