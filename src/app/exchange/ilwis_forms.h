// The UTM frame and the two ILWIS dialogs, each made once and keeping its values.
//
// TUtmCoordinatesDialog (" COORDINATES"): the UTM zone and the map coordinates of the DEM's frame.
// The document windows read the frame from its fields on every mouse move; on OK the zone
// and the corners go over to the ILWIS export dialog. The cell size worked out from the
// corners is shown live; the coordinates stay in force for later DEMs.
// TIlwisExportDialog (" TRANSF ILWIS") shows the figures of the opened DEM and takes the UTM
// zone, the corner coordinates and the generic name of an export. TIlwisImportDialog
// (" IMPORT ILWIS FILE") shows the size the import found and asks the element type and the
// output name.
#pragma once

#include <QDialog>
#include <QStringList>

#include "core/exchange/ilwis_export.h"
#include "core/exchange/ilwis_import.h"
#include "core/exchange/utm_frame.h"

class QLineEdit;
class QRadioButton;

namespace orvane {

struct TDemOpenedInfo;

class TUtmCoordinatesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TUtmCoordinatesDialog(QWidget* parent = nullptr);

  // A newly opened DEM refreshes the frame and the pixel size of its header.
  void SetDemFrame(int lines, int columns, int pixelSize);
  // The frame as the fields stand: zone, lines and columns as integers, corners as decimals.
  UtmFrame TypedFrame() const;
  // The zone and the corners as typed, in the order zone, X_min, Y_min, X_max, Y_max.
  QStringList FrameTexts() const;
  void SetFrameTexts(const QStringList& texts);

 private:
  void CornerChanged();

  QLineEdit* lines_;
  QLineEdit* columns_;
  QLineEdit* origPixSize_;
  QLineEdit* zoneAndCorners_[5];
  QLineEdit* pixX_;
  QLineEdit* pixY_;
};

class TIlwisExportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TIlwisExportDialog(QWidget* parent = nullptr);

  // The information fields, filled when a DEM is opened.
  void SetDemFigures(const TDemOpenedInfo& info);
  // The zone and corners handed over by the coordinate dialog: zone, X_min, Y_min, X_max, Y_max.
  void SetFrameTexts(const QStringList& texts);
  // Name, zone and corners as the last OK took them; the folder and U are the caller's.
  const IlwisExportParams& Params() const { return params_; }

  void OkClick();

 private:
  QLineEdit* figures_[7];
  QLineEdit* zoneAndCorners_[5];
  QLineEdit* nameEdit_;
  IlwisExportParams params_;
};

class TIlwisImportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TIlwisImportDialog(QWidget* parent = nullptr);

  void SetMapFigures(int lines, int columns, int elementSize);
  // The checked format; kNone before one was chosen.
  IlwisElementType ElementType() const;
  QString OutputName() const;
  // Closes with OK once an element type is chosen; otherwise "Check the Format".
  void OkClick();

 private:
  QLineEdit* figures_[3];
  QLineEdit* nameEdit_;
  QRadioButton* types_[5];
};

}  // namespace orvane
