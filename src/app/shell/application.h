// The application object: an exception escaping a handler is shown in a message box and the
// message loop goes on.
#pragma once

#include <QApplication>

namespace orvane {

class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace orvane
