#include "core/terrain/dem_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

#include "core/common/grid_memory.h"
#include "core/terrain/cell_normal.h"

namespace orvane {

namespace {

// Largest grid we try to allocate: 2^32 bytes of elevations (e.g. 32768 x 32768 x 4).
constexpr std::uint64_t kMaxGridBytes = std::uint64_t{1} << 32;

template <class Int>
Int RoundHalfUpTruncated(double value) {
  // value + 0.5 truncated toward zero; saturated at the type's range so out-of-range values
  // never hit undefined conversions.
  const double v = value + 0.5;
  if (std::isnan(v)) return 0;
  if (v <= static_cast<double>(std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
  if (v >= static_cast<double>(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
  return static_cast<Int>(v);
}

}  // namespace

double Binomial(int n, int k) {
  if (k < 0 || k > n) return 0.0;
  double result = 1.0;
  for (int i = 1; i <= k; ++i) result = result * (n - k + i) / i;
  return result;
}

TDemModel::TDemModel(int columns_, int lines_, std::uint8_t elementType_) {
  allocError = Allocate(columns_, lines_, elementType_).ok() ? 0 : 1;
}

int TDemModel::ElementSizeOf(std::uint8_t type) {
  switch (type) {
    case kDemInt8: return 1;
    case kDemInt16: return 2;
    case kDemInt32: return 4;
    case kDemFloat32: return 4;
    case kDemFloat64: return 8;
    default: return 0;
  }
}

Status TDemModel::Allocate(int columns_, int lines_, std::uint8_t elementType_) {
  columns = columns_;
  lines = lines_;
  elementType = elementType_;
  elementSize = ElementSizeOf(elementType_);
  data_.clear();
  validity_.clear();
  rowBytes_ = 0;
  if (columns_ <= 0 || lines_ <= 0 || elementSize == 0) return Status::Ok();
  const std::uint64_t row = static_cast<std::uint64_t>(columns_) * static_cast<std::uint64_t>(elementSize);
  const std::uint64_t total = row * static_cast<std::uint64_t>(lines_);
  if (total > kMaxGridBytes || !GridBytesAllowed(static_cast<std::int64_t>(total))) {
    allocError = 1;
    return GridMemoryError(lines_, columns_);
  }
  try {
    // Round the row up to whole words so every line starts on a 4-byte boundary.
    rowBytes_ = static_cast<std::size_t>(row);
    const std::size_t words = (static_cast<std::size_t>(total) + 3) / 4;
    AssignOnLargePages(data_, words, std::int32_t{0});
  } catch (const std::bad_alloc&) {
    data_.clear();
    rowBytes_ = 0;
    allocError = 1;
    return GridMemoryError(lines_, columns_);
  }
  return Status::Ok();
}

void TDemModel::Release() {
  if (data_.empty()) return;
  data_.clear();
  data_.shrink_to_fit();
  ClearValidity();
  rowBytes_ = 0;
  lines = 0;
  columns = 0;
  elementType = 0;
}

void TDemModel::SetElevation(int column, int line, double value) {
  if (column < 0 || line < 0 || column >= columns || line >= lines || data_.empty()) return;
  const double stored = scale != 0.0f ? (value - offset) / scale : value;
  std::uint8_t* p = Row(line) + static_cast<std::size_t>(column) * elementSize;
  switch (elementType) {
    case kDemInt8: { const auto v = RoundHalfUpTruncated<std::int8_t>(stored); std::memcpy(p, &v, 1); break; }
    case kDemInt16: { const auto v = RoundHalfUpTruncated<std::int16_t>(stored); std::memcpy(p, &v, 2); break; }
    case kDemInt32: { const auto v = RoundHalfUpTruncated<std::int32_t>(stored); std::memcpy(p, &v, 4); break; }
    case kDemFloat32: { const auto v = static_cast<float>(stored); std::memcpy(p, &v, 4); break; }
    case kDemFloat64: { std::memcpy(p, &stored, 8); break; }
    default: break;
  }
}

void TDemModel::Fill(double value) {
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c) SetElevation(c, l, value);
}

std::unique_ptr<TDemModel> TDemModel::Clone() const {
  if (lines < 0 || columns < 0 || lines > kMaxDemSide || columns > kMaxDemSide) return nullptr;
  auto copy = std::make_unique<TDemModel>(columns, lines, elementType);
  if (copy->allocError) return nullptr;
  copy->SetDescriptor(Descriptor());
  copy->smoothing3D = smoothing3D;
  // Same size and type by construction: the copy cannot be refused.
  (void)copy->CopyValuesFrom(this);
  return copy;
}

Status TDemModel::CopyValuesFrom(const TDemModel* source) {
  if (!source || source->columns != columns || source->lines != lines ||
      source->elementType != elementType)
    return Error{kBadParameter, "the source DEM is missing or differs in size or element type"};
  validity_ = source->validity_;
  if (data_.empty()) return Status::Ok();
  // With the same coding the stored values are copied as they are: going through
  // GetElevation/SetElevation would move negative integers by one (the +0.5 rule truncates
  // toward zero), so a copy of a DEM would not equal its original.
  if (source->offset == offset && source->scale == scale && !source->data_.empty()) {
    std::copy(source->data_.begin(), source->data_.end(), data_.begin());
    return Status::Ok();
  }
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c) SetElevation(c, l, source->GetElevation(c, l));
  return Status::Ok();
}

Status TDemModel::SetValidity(std::vector<std::uint8_t> mask) {
  if (mask.size() != static_cast<std::size_t>(lines) * static_cast<std::size_t>(columns))
    return Error{kBadParameter, "the validity mask differs in size from the DEM"};
  if (std::all_of(mask.begin(), mask.end(), [](std::uint8_t v) { return v != 0; })) {
    ClearValidity();
    return Status::Ok();
  }
  for (auto& v : mask) v = v != 0 ? 1 : 0;
  validity_ = std::move(mask);
  return Status::Ok();
}

std::int64_t TDemModel::NoDataCount() const {
  return static_cast<std::int64_t>(std::count(validity_.begin(), validity_.end(), 0));
}

void TDemModel::SetExtremesOfStored(std::int32_t lowest, std::int32_t highest) {
  const double a = offset + scale * static_cast<double>(lowest);
  const double b = offset + scale * static_cast<double>(highest);
  minElevation = static_cast<float>(std::min(a, b));
  maxElevation = static_cast<float>(std::max(a, b));
}

void TDemModel::UpdateMinMax() {
  double lo = 1e300;
  double hi = -1e300;
  if (elementType == kDemInt32 && !data_.empty() && lines > 0 && columns > 0 &&
      std::isfinite(offset) && std::isfinite(scale)) {
    // offset + scale * v is monotone in v (rounding is monotone), so its extremes are those of
    // the two extreme stored values: the same figures as the cell-by-cell scan below.
    std::int32_t vlo = std::numeric_limits<std::int32_t>::max();
    std::int32_t vhi = std::numeric_limits<std::int32_t>::min();
    const std::int32_t* v = data_.data();
    const std::size_t count = static_cast<std::size_t>(lines) * columns;
    for (std::size_t k = 0; k < count; ++k) {
      vlo = std::min(vlo, v[k]);
      vhi = std::max(vhi, v[k]);
    }
    SetExtremesOfStored(vlo, vhi);
    return;
  }
  for (int l = 0; l < lines && !data_.empty(); ++l) {
    for (int c = 0; c < columns; ++c) {
      const double z = GetElevation(c, l);
      lo = std::min(lo, z);
      hi = std::max(hi, z);
    }
  }
  minElevation = static_cast<float>(lo);
  maxElevation = static_cast<float>(hi);
}

double TDemModel::ComputeMin() const {
  double lo = 1e300;
  for (int l = 0; l < lines && !data_.empty(); ++l)
    for (int c = 0; c < columns; ++c) lo = std::min(lo, GetElevation(c, l));
  return lo;
}

double TDemModel::ComputeMax() const {
  double hi = -1e30;
  for (int l = 0; l < lines && !data_.empty(); ++l)
    for (int c = 0; c < columns; ++c) hi = std::max(hi, GetElevation(c, l));
  return hi;
}

Status TDemModel::ComputeNormals() {
  normalGrid = std::make_unique<TNormalGrid>(columns, lines);
  if (normalGrid->allocError) {
    normalGrid.reset();
    return GridMemoryError(lines, columns);
  }
  auto point = [&](int i, int j) {
    return TPoint3{i * static_cast<double>(pixelSizeX), j * static_cast<double>(pixelSizeY),
                   GetElevation(j, i)};
  };
  for (int i = 0; i < lines; ++i) {
    for (int j = 0; j < columns; ++j) {
      TCellNeighbours around;
      around.hasUp = i > 0;
      around.hasDown = i + 1 < lines;
      around.hasLeft = j > 0;
      around.hasRight = j + 1 < columns;
      if (around.hasUp) around.up = point(i - 1, j);
      if (around.hasDown) around.down = point(i + 1, j);
      if (around.hasLeft) around.left = point(i, j - 1);
      if (around.hasRight) around.right = point(i, j + 1);
      const TPoint3 sum = CellNormal(point(i, j), around);
      normalGrid->x.At(j, i) = static_cast<float>(sum.x);
      normalGrid->y.At(j, i) = static_cast<float>(sum.y);
      normalGrid->z.At(j, i) = static_cast<float>(sum.z);
    }
  }
  return Status::Ok();
}

double TDemModel::SampleBilinear(double x, double y) const {
  int c = static_cast<int>(x);
  int l = static_cast<int>(y);
  const double fx = x - c;
  const double fy = y - l;
  c = std::clamp(c, 0, columns - 1);
  l = std::clamp(l, 0, lines - 1);
  const int c1 = c + 1 < columns ? c + 1 : c;
  const int l1 = l + 1 < lines ? l + 1 : l;
  return GetElevation(c, l) * (1 - fx) * (1 - fy) + GetElevation(c1, l) * fx * (1 - fy) +
         GetElevation(c, l1) * (1 - fx) * fy + GetElevation(c1, l1) * fx * fy;
}

double TDemModel::SampleBernstein(double x, double y, int n) const {
  if (n <= 0) {
    return GetElevation(std::clamp(static_cast<int>(x), 0, columns - 1),
                        std::clamp(static_cast<int>(y), 0, lines - 1));
  }
  auto windowStart = [n](double at, int size) {
    int first = static_cast<int>(at) - n / 2;
    if (first + n > size - 1) first = size - 1 - n;
    if (first < 0) first = 0;
    return first;
  };
  const int c0 = windowStart(x, columns);
  const int l0 = windowStart(y, lines);
  const double u = (x - c0) / n;
  const double v = (y - l0) / n;
  std::vector<double> lineWeights(static_cast<std::size_t>(n) + 1);
  std::vector<double> columnWeights(static_cast<std::size_t>(n) + 1);
  for (int r = 0; r <= n; ++r) {
    lineWeights[r] = Binomial(n, r) * std::pow(v, r) * std::pow(1 - v, n - r);
    columnWeights[r] = Binomial(n, r) * std::pow(u, r) * std::pow(1 - u, n - r);
  }
  // (line weights x window) x column weights
  double result = 0.0;
  for (int k = 0; k <= n; ++k) {
    const int column = std::min(c0 + k, columns - 1);
    double weighted = 0.0;
    for (int r = 0; r <= n; ++r) {
      const int line = std::min(l0 + r, lines - 1);
      weighted += lineWeights[r] * GetElevation(column, line);
    }
    result += weighted * columnWeights[k];
  }
  return result;
}

std::unique_ptr<TDemModel> TDemModel::Resample(double factor, int method, int degree) const {
  if (factor <= 0.0 || !IsAllocated()) return nullptr;
  const double newLinesD = lines * factor + 0.5;
  const double newColumnsD = columns * factor + 0.5;
  if (newLinesD >= kMaxDemSide + 1 || newColumnsD >= kMaxDemSide + 1) return nullptr;
  const int newLines = static_cast<int>(newLinesD);
  const int newColumns = static_cast<int>(newColumnsD);
  auto result = std::make_unique<TDemModel>(newColumns, newLines, elementType);
  if (result->allocError) return nullptr;
  result->SetDescriptor(Descriptor());
  result->lines = newLines;
  result->columns = newColumns;
  NotifyBegin();
  for (int i = 0; i < newLines; ++i) {
    NotifyStep(newLines > 1 ? static_cast<double>(i) / (newLines - 1) : 1.0);
    for (int j = 0; j < newColumns; ++j) {
      const double x = j / factor;
      const double y = i / factor;
      double z = 0.0;
      switch (method) {
        case 0: z = SampleBilinear(x, y); break;
        case 1: z = SampleBernstein(x, y, 2); break;
        case 2: z = SampleBernstein(x, y, 3); break;
        default: z = SampleBernstein(x, y, degree); break;
      }
      result->SetElevation(j, i, z);
    }
  }
  result->UpdateMinMax();
  result->pixelSizeX = static_cast<float>(pixelSizeX / factor);
  result->pixelSizeY = static_cast<float>(pixelSizeY / factor);
  NotifyEnd();
  return result;
}

}  // namespace orvane
