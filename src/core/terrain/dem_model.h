// TDemModel: one Digital Elevation Model in memory.
//
// A grid of `lines` x `columns` stored values of one of five element types; the elevation of a
// stored value r is offset + scale * r (types 0..3) or offset + r (type 4, 64-bit float).
// Access is (column, line) with line 0 at the top. A DEM opened from a file is always type 2
// (signed 32-bit). Storage is one contiguous block; Row() gives a line's bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/common/result.h"
#include "core/terrain/float_grid.h"

namespace orvane {

enum DemElementType : std::uint8_t {
  kDemInt8 = 0,
  kDemInt16 = 1,
  kDemInt32 = 2,
  kDemFloat32 = 3,
  kDemFloat64 = 4,
};

// Largest number of lines or columns Clone and Resample accept.
inline constexpr int kMaxDemSide = 8000;

// The descriptive block: copied as one unit by Clone and ReadRaw.
struct TDemDescriptor {
  int lines = 0;
  int columns = 0;
  std::uint8_t elementType = kDemInt32;
  float minElevation = 0.0f;
  float maxElevation = 0.0f;
  float offset = 0.0f;
  float pixelSizeX = 1.0f;  // ground size of a line step, in elevation units
  float pixelSizeY = 1.0f;  // ground size of a column step, in elevation units
  float scale = 1.0f;
  std::string producerText = "None";
  std::string authorName = "Anonymous";
};

class TDemModel : public TDemDescriptor {
 public:
  TDemModel() = default;
  TDemModel(int columns, int lines, std::uint8_t elementType);
  TDemModel(const TDemModel&) = delete;
  TDemModel& operator=(const TDemModel&) = delete;
  TDemModel(TDemModel&&) noexcept = default;
  TDemModel& operator=(TDemModel&&) noexcept = default;
  ~TDemModel() = default;

  int elementSize = 0;
  TFloatGrid* depthBuffer = nullptr;  // not owned; set only while a surface rendering runs
  std::uint32_t smoothing3D = 0;
  int allocError = 0;
  std::unique_ptr<TNormalGrid> normalGrid;

  std::function<void()> OnProgressBegin;
  std::function<void(double)> OnProgressStep;
  std::function<void()> OnProgressEnd;

  // Fails with kAllocationFailed and the grid-memory message when the grid cannot be
  // allocated (allocError is then 1, nothing kept). Sizes of 0 allocate nothing and succeed.
  [[nodiscard]] Status Allocate(int columns, int lines, std::uint8_t elementType);
  void Release();
  bool IsAllocated() const { return !data_.empty(); }
  static int ElementSizeOf(std::uint8_t type);
  int ElementSize() const { return ElementSizeOf(elementType); }

  TDemDescriptor Descriptor() const { return static_cast<const TDemDescriptor&>(*this); }
  void SetDescriptor(const TDemDescriptor& block) {
    static_cast<TDemDescriptor&>(*this) = block;
  }

  // No bounds test: callers stay inside the grid.
  double GetElevation(int column, int line) const {
    const std::uint8_t* p = Row(line) + static_cast<std::size_t>(column) * elementSize;
    switch (elementType) {
      case kDemInt8: return offset + scale * static_cast<double>(static_cast<std::int8_t>(*p));
      case kDemInt16: { std::int16_t v; std::memcpy(&v, p, 2); return offset + scale * static_cast<double>(v); }
      case kDemInt32: { std::int32_t v; std::memcpy(&v, p, 4); return offset + scale * static_cast<double>(v); }
      case kDemFloat32: { float v; std::memcpy(&v, p, 4); return offset + scale * static_cast<double>(v); }
      case kDemFloat64: { double v; std::memcpy(&v, p, 8); return offset + v; }
      default: return 0.0;
    }
  }
  // Ignored outside the grid. Stores (value - offset) / scale (the value itself when scale is
  // 0); integer types add 0.5 and truncate toward zero.
  void SetElevation(int column, int line, double value);
  void Fill(double value);

  // Null for sizes outside 0..8000.
  std::unique_ptr<TDemModel> Clone() const;
  // kBadParameter when the source is missing or differs in size or type.
  [[nodiscard]] Status CopyValuesFrom(const TDemModel* source);

