#include "core/terrain/raster_image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "core/common/grid_memory.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/nodata_paint.h"

namespace orvane {

namespace {

// Rasters larger than this many bytes are refused rather than attempted (about 4 GiB).
constexpr std::uint64_t kMaxRasterBytes = std::uint64_t{1} << 32;

std::uint8_t ClampByte(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

TPalette GrayRamp() {
  TPalette p{};
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    p[i] = {v, v, v, 0};
  }
  return p;
}

TRasterImage::TRasterImage() : palette(GrayRamp()) {}

TRasterImage::TRasterImage(int columns_, int lines_, std::uint8_t kind_) : palette(GrayRamp()) {
  // Allocate gives every pixel 0: black in every kind, no second pass needed. A failure is
  // kept in allocError.
  (void)Allocate(columns_, lines_, kind_);
}

Status TRasterImage::Allocate(int columns_, int lines_, std::uint8_t kind_) {
  lines = lines_;
  columns = columns_;
  kind = kind_;
  if (kind_ != kRasterRgb) palette = GrayRamp();
  pixels_.clear();
  noData.clear();
  if (columns_ <= 0 || lines_ <= 0) return Status::Ok();
  const std::uint64_t total = static_cast<std::uint64_t>(columns_) *
                              static_cast<std::uint64_t>(lines_) *
                              static_cast<std::uint64_t>(BytesPerPixel());
  if (total > kMaxRasterBytes || !GridBytesAllowed(static_cast<std::int64_t>(total))) {
    allocError = 1;
    Release();
    return GridMemoryError(lines_, columns_);
  }
  try {
    AssignOnLargePages(pixels_, static_cast<std::size_t>(total), std::uint8_t{0});
  } catch (const std::bad_alloc&) {
    allocError = 1;
    Release();
    return GridMemoryError(lines_, columns_);
  }
  return Status::Ok();
}

void TRasterImage::Release() {
  pixels_.clear();
  pixels_.shrink_to_fit();
  noData.clear();
  lines = 0;
  columns = 0;
  kind = 0;
}

void TRasterImage::SetValue(int column, int line, int value) {
  if (!Inside(column, line) || pixels_.empty()) return;
  const auto byte = static_cast<std::uint8_t>(value & 0xFF);
  std::uint8_t* p = Row(line) + static_cast<std::size_t>(column) * BytesPerPixel();
  if (kind == kRasterRgb) {
    p[0] = p[1] = p[2] = byte;
  } else {
    *p = byte;
  }
}

int TRasterImage::GetValue(int column, int line, int& value) const {
  if (!Inside(column, line) || pixels_.empty()) {
    value = -1;
    return 3;
  }
  const std::uint8_t* p = Row(line) + static_cast<std::size_t>(column) * BytesPerPixel();
  value = kind == kRasterRgb ? (p[0] + p[1] + p[2]) / 3 : *p;
  return 0;
}

void TRasterImage::SetColor(int column, int line, const TColor& colour) {
  if (!Inside(column, line) || pixels_.empty()) return;
  std::uint8_t* p = Row(line) + static_cast<std::size_t>(column) * BytesPerPixel();
  if (kind == kRasterRgb) {
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
  } else {
    *p = static_cast<std::uint8_t>((colour.blue + colour.green + colour.red) / 3);
  }
}

int TRasterImage::GetColor(int column, int line, TColor& colour) const {
  if (!Inside(column, line) || pixels_.empty()) return 3;
  const std::uint8_t* p = Row(line) + static_cast<std::size_t>(column) * BytesPerPixel();
  switch (kind) {
    case kRasterGray: colour = TColor{*p, *p, *p}; break;
    case kRasterPalette: colour = TColor{palette[*p][0], palette[*p][1], palette[*p][2]}; break;
    default: colour = TColor{p[0], p[1], p[2]}; break;
  }
  return 0;
}

int TRasterImage::MeanColor(int column, int line, int k, TColor& colour) const {
  long sumB = 0, sumG = 0, sumR = 0, count = 0;
  for (int l = line - k; l <= line + k; ++l) {
    for (int c = column - k; c <= column + k; ++c) {
      TColor px;
      if (GetColor(c, l, px) != 0) continue;
      sumB += px.blue;
      sumG += px.green;
      sumR += px.red;
      ++count;
    }
  }
  if (count == 0) return 3;
  colour = TColor{static_cast<std::uint8_t>(sumB / count), static_cast<std::uint8_t>(sumG / count),
                  static_cast<std::uint8_t>(sumR / count)};
  return 0;
}

void TRasterImage::Fill(const TColor& colour) {
  if (kind == kRasterRgb) {
    for (std::size_t i = 0; i + 2 < pixels_.size(); i += 3) {
      pixels_[i] = colour.blue;
      pixels_[i + 1] = colour.green;
      pixels_[i + 2] = colour.red;
    }
  } else {
    std::fill(pixels_.begin(), pixels_.end(), colour.red);
  }
}

std::unique_ptr<TRasterImage> TRasterImage::Clone() const {
  auto copy = std::make_unique<TRasterImage>();
  if (!CopyTo(*copy)) return nullptr;
  copy->fileName = fileName;
  copy->palette = palette;
  return copy;
}

Status TRasterImage::CopyTo(TRasterImage& target) const {
  if (Status s = target.Allocate(columns, lines, kind); !s) return s;
  target.title = title;
  target.authorName = authorName;
  if (kind != kRasterRgb) target.palette = palette;
  target.pixels_ = pixels_;
  target.noData = noData;
  return Status::Ok();
}

void TRasterImage::CopyWindow(TRasterImage& target, int column, int line, const TColor& outside,
                              int k) const {
  for (int dl = -k; dl <= k; ++dl) {
    for (int dc = -k; dc <= k; ++dc) {
      TColor px = outside;
      if (GetColor(column + dc, line + dl, px) != 0) px = outside;
      target.SetColor(dc + k, dl + k, px);
    }
  }
}

void TRasterImage::Histogram(THistogram256& red, THistogram256& green, THistogram256& blue) const {
  red.fill(0);
  green.fill(0);
  blue.fill(0);
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) {
      TColor px;
      if (IsNoData(c, l) || GetColor(c, l, px) != 0) continue;
      ++red[px.red];
      ++green[px.green];
      ++blue[px.blue];
    }
  }
}

