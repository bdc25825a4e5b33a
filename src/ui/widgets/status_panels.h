#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QVector>

namespace tw {

/// A status bar of fixed panels side by side, each a label of its own width and alignment; the
/// last panel takes the rest of the width.
class TStatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusPanels(QWidget* parent = nullptr) : QStatusBar(parent) {}

    /// Adds a panel; width 0 makes it stretch over what is left.
    void AddPanel(int width, Qt::Alignment alignment);
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    QString PanelText(int index) const { return panels_.at(index)->text(); }
    void SetPanelText(int index, const QString& text) { panels_.at(index)->setText(text); }

private:
    QVector<QLabel*> panels_;
};

}  // namespace tw
