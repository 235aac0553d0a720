// The preferences dialog TPreferencesDialog ("Préférences") and its directory chooser
// ("Sélection Répertoire"). The dialog works on a copy of the settings record, taken each
// time it is shown, and writes the copy back only when OK passes its checks.
#pragma once

#include <QDialog>
#include <QString>

#include "core/settings/settings_file.h"

class QCheckBox;
class QLineEdit;

namespace orvane {

class TWholeNumberEdit;

// The directory chooser "Sélection Répertoire", starting at `start` (the nearest existing parent
// when it is missing): the drives, the current directory and its subdirectories, one entered by
// activating it. The directory chosen; empty when cancelled.
QString AskDirectory(QWidget* parent, const QString& start);

class TPreferencesDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kNumbers = 4;
  static constexpr int kDirectories = 3;

  TPreferencesDialog(TSettings& settings, QWidget* parent = nullptr);

  // Copies the settings record into the dialog's copy and its fields (done on showing).
  void LoadFromSettings();
  // OK: checks smoothing, skeleton and preview sizes in this order; the first failure is
  // reported ("ERREUR") and keeps the dialog open; else the copy replaces the settings.
  void OkClick();
  const TSettings& Copy() const { return copy_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TSettings& settings_;
  TSettings copy_;
  // The stereo gap, smoothing, skeleton and preview sizes; the project, DEM and image folders.
  TWholeNumberEdit* numbers_[kNumbers] = {};
  QLineEdit* directories_[kDirectories] = {};
  QCheckBox* splash_ = nullptr;
};

}  // namespace orvane
