#include "ui/widgets/caption_panel.h"

#include <QVBoxLayout>

namespace tw {

TCaptionPanel::TCaptionPanel(QWidget* parent) : QFrame(parent), caption_(new QLabel(this)) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    caption_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(caption_);
}

}  // namespace tw
