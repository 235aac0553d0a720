// TUtmCoordinatesDialog (" COORDINATES"): the UTM zone and the map coordinates of the DEM's frame.
// The document windows read the frame from its fields on every mouse move; on OK the zone
// and the corners go over to the ILWIS export dialog. The cell size worked out from the
// corners is shown live. Made once; the coordinates stay in force for later DEMs.
#pragma once

#include <QDialog>

#include "app/display/image_window.h"
#include "core/exchange/utm_frame.h"

class QLineEdit;

namespace orvane {

// The frame as the core's UTM computations take it, in `zone`.
UtmFrame CoreUtmFrame(const TUtmFrame& frame, int zone = 0);

class TUtmCoordinatesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TUtmCoordinatesDialog(QWidget* parent = nullptr);

  // A newly opened DEM refreshes the frame and the pixel size of its header.
  void SetDemFrame(int lines, int columns, int pixelSize);
  // The frame as the fields stand: corners as decimal numbers, lines and columns as integers.
  TUtmFrame Frame() const;

  QString ZoneText() const;
  QString XMinText() const;
  QString XMaxText() const;
  QString YMinText() const;
  QString YMaxText() const;
  QString CalculatedX() const;
  QString CalculatedY() const;

  // For the tests and the handler: type into the fields.
  void SetCorners(const QString& xMin, const QString& yMin, const QString& xMax,
                  const QString& yMax);
  void SetZoneText(const QString& zone);

 private:
  void CornerChanged();

  QLineEdit* coordLines_;
  QLineEdit* coordColumns_;
  QLineEdit* zone_;
  QLineEdit* xMin_;
  QLineEdit* yMin_;
  QLineEdit* xMax_;
  QLineEdit* yMax_;
  QLineEdit* origPixSize_;
  QLineEdit* pixX_;
  QLineEdit* pixY_;
};

}  // namespace orvane
