#include "app/shell/application.h"

#include <exception>
#include <new>

#include "app/shell/workbench.h"
#include "app/shell/prompter.h"
#include "core/common/grid_memory.h"

namespace orvane {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const GridAllocationError& error) {
    Prompts().Warning(activeWindow(), "ORVANE", QString::fromStdString(error.what()));
  } catch (const std::bad_alloc&) {
    // Treatments allocate grids the size of the open DEM: name that size.
    QString text = "Not enough memory for this operation.";
    for (QWidget* widget : topLevelWidgets()) {
      auto* main = qobject_cast<TWorkbench*>(widget);
      if (const TDemModel* dem = main ? main->Session().CurrentDem() : nullptr) {
        text = QString::fromStdString(GridMemoryMessage(dem->lines, dem->columns));
        break;
      }
    }
    Prompts().Warning(activeWindow(), "ORVANE", text);
  } catch (const std::exception& error) {
    Prompts().Warning(activeWindow(), "ORVANE", QString::fromLocal8Bit(error.what()));
  }
  return false;
}

}  // namespace orvane
