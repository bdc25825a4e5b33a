#include "ui/widgets/status_panels.h"

namespace tw {

void TStatusPanels::AddPanel(int width, Qt::Alignment alignment) {
    auto* panel = new QLabel(this);
    panel->setAlignment(alignment | Qt::AlignVCenter);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    if (width > 0) {
        panel->setFixedWidth(width);
        addWidget(panel);
    } else {
        addWidget(panel, 1);
    }
    panels_.push_back(panel);
}

}  // namespace tw
