// ORVANE desktop application: settings, main frame and the command modules installed on it,
// splash, message loop, settings again. `orvane FILE` opens the DEM FILE once the main frame
// shows; `orvane --no-splash` starts without the splash window.
#include <clocale>

#include "app/main_form.h"
#include "app/shell/app_session.h"
#include "app/shell/application.h"
#include "app/shell/icons.h"

int main(int argc, char** argv) {
  orvane::TApplication application(argc, argv);
  orvane::TApplication::setApplicationName("ORVANE Version 1.00");
  orvane::TApplication::setApplicationVersion(ORVANE_VERSION);
  orvane::TApplication::setWindowIcon(orvane::ApplicationIcon());
  orvane::TApplication::setDesktopFileName("orvane");  // the installed orvane.desktop
  // Numbers in files and fields use a point whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");

  orvane::QuitOnTerminationSignals();
  orvane::TSettingsStore session;
  int result = 0;
  {
    orvane::TMainForm main(session.settings);
    orvane::InstallCommandModules(main);
    const QStringList arguments = orvane::TApplication::arguments();
    orvane::ShowAfterSplash(main, orvane::SplashMilliseconds(arguments, session.settings),
                            orvane::DemPathArgument(arguments));
    result = orvane::TApplication::exec();
  }
  // A settings file that cannot be written is said in a box, or only on stderr after a signal.
  session.Finish(!orvane::EndedBySignal());
  return result;
}
