// Start-up and shutdown around the message loop: the settings are read before the main frame
// is made and written back after the loop ends; the splash window is shown for three seconds
// while the loop already runs.
#pragma once

#include <QString>

#include "core/settings/settings_file.h"

namespace orvane {

class TMainForm;

// $ORVANE_SETTINGS when set, else the default settings path.
QString SettingsPath();

class TAppSession {
 public:
  // Reads the settings file at `path` (defaults when it is missing or unreadable).
  explicit TAppSession(const QString& path = SettingsPath());
  // Writes the settings back; a file that cannot be written is ignored.
  void Finish();

  TSettings settings;
  QString path;
};

// SIGTERM, SIGINT and SIGHUP end the message loop like "Exit", so the settings are still
// written back.
void QuitOnTerminationSignals();

// Shows the splash window now and the main frame after `milliseconds`, without blocking.
void ShowAfterSplash(TMainForm& main, int milliseconds = 3000);

}  // namespace orvane
