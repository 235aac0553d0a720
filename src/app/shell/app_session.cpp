#include "app/shell/app_session.h"

#include <QTimer>

#include "app/main_form.h"
#include "app/shell/about_form.h"

namespace orvane {

QString SettingsPath() {
  const QString fromEnvironment = qEnvironmentVariable("ORVANE_SETTINGS");
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  return QString::fromStdString(DefaultSettingsPath());
}

TAppSession::TAppSession(const QString& settingsPath) : path(settingsPath) {
  settings = ReadSettings(path.toStdString());
}

void TAppSession::Finish() { (void)WriteSettings(path.toStdString(), settings); }

void ShowAfterSplash(TMainForm& main, int milliseconds) {
  auto* splash = new TPresentationForm;
  splash->setAttribute(Qt::WA_DeleteOnClose);
  splash->show();
  splash->repaint();
  // A timer rather than a busy wait: the splash stays painted and the loop keeps running.
  QTimer::singleShot(milliseconds, &main, [&main, splash] {
    main.show();
    splash->close();
  });
}

}  // namespace orvane
