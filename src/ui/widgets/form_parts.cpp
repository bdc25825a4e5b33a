#include "ui/widgets/form_parts.h"

#include <QApplication>
#include <QBoxLayout>
#include <QIcon>

#include "ui/widgets/caption_panel.h"
#include "ui/widgets/image_label.h"

namespace tw {

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QLabel(caption, parent), name);
}

TCaptionPanel* NewPanel(QWidget* parent, const char* name, bool white, QLayout* content) {
    auto* panel = Named(new TCaptionPanel(parent), name);
    panel->setFrameShape(QFrame::NoFrame);
    panel->layout()->setContentsMargins(0, 0, 0, 0);
    // These panels show no caption of their own; an empty caption line would only take room.
    if (auto* caption = panel->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) caption->hide();
    if (white) {
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, Qt::white);
        panel->setPalette(palette);
    }
    auto* holder = new QWidget(panel);
    holder->setLayout(content);
    static_cast<QBoxLayout*>(panel->layout())->addWidget(holder, 1);
    return panel;
}

QHBoxLayout* NewDialogHeader(QWidget* parent, const char* title_name, const QString& title,
                             const char* subtitle_name, const QString& subtitle, const char* logo_name,
                             int title_points) {
    auto* title_label = NewLabel(parent, title_name, title);
    QFont bold = title_label->font();
    bold.setBold(true);
    if (title_points > 0) bold.setPointSize(title_points);
    title_label->setFont(bold);
    auto* subtitle_label = NewLabel(parent, subtitle_name, subtitle);
    auto* logo = Named(new TImageLabel(parent), logo_name);
    logo->setFixedSize(40, 40);
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) logo->setPixmap(icon.pixmap(40, 40));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(title_label);
    texts->addWidget(subtitle_label);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(8, 4, 6, 4);
    header->addLayout(texts, 1);
    header->addWidget(logo);
    return header;
}

}  // namespace tw
