// The dialogs of the GeoTIFF exchange.
//
// TImportGdalDialog (" IMPORT GEOTIFF / GDAL RASTER"): shows what the chosen raster holds and
// takes the vertical unit of the imported DEM, its name and, for a raster without
// georeference, the pixel size. TExportGeoTiffDialog (" EXPORT GEOTIFF"): which raster to write,
// where its georeference comes from and how it is compressed. Both are made once and keep
// their choices.
#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialog>

#include "core/exchange/gdal_raster.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace orvane {

class TImportGdalDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TImportGdalDialog(QWidget* parent = nullptr);

  // Fills the figures of the raster and proposes its path without extension as the name.
  void SetRaster(const GdalRasterInfo& info);

  // U of the imported DEM: 1, 10, 100 or 1000; 0 for the finest unit the raster's range holds
  // (proposed for real-valued rasters).
  int UnitFactor() const;
  void ChooseUnit(int factor);
  // NoData cells become ground with the nearest valid elevation (otherwise they stay NoData).
  bool FillNoData() const;
  QString OutputName() const;
  // The pixel size typed for a raster without georeference (metres, decimal).
  double TypedPixelSize() const;
  // Closes with OK when the name (and, without georeference, the pixel size) is given.
  void OkClick();

 private:
  QLineEdit* figures_[5];  // file, lines x columns, data type, coordinate system, cell size
  QLabel* bandNote_;
  QButtonGroup* units_;  // m, dm, cm, mm, finest that holds the range
  QCheckBox* fillNoData_;
  QLineEdit* pixSize_;
  QLineEdit* nameEdit_;
  bool needsPixelSize_ = false;
};

class TExportGeoTiffDialog : public QDialog {
  Q_OBJECT

 public:
  enum Content { kParameterImage = 0, kDrainage = 1, kDem = 2 };
  enum Source { kFromImport = 0, kFromUtmFrame = 1, kNoGeoreference = 2 };

  explicit TExportGeoTiffDialog(QWidget* parent = nullptr);

  // Enables the choices that exist now; a disabled current choice moves to the first one
  // available (the imported georeference before the UTM frame).
  void SetAvailable(bool parameterImage, bool drainage, bool dem, bool imported, bool utmFrame);

  Content Chosen() const { return static_cast<Content>(contents_->checkedId()); }
  Source GeoSource() const { return static_cast<Source>(sources_->checkedId()); }
  void Choose(Content content) { contents_->button(content)->setChecked(true); }
  void ChooseSource(Source source) { sources_->button(source)->setChecked(true); }
  // The compression of the exported images and of "Values (GeoTIFF)" (DEFLATE at first).
  GeoTiffCompression Compression() const;

 private:
  QButtonGroup* contents_;
  QButtonGroup* sources_;
  QComboBox* compression_;
};

}  // namespace orvane
