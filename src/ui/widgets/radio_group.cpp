#include "ui/widgets/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tw {

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), layout_(new QVBoxLayout(this)) {
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit ItemIndexChanged(id);
    });
}

void TRadioGroup::AddItem(const QString& text) {
    auto* button = new QRadioButton(text, this);
    group_->addButton(button, static_cast<int>(items_.size()));
    layout_->addWidget(button);
    items_.push_back(button);
}

QString TRadioGroup::ItemText(int index) const { return items_.at(index)->text(); }

void TRadioGroup::SetItemText(int index, const QString& text) { items_.at(index)->setText(text); }

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < ItemCount()) {
        items_[index]->setChecked(true);
        return;
    }
    // An exclusive group never lets the last checked button go; lift that for the moment.
    QAbstractButton* checked = group_->checkedButton();
    if (!checked) return;
    group_->setExclusive(false);
    checked->setChecked(false);
    group_->setExclusive(true);
    emit ItemIndexChanged(-1);
}

}  // namespace tw