  // Reads a headerless raw grid at `byteOffset` (see dem_file.h). Errors, each naming the
  // file: kOutsideOrShortRead when it cannot be opened or a line cannot be read,
  // kCannotOpen when it cannot be positioned, kWrongFormat when it is shorter than the grid
  // (or the block describes none), kAllocationFailed with the grid-memory message.
  [[nodiscard]] Status ReadRaw(const std::string& path, const TDemDescriptor& block,
                               std::int64_t byteOffset);
  // Takes `values` (block.lines x block.columns, top line first) as a type-2 grid, as ReadRaw
  // would read them from a file: descriptor, offset 0, minimum and maximum recomputed.
  // kWrongFormat when the count does not match (nothing changed then).
  // `valueRange`, when given, is the exact lowest and highest of `values` (a reader that has
  // just scanned them): the extremes come from it instead of another pass over the grid.
  [[nodiscard]] Status AdoptInt32Grid(
      const TDemDescriptor& block, std::vector<std::int32_t>&& values,
      std::optional<std::pair<std::int32_t, std::int32_t>> valueRange = {});

  // Which cells hold an elevation. A DEM read without NoData keeps no mask and every cell is
  // valid; otherwise one byte per cell, line after line, 1 where the cell is ground and 0 where
  // the file marks it NoData (void, sea, collar). The stored value of a NoData cell is
  // whatever its reader put there and is never to be read as ground.
  bool HasNoData() const { return !validity_.empty(); }
  bool IsValid(int column, int line) const {
    return validity_.empty() ||
           validity_[static_cast<std::size_t>(line) * static_cast<std::size_t>(columns) +
                     static_cast<std::size_t>(column)] != 0;
  }
  // The validity bytes of one line, or null when every cell of the DEM is valid.
  const std::uint8_t* ValidityRow(int line) const {
    return validity_.empty() ? nullptr
                             : validity_.data() + static_cast<std::size_t>(line) *
                                                      static_cast<std::size_t>(columns);
  }
  const std::vector<std::uint8_t>& Validity() const { return validity_; }
  // Takes a mask of lines x columns bytes (non-zero = valid); a mask with no NoData cell is
  // dropped, so HasNoData() stays the quick test. kBadParameter when its size is wrong.
  [[nodiscard]] Status SetValidity(std::vector<std::uint8_t> mask);
  void ClearValidity() { validity_.clear(); validity_.shrink_to_fit(); }
  std::int64_t NoDataCount() const;

  void UpdateMinMax();
  double ComputeMin() const;
  double ComputeMax() const;

  // Sum of the unit normals of the (up to four) triangles around each cell. Fails with the
  // grid-memory message when the three grids cannot be allocated.
  [[nodiscard]] Status ComputeNormals();
  void FreeNormalGrid() { normalGrid.reset(); }

  double SampleBilinear(double x, double y) const;
  double SampleBernstein(double x, double y, int degree) const;
  // Copy at another resolution; method 0 bilinear, 1/2/3 Bernstein of degree 2, 3, n.
  std::unique_ptr<TDemModel> Resample(double factor, int method, int degree) const;

  std::uint8_t* Row(int line) {
    return reinterpret_cast<std::uint8_t*>(data_.data()) + static_cast<std::size_t>(line) * rowBytes_;
  }
  const std::uint8_t* Row(int line) const {
    return reinterpret_cast<const std::uint8_t*>(data_.data()) +
           static_cast<std::size_t>(line) * rowBytes_;
  }
  // Fast access for type 2 models (every opened DEM): the stored values of one line.
  const std::int32_t* Int32Row(int line) const {
    return data_.data() + static_cast<std::size_t>(line) * columns;
  }
  std::int32_t* Int32Row(int line) { return data_.data() + static_cast<std::size_t>(line) * columns; }

  void NotifyBegin() const { if (OnProgressBegin) OnProgressBegin(); }
  void NotifyStep(double f) const { if (OnProgressStep) OnProgressStep(f); }
  void NotifyEnd() const { if (OnProgressEnd) OnProgressEnd(); }

 private:
  // Minimum and maximum elevations of a type-2 grid from its extreme stored values.
  void SetExtremesOfStored(std::int32_t lowest, std::int32_t highest);

  // 32-bit words so type 2 lines are int32 arrays; other types are read bytewise.
  std::vector<std::int32_t> data_;
  std::size_t rowBytes_ = 0;
  std::vector<std::uint8_t> validity_;  // empty: every cell valid
};

// Binomial coefficient C(n, k) as a double (Bernstein weights).
double Binomial(int n, int k);

}  // namespace orvane
