#pragma once

#include <QGroupBox>
#include <QVector>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

namespace tw {

/// A framed group of choices, one radio button per line, of which at most one is chosen.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    /// Appends a choice below the others.
    void AddItem(const QString& text);
    int ItemCount() const { return static_cast<int>(items_.size()); }
    /// The radio button of choice index (from 0); index must be valid.
    QRadioButton* Item(int index) const { return items_.at(index); }
    QString ItemText(int index) const;
    void SetItemText(int index, const QString& text);
    /// The chosen choice, or -1 when none is.
    int ItemIndex() const;
    /// Chooses a choice; -1 or an invalid index clears the choice.
    void SetItemIndex(int index);

  signals:
    void ItemIndexChanged(int index);

  private:
    QButtonGroup* group_;
    QVBoxLayout* layout_;
    QVector<QRadioButton*> items_;
};

}  // namespace tw
