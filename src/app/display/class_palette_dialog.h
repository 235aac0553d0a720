// TClassPaletteDialog: how a ten-class result is coloured once computed. The palette ("Colored
// Palette", "Gray Tones Palette" or "Gray Tones (0, 255)", from the treatment's declared
// "palette"), "Smoothing", "Scale" (the class bounds spread over the run's range, shown in Min
// and Max), where the picture goes, and the class legend. The total depth and the dissection
// densities show the same dialog; a ClassPaletteOptions row says what differs.
#pragma once

#include <QString>

#include "app/display/legend_dialog.h"
#include "core/treatment/treatment.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace orvane {

struct ClassPaletteOptions {
  const char* objectName;  // "TotalDepthForm"
  const char* title;       // " Total Depth Visu"
  const TreatmentDescriptor* treatment;  // the declaration whose "palette" the combo box offers
  const char* placementTitle;  // the caption of the "Parameter Image / Wrapped Image" group
  // A tool window shared by several treatments, or a modal dialog of its own.
  bool toolWindow;
  // The treatment's table for a palette choice, spread over (min, max] with `scale`; empty for
  // the gray tones 0 .. 255.
  TClassTable (*classTable)(int palette, bool scale, double min, double max);
};

class TClassPaletteDialog : public TLegendDialog {
  Q_OBJECT

 public:
  explicit TClassPaletteDialog(const ClassPaletteOptions& options, QWidget* parent = nullptr);

  // Before showing: the run's range in Min and Max, whole numbers as such, others to six
  // significant digits. A checked "Scale" follows it.
  void SetRange(int minimum, int maximum);
  void SetRange(double minimum, double maximum);

  // The palette stored at creation and by each "OK" (a value of the declared choices).
  int PaletteChoice() const { return paletteChoice_; }
  const TClassTable& ClassTable() const { return table_; }
  bool Scale() const;
  // The choices as a declaration's `render` takes them: "palette", "smooth", "scale", and the
  // bounds the classes are spread over ("minimum", "maximum") when Min or Max was typed over
  // the run's range.
  TreatmentArgs DisplayArgs() const;

  // The controls as a user works them (also used by the tests and the handlers).
  void SelectPalette(int palette);
  void SetScale(bool on);
  void SetMinMaxText(const QString& minimum, const QString& maximum);
  void OkClick();
  // "Delete", Escape and the close box: the stored palette comes back in the combo box and
  // the table, so a coloured choice never goes with the empty gray table.
  void DeleteClick() { reject(); }
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int ShownPalette() const;
  // The table of the palette shown, spread over Min ... Max with "Scale".
  void RebuildTable();

  TClassTable (*classTable_)(int, bool, double, double);
  QComboBox* paletteCombo_ = nullptr;
  QCheckBox* scale_ = nullptr;
  QLineEdit* minEdit_ = nullptr;
  QLineEdit* maxEdit_ = nullptr;
  QPushButton* ok_ = nullptr;

  int paletteChoice_ = 0;
  QString shownMinimum_, shownMaximum_;  // the run's range as SetRange wrote it
};

}  // namespace orvane
