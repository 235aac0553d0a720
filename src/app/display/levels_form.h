// TLevelsDialog ("HISTOGRAMS"): levels of the image in the DEM window. A minimum and a
// maximum per colour channel stretch [min, max] over 0..255; "Link" ties the three channels
// (always on, and locked, for a gray image). Each channel's histogram is drawn as it will be
// after the stretch, and a reduced copy of the image previews the result.
#pragma once

#include <QDialog>
#include <QImage>
#include <array>
#include <memory>

#include "core/exchange/levels.h"
#include "core/terrain/raster_image.h"

class QCheckBox;
class QLabel;
class QSlider;

namespace orvane {

class TBitmapBox;

class TLevelsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TLevelsDialog(QWidget* parent = nullptr);

  // The activation: the image shown in the DEM window. Resets the bounds to 0 and 255,
  // counts the histograms, sets "Link" for a gray image and makes the preview copy.
  void SetImage(const TRasterImage& image);

  const LevelsState& State() const { return state_; }
  // The histogram of a channel as drawn (after the stretch).
  const THistogram256& ShownHistogram(int channel) const {
    return shown_[static_cast<std::size_t>(channel)];
  }
  const QImage& Preview() const { return preview_; }

 private:
  void BoundMoved(int channel, bool maximum, int value);
  void LinkClicked(bool checked);
  void Refresh();

  LevelsState state_;
  std::array<THistogram256, 3> counts_{};
  std::array<THistogram256, 3> shown_{};
  std::unique_ptr<TRasterImage> reduced_;
  QImage preview_;
  // The bars and labels of the minima ([0]) and maxima ([1]), by channel.
  QSlider* bars_[2][3] = {};
  QLabel* labels_[2][3] = {};
  std::array<TBitmapBox*, 3> boxes_{};
  TBitmapBox* previewBox_;
  QCheckBox* link_;
};

}  // namespace orvane
