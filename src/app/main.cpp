// ORVANE desktop application: settings, main frame and the command modules installed on it,
// splash, message loop, settings again. `orvane FILE` opens the DEM FILE once the main frame
// shows; `orvane --no-splash` starts without the splash window.
#include <QApplication>
#include <clocale>
#include <exception>
#include <new>

#include "app/main_form.h"
#include "app/shell/app_session.h"
#include "app/shell/icons.h"
#include "app/shell/prompter.h"
#include "core/common/grid_memory.h"

namespace {

// An exception escaping a handler is shown in a message box and the message loop goes on.
class TApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    using orvane::Prompts;
    try {
      return QApplication::notify(receiver, event);
    } catch (const orvane::GridAllocationError& error) {
      Prompts().Warning(activeWindow(), "ORVANE", QString::fromStdString(error.what()));
    } catch (const std::bad_alloc&) {
      // Treatments allocate grids the size of the open DEM: name that size.
      QString text = "Not enough memory for this operation.";
      for (QWidget* widget : topLevelWidgets()) {
        auto* main = qobject_cast<orvane::TWorkbench*>(widget);
        if (const orvane::TDemModel* dem = main ? main->Session().CurrentDem() : nullptr) {
          text = QString::fromStdString(orvane::GridMemoryMessage(dem->lines, dem->columns));
          break;
        }
      }
      Prompts().Warning(activeWindow(), "ORVANE", text);
    } catch (const std::exception& error) {
      Prompts().Warning(activeWindow(), "ORVANE", QString::fromLocal8Bit(error.what()));
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  TApplication application(argc, argv);
  TApplication::setApplicationName("ORVANE Version 1.00");
  TApplication::setApplicationVersion(ORVANE_VERSION);
  TApplication::setWindowIcon(orvane::ApplicationIcon());
  TApplication::setDesktopFileName("orvane");  // the installed orvane.desktop
  // Numbers in files and fields use a point whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");

  orvane::QuitOnTerminationSignals();
  orvane::TSettingsStore session;
  int result = 0;
  {
    orvane::TMainForm main(session.settings);
    orvane::InstallCommandModules(main);
    const QStringList arguments = TApplication::arguments();
    orvane::ShowAfterSplash(main, orvane::SplashMilliseconds(arguments, session.settings),
                            orvane::DemPathArgument(arguments));
    result = TApplication::exec();
  }
  // A settings file that cannot be written is said in a box, or only on stderr after a signal.
  session.Finish(!orvane::EndedBySignal());
  return result;
}
