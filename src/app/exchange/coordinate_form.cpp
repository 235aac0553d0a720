#include "app/exchange/coordinate_form.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/form_parts.h"
#include "app/shell/text_values.h"
#include "core/exchange/utm_frame.h"

namespace orvane {

TUtmCoordinatesDialog::TUtmCoordinatesDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("CoordinateForm");
  setWindowTitle(" COORDINATES");

  auto* frame = FieldGroup("Frame", {{coordLines_, "CoordLines", "Lines"},
                                     {coordColumns_, "CoordColumns", "Columns"}});

  auto* input = FieldGroup("Input Data", {{zone_, "Zone", "Zone"},
                                          {xMin_, "Xmin", "X_min"},
                                          {yMin_, "Ymin", "Y_min"},
                                          {xMax_, "Xmax", "X_max"},
                                          {yMax_, "Ymax", "Y_max"}});
  for (QLineEdit* edit : {xMin_, yMin_, xMax_, yMax_}) {
    connect(edit, &QLineEdit::textChanged, this, &TUtmCoordinatesDialog::CornerChanged);
  }

  auto* pixel =
      FieldGroup("Pixel Size (in meters)", {{origPixSize_, "OrigPixSize", "in the Descriptive File"}});
  FormOf(pixel)->addRow(new QLabel("Calculated from UTM Coordinates"));
  pixX_ = AddField(FormOf(pixel), "PixSizeX", "X");
  pixY_ = AddField(FormOf(pixel), "PixSizeY", "Y");

  auto* ok = OkButton(*this, "BitBtn1");

  auto* left = new QVBoxLayout;
  left->addWidget(frame);
  left->addWidget(pixel);
  auto* groups = new QHBoxLayout;
  groups->addLayout(left);
  groups->addWidget(input);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

void TUtmCoordinatesDialog::SetDemFrame(int lines, int columns, int pixelSize) {
  coordLines_->setText(QString::number(lines));
  coordColumns_->setText(QString::number(columns));
  origPixSize_->setText(QString::number(pixelSize));
}

TUtmFrame TUtmCoordinatesDialog::Frame() const {
  TUtmFrame frame;
  frame.xMin = LeadingDouble(xMin_->text());
  frame.xMax = LeadingDouble(xMax_->text());
  frame.yMin = LeadingDouble(yMin_->text());
  frame.yMax = LeadingDouble(yMax_->text());
  frame.lines = LeadingInt(coordLines_->text());
  frame.columns = LeadingInt(coordColumns_->text());
  return frame;
}

UtmFrame CoreUtmFrame(const TUtmFrame& frame, int zone) {
  UtmFrame withZone = frame;
  withZone.zone = zone;
  return withZone;
}

void TUtmCoordinatesDialog::CornerChanged() {
  // Left as they were while the corners are not in order or the frame has no cells.
  if (const auto size = UtmCalculatedPixelSize(CoreUtmFrame(Frame()))) {
    pixX_->setText(QString::number(size->x, 'g', 15));
    pixY_->setText(QString::number(size->y, 'g', 15));
  }
}

QString TUtmCoordinatesDialog::ZoneText() const { return zone_->text(); }
QString TUtmCoordinatesDialog::XMinText() const { return xMin_->text(); }
QString TUtmCoordinatesDialog::XMaxText() const { return xMax_->text(); }
QString TUtmCoordinatesDialog::YMinText() const { return yMin_->text(); }
QString TUtmCoordinatesDialog::YMaxText() const { return yMax_->text(); }
QString TUtmCoordinatesDialog::CalculatedX() const { return pixX_->text(); }
QString TUtmCoordinatesDialog::CalculatedY() const { return pixY_->text(); }

void TUtmCoordinatesDialog::SetCorners(const QString& xMin, const QString& yMin, const QString& xMax,
                                 const QString& yMax) {
  xMin_->setText(xMin);
  yMin_->setText(yMin);
  xMax_->setText(xMax);
  yMax_->setText(yMax);
}

void TUtmCoordinatesDialog::SetZoneText(const QString& zone) { zone_->setText(zone); }

}  // namespace orvane
