#include "ui/widgets/image_label.h"

namespace tw {

TImageLabel::TImageLabel(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignCenter); }

}  // namespace tw
