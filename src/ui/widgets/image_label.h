#pragma once

#include <QLabel>

namespace tw {

/// A picture on a window (a logo, an entry's photo). A class of its own so that translation can
/// tell pictures, which only take a tooltip, from text labels.
class TImageLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TImageLabel(QWidget* parent = nullptr);
};

}  // namespace tw
