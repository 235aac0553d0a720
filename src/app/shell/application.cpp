#include "app/shell/application.h"

#include <exception>
#include <new>

#include "app/shell/prompter.h"

namespace orvane {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    Prompts().Warning(activeWindow(), "ORVANE", "Not enough memory for this operation.");
  } catch (const std::exception& error) {
    Prompts().Warning(activeWindow(), "ORVANE", QString::fromLocal8Bit(error.what()));
  }
  return false;
}

}  // namespace orvane
