// The hour-glass cursor around a computation: set on construction, the arrow back on
// destruction, also when the handler leaves early.
#pragma once

#include <QApplication>
#include <QCursor>

namespace orvane {

class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~BusyCursor() { Release(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  // Restores the arrow before the scope ends, for example before a message box.
  void Release() {
    if (active_) QApplication::restoreOverrideCursor();
    active_ = false;
  }

 private:
  bool active_ = true;
};

}  // namespace orvane