std::unique_ptr<TRasterImage> TRasterImage::Blend(const TRasterImage& other, double t) const {
  if (other.lines != lines || other.columns != columns) return nullptr;
  t = std::clamp(t, 0.0, 1.0);
  const std::uint8_t resultKind =
      (kind != other.kind && (kind == kRasterRgb || other.kind == kRasterRgb)) ? std::uint8_t{kRasterRgb} : kind;
  auto result = std::make_unique<TRasterImage>(columns, lines, resultKind);
  if (result->allocError) return nullptr;
  if (resultKind != kRasterRgb) result->palette = palette;
  auto mix = [t](int a, int b) {
    return static_cast<std::uint8_t>(std::min(255.0, (1.0 - t) * a + t * b));
  };
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) {
      if (resultKind == kRasterRgb) {
        TColor a, b;
        GetColor(c, l, a);
        other.GetColor(c, l, b);
        result->SetColor(c, l, TColor{mix(a.blue, b.blue), mix(a.green, b.green), mix(a.red, b.red)});
      } else {
        // Same 8-bit kind: blend the stored bytes (gray values or palette indices).
        const std::uint8_t a = Row(l)[c];
        const std::uint8_t b = other.Row(l)[c];
        result->Row(l)[c] = mix(a, b);
      }
    }
  }
  // A cell resting on NoData in either picture is NoData in the blend, in the NoData colour
  // rather than a mix of that colour with the other picture.
  const std::size_t cells = static_cast<std::size_t>(lines) * static_cast<std::size_t>(columns);
  static const TPalette kGray = GrayRamp();
  std::vector<std::uint8_t> mask;
  bool anyNoData = false;
  for (const TRasterImage* picture : {this, &other}) {
    if (picture->noData.size() != cells) continue;
    if (mask.empty()) mask.assign(cells, 0);
    for (std::size_t k = 0; k < cells; ++k) {
      if (!picture->noData[k]) continue;
      mask[k] = 1;
      anyNoData = true;
      // The level that held the input's NoData colour goes back to its gray: blended cells
      // may land on it.
      if (resultKind != kRasterRgb && picture->kind != kRasterRgb) {
        const std::uint8_t level = picture->Row(0)[k];
        result->palette[level] = kGray[level];
      }
    }
  }
  if (anyNoData) PaintNoData(*result, mask);
  return result;
}

