// The About window TAboutForm and the splash window TSplashForm shown at start-up.
#pragma once

#include <QDialog>
#include <QWidget>

namespace orvane {

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);
};

// Borderless, above the other windows, 718 x 420, maroon, a bevelled panel with the picture.
class TSplashForm : public QWidget {
  Q_OBJECT

 public:
  explicit TSplashForm(QWidget* parent = nullptr);
};

}  // namespace orvane
