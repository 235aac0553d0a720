// Start-up and shutdown around the message loop: the settings are read before the main frame
// is made and written back after the loop ends; the splash window is shown for three seconds
// while the loop already runs.
#pragma once

#include <QString>
#include <QStringList>

#include "core/settings/settings_file.h"

namespace orvane {

class TWorkbench;

// $ORVANE_SETTINGS when set, else the default settings path.
QString SettingsPath();

class TSettingsStore {
 public:
  // Reads the settings file at `path` (defaults when it is missing or unreadable).
  explicit TSettingsStore(const QString& path = SettingsPath());
  // Writes the settings back. A file that cannot be written (read-only, directory gone) is
  // left as it was and the failure is said: on stderr always, and in a warning box too when
  // `showBox` (the GUI can still show one; not after a termination signal).
  Status Finish(bool showBox = true);

  TSettings settings;
  QString path;
};

// SIGTERM, SIGINT and SIGHUP end the message loop like "Exit", so the settings are still
// written back.
void QuitOnTerminationSignals();
// True once such a signal ended the loop.
bool EndedBySignal();

// Shows the splash window now and the main frame after `milliseconds`, without blocking;
// a non-empty `demPath` is then opened through the Open DEM steps.
void ShowAfterSplash(TWorkbench& main, int milliseconds = 3000, const QString& demPath = {});

// The DEM named on the command line (`orvane FILE`, as the desktop entry starts it): the first
// argument after the program's name that is not an option; empty when there is none.
QString DemPathArgument(const QStringList& arguments);

}  // namespace orvane