std::unique_ptr<TRasterImage> TRasterImage::Combine(const TRasterImage& other, int operation) const {
  if (other.lines != lines && other.columns != columns) return nullptr;
  const std::uint8_t resultKind =
      (kind == kRasterRgb || other.kind == kRasterRgb) ? kRasterRgb : kRasterGray;
  auto result = std::make_unique<TRasterImage>(columns, lines, resultKind);
  if (result->allocError) return nullptr;
  auto combine = [operation](int a, int b) {
    int r = 0;
    switch (operation) {
      case 0: r = a + b; break;
      case 1: r = a - b; break;
      case 2: r = a * b / 255; break;
      case 3: r = std::abs(a - b); break;
      case 4: r = std::min(a, b); break;
      case 5: r = std::max(a, b); break;
      case 6: r = (a + b) / 2; break;
      case 7: r = a & b; break;
      case 8: r = a | b; break;
      case 9: r = a ^ b; break;
      default: r = 0; break;
    }
    return ClampByte(r);
  };
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) {
      TColor a, b;
      GetColor(c, l, a);
      if (other.GetColor(c, l, b) != 0) b = TColor{};
      result->SetColor(c, l, TColor{combine(a.blue, b.blue), combine(a.green, b.green),
                                    combine(a.red, b.red)});
    }
  }
  return result;
}

std::unique_ptr<TRasterImage> TRasterImage::ApplyTables(
    const std::array<std::uint32_t, 256>& red, const std::array<std::uint32_t, 256>& green,
    const std::array<std::uint32_t, 256>& blue) const {
  auto result = std::make_unique<TRasterImage>(columns, lines, kind);
  if (result->allocError) return nullptr;
  result->palette = palette;
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) {
      TColor px;
      GetColor(c, l, px);
      result->SetColor(c, l,
                       TColor{static_cast<std::uint8_t>(blue[px.blue] & 0xFF),
                              static_cast<std::uint8_t>(green[px.green] & 0xFF),
                              static_cast<std::uint8_t>(red[px.red] & 0xFF)});
    }
  }
  return result;
}

std::unique_ptr<TRasterImage> TRasterImage::Resample(double factor, int method, int degree) const {
  if (factor <= 0.0 || !IsAllocated()) return nullptr;
  const double newLinesD = lines * factor + 0.5;
  const double newColumnsD = columns * factor + 0.5;
  if (newLinesD > kMaxRasterResampleSide + 1 || newColumnsD > kMaxRasterResampleSide + 1)
    return nullptr;
  const int newLines = static_cast<int>(newLinesD);
  const int newColumns = static_cast<int>(newColumnsD);
  if (newLines > kMaxRasterResampleSide || newColumns > kMaxRasterResampleSide) return nullptr;
  auto result = std::make_unique<TRasterImage>(newColumns, newLines, kind);
  if (result->allocError) return nullptr;
  result->palette = palette;
  result->title = title;
  result->authorName = authorName;
  const int n = method == 1 ? 2 : method == 2 ? 3 : degree;
  // One small DEM per channel reuses the DEM model's samplers exactly.
  const int channels = BytesPerPixel();
  for (int ch = 0; ch < channels; ++ch) {
    TDemModel plane(columns, lines, kDemFloat32);
    if (plane.allocError) return nullptr;
    for (int l = 0; l < lines; ++l)
      for (int c = 0; c < columns; ++c)
        plane.SetElevation(c, l, Row(l)[static_cast<std::size_t>(c) * channels + ch]);
    for (int i = 0; i < newLines; ++i) {
      for (int j = 0; j < newColumns; ++j) {
        const double x = j / factor;
        const double y = i / factor;
        const double v = method == 0 ? plane.SampleBilinear(x, y) : plane.SampleBernstein(x, y, n);
        result->Row(i)[static_cast<std::size_t>(j) * channels + ch] =
            static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
      }
    }
  }
  return result;
}

std::unique_ptr<TRasterImage> NewRasterOrNull(int columns, int lines, std::uint8_t kind) {
  try {
    auto raster = std::make_unique<TRasterImage>(columns, lines, kind);
    if (raster->allocError) return nullptr;
    return raster;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace orvane
