// The About window TAuSujetDeForm and the splash window TPresentationForm shown at start-up.
#pragma once

#include <QDialog>
#include <QWidget>

namespace orvane {

class TAuSujetDeForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAuSujetDeForm(QWidget* parent = nullptr);
};

// Borderless, above the other windows, 718 x 420, maroon, a bevelled panel with the picture.
class TPresentationForm : public QWidget {
  Q_OBJECT

 public:
  explicit TPresentationForm(QWidget* parent = nullptr);
};

}  // namespace orvane
