// The "Shadowing" dialogs: TSlicesDialog (slice table, smoothing, scale, shadow, result
// kind) and the light dialog TShadingDialog (azimuth, elevation, exaggeration, brightness,
// the sun picker, the live preview and the cast-shadow attenuation).
#pragma once

#include <QDialog>
#include <QImage>
#include <functional>
#include <memory>

#include "app/display/bitmap_box.h"
#include "app/display/legend_dialog.h"
#include "core/render/light_fields.h"
#include "core/terrain/dem_model.h"
#include "core/treatment/treatment.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {


// The sun picker: a circle; the direction from the centre is the azimuth, the distance from
// the rim the elevation (centre = 90 degrees). Drawn with the sun line, 4 pixels wide.
class TSunPicker : public TBitmapBox {
  Q_OBJECT

 public:
  explicit TSunPicker(QWidget* parent = nullptr);
  // Where the sun line ends for a light.
  QPointF SunPoint(const TLightParams& light) const;
  void SetLight(const TLightParams& light);
  // A pick at (x, y): emits the azimuth and elevation it gives.
  void Pick(double x, double y);

 signals:
  void Picked(float azimuth, float elevation);

 private:
  TLightParams light_;
  bool tracking_ = false;
};

class TShadingDialog : public QDialog {
  Q_OBJECT

 public:
  // `global` is the light of the settings; `dem` gives the current DEM (may be null) and
  // `previewSize` the "SHADOW"/"SIZE" setting.
  TShadingDialog(TLightParams& global, std::function<const TDemModel*()> dem,
                   std::function<int()> previewSize, QWidget* parent = nullptr);

  // The activation: working light from the global light, preview model, fields, preview.
  void Activate();
  const TLightParams& WorkingLight() const { return working_; }
  void SetWorkingLight(const TLightParams& light);
  double AttenuationPercent() const { return attenuation_; }
  bool CastShadows() const;
  const QImage& Preview() const;
  const TDemModel* PreviewModel() const { return previewModel_.get(); }
  TSunPicker& SunPicker() const { return *sun_; }

  // Field handlers (leaving DirEdit / IncEdit, changing OmbEdit; ExaEdit and RefEdit are read
  // as they change).
  void DirEditExit();
  void IncEditExit();
  void OmbEditChange();
  void OmbCheckBoxClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void ShowFields();
  void Redraw();

  TLightParams& global_;
  std::function<const TDemModel*()> dem_;
  std::function<int()> previewSize_;
  TLightParams working_;
  double attenuation_ = 0.0;

  QLineEdit* dirEdit_ = nullptr;
  QLineEdit* incEdit_ = nullptr;
  QLineEdit* exaEdit_ = nullptr;
  QLineEdit* refEdit_ = nullptr;
  // The cast shadows: the attenuation and its label show while the box is checked.
  QCheckBox* castShadowsCheck_ = nullptr;
  QLineEdit* castShadowsEdit_ = nullptr;
  QLabel* castShadowsLabel_ = nullptr;
  TSunPicker* sun_ = nullptr;
  TBitmapBox* preview_ = nullptr;
  std::unique_ptr<TDemModel> previewModel_;  // the coarse copy of the DEM the preview shades
};

class TSlicesDialog : public TLegendDialog {
  Q_OBJECT

 public:
  TSlicesDialog(TShadingDialog& lightForm, TLightParams& global,
                std::function<const TDemModel*()> dem, QWidget* parent = nullptr);

  // 0 "None", 1..3 "HypsoMap 1..3", 4 "Personalized", 5 "Gray Tones".
  int TypeIndex() const { return typeIndex_; }
  // The hypsometric table the classes come from ("Personalized" keeps the last one chosen).
  int HypsoIndex() const { return hypsoIndex_; }
  bool Scale() const;
  bool Shadow() const;

  void ChooseType(int index);
  void SetScale(bool on);
  void SetShadow(bool on);
  // OK: refuses "None" without "Shadow" with a message and stays open.
  void OkClick();
  TShadingDialog& ShadingDialog() const { return shading_; }

 protected:
  // A DEM opened since the last use: "Scale" follows its range.
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyScale();

  TShadingDialog& shading_;
  TLightParams& global_;
  std::function<const TDemModel*()> dem_;
  int typeIndex_ = 1;
  int hypsoIndex_ = 1;

  QComboBox* typeCombo_ = nullptr;
  QCheckBox* scale_ = nullptr;
  // "Shadow", and the button that opens the light dialog while it is checked.
  QCheckBox* shadow_ = nullptr;
  QPushButton* shadowButton_ = nullptr;
};

}  // namespace orvane
