// The two ILWIS dialogs. TIlwisExportDialog (" TRANSF ILWIS") shows the figures of the opened DEM and
// takes the UTM zone, the corner coordinates and the generic name of an export; the
// coordinate dialog hands its zone and corners over on OK. TIlwisImportDialog
// (" IMPORT ILWIS FILE") shows the size the import found and asks the element type and the
// output name. Both are made once and keep their values.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "core/exchange/ilwis_import.h"

class QLineEdit;
class QRadioButton;

namespace orvane {

struct TDemOpenedInfo;

class TIlwisExportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TIlwisExportDialog(QWidget* parent = nullptr);

  // The information fields, filled when a DEM is opened.
  void SetDemFigures(const TDemOpenedInfo& info);
  // The zone and corners handed over by the coordinate dialog.
  void SetFrameTexts(const QString& zone, const QString& xMin, const QString& xMax,
                     const QString& yMin, const QString& yMax);
  // Where the OK button takes the output folder from (the last opened file's folder).
  void SetFolderSource(std::function<QString()> source) { folderSource_ = std::move(source); }

  int Zone() const { return zone_; }
  double XMin() const { return xMin_; }
  double YMin() const { return yMin_; }
  double XMax() const { return xMax_; }
  double YMax() const { return yMax_; }
  // Stored by the last OK.
  QString GenericName() const { return name_; }
  QString Folder() const { return folder_; }

  void SetNameText(const QString& text);
  void OkClick();

 private:
  QLineEdit* zoneEdit_;
  QLineEdit* xMinEdit_;
  QLineEdit* yMinEdit_;
  QLineEdit* xMaxEdit_;
  QLineEdit* yMaxEdit_;
  QLineEdit* nameEdit_;
  QLineEdit* lines_;
  QLineEdit* columns_;
  QLineEdit* numBytes_;
  QLineEdit* pixSize_;
  QLineEdit* altMin_;
  QLineEdit* altMax_;
  QLineEdit* scale_;
  std::function<QString()> folderSource_;
  int zone_ = 0;
  double xMin_ = 0.0, yMin_ = 0.0, xMax_ = 0.0, yMax_ = 0.0;
  QString name_;
  QString folder_;
};

class TIlwisImportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TIlwisImportDialog(QWidget* parent = nullptr);

  void SetMapFigures(int lines, int columns, int elementSize);
  IlwisElementType ElementType() const { return type_; }
  QString OutputName() const;

  void ChooseType(IlwisElementType type);
  void SetNameText(const QString& text);
  // Closes with OK once an element type is chosen; otherwise "Check the Format".
  void OkClick();

 private:
  QLineEdit* lineEdit_;
  QLineEdit* colEdit_;
  QLineEdit* numBytesEdit_;
  QLineEdit* nameEdit_;
  QRadioButton* types_[5];
  IlwisElementType type_ = IlwisElementType::kNone;
};

}  // namespace orvane
