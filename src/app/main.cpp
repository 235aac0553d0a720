// ORVANE desktop application: settings, main frame, splash, message loop, settings again.
#include <clocale>

#include "app/main_form.h"
#include "app/shell/app_session.h"
#include "app/shell/application.h"

int main(int argc, char** argv) {
  orvane::TApplication application(argc, argv);
  orvane::TApplication::setApplicationName("ORVANE Version 1.00");
  orvane::TApplication::setApplicationVersion(ORVANE_VERSION);
  // Numbers in files and fields use a point whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");

  orvane::QuitOnTerminationSignals();
  orvane::TAppSession session;
  int result = 0;
  {
    orvane::TMainForm main(session.settings);
    orvane::ShowAfterSplash(main);
    result = orvane::TApplication::exec();
  }
  session.Finish();
  return result;
}
