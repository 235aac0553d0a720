// Grid allocations that fail: refused sizes and the message naming the grid. A byte ceiling stands for a full memory: nothing here really
// tries a huge allocation (sanitizer builds run these tests too).
#include "core/common/grid_memory.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/drainage/drainage_extraction.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/surface/circular_window.h"
#include "core/surface/local_fractal.h"
#include "core/surface/slope.h"
#include "core/surface/surface3d.h"
#include "core/surface/total_depth.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/float_grid.h"
#include "core/terrain/raster_image.h"
#include "support/files.h"

namespace orvane {
namespace {

std::unique_ptr<TDemModel> Valleys(int columns, int lines) {
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) dem->Int32Row(l)[c] = 200 + 5 * std::abs(c % 12 - 6) + l / 3;
  }
  dem->pixelSizeX = dem->pixelSizeY = 90.0f;
  dem->UpdateMinMax();
  return dem;
}

TEST(GridMemory, SizesThatOverflowAreRefused) {
  EXPECT_EQ(GridBytes(32767, 32767, 4), std::int64_t{32767} * 32767 * 4);
  EXPECT_EQ(GridBytes(0, 32767, 4), 0);
  const std::int64_t big = std::numeric_limits<std::int64_t>::max() / 2;
  EXPECT_EQ(GridBytes(big, 3, 1), -1);
  EXPECT_EQ(GridBytes(1 << 30, 1 << 30, 16), -1);
  EXPECT_EQ(GridBytes(-1, 4, 1), -1);
  EXPECT_FALSE(GridBytesAllowed(-1));
  EXPECT_TRUE(GridBytesAllowed(std::int64_t{1} << 40));  // no ceiling set
}

TEST(GridMemory, TheMessageNamesLinesThenColumns) {
  EXPECT_EQ(GridMemoryMessage(32767, 1200), "not enough memory for a grid of 32767 x 1200");
  const Error error = GridMemoryError(12, 34);
  EXPECT_EQ(error.code, kAllocationFailed);
  EXPECT_EQ(error.message, "not enough memory for a grid of 12 x 34");
  const GridAllocationError thrown(7, 9);
  EXPECT_STREQ(thrown.what(), "not enough memory for a grid of 7 x 9");
  EXPECT_EQ(thrown.Lines(), 7);
  EXPECT_EQ(thrown.Columns(), 9);
  const std::bad_alloc& base = thrown;  // caught by every bad_alloc handler
  EXPECT_STREQ(base.what(), "not enough memory for a grid of 7 x 9");
}

TEST(GridMemory, AbsurdGridsFailWithoutBeingAttempted) {
  ScopedGridByteCeiling ceiling(1 << 20);
  TRasterImage raster(32767, 32767, kRasterGray);
  EXPECT_EQ(raster.allocError, 1);
  EXPECT_FALSE(raster.IsAllocated());
  TDemModel dem;
  const Status refused = dem.Allocate(32767, 32767, kDemInt32);
  EXPECT_EQ(refused.code(), kAllocationFailed);
  EXPECT_EQ(refused.message(), "not enough memory for a grid of 32767 x 32767");
  EXPECT_FALSE(dem.IsAllocated());
  TFloatGrid grid(32767, 32767);
  EXPECT_EQ(grid.error, 3);
  EXPECT_FALSE(grid.IsAllocated());
  TRasterImage small(100, 100, kRasterRgb);  // within the ceiling
  EXPECT_TRUE(small.IsAllocated());
}

TEST(GridMemory, TheCeilingIsPutBackAtTheEndOfItsScope) {
  {
    ScopedGridByteCeiling outer(1000);
    {
      ScopedGridByteCeiling inner(10);
      EXPECT_EQ(GridByteCeiling(), 10);
    }
    EXPECT_EQ(GridByteCeiling(), 1000);
  }
  EXPECT_EQ(GridByteCeiling(), 0);
}

template <class T>
Error ErrorOf(const Expected<T>& result) {
  return result ? Error{} : result.error();
}

TEST(GridMemory, TreatmentsNameTheGridTheyCouldNotAllocate) {
  const auto dem = Valleys(30, 20);
  const auto relief = ComputeTotalDepthRelief(*dem, 3);
  ASSERT_TRUE(relief);
  Dissection3DResult dissection{.columns = 30, .lines = 20, .density3D = std::vector<double>(30 * 20)};
  ScopedGridByteCeiling ceiling(30 * 20 - 1);  // not even one byte per cell
  TSlopeParams params;
  params.table = SlopeTable(2);
  const std::vector<std::pair<const char*, Error>> errors = {
      {"slope", ErrorOf(ComputeSlope(*dem, params))},
      {"circular", ErrorOf(ComputeCircularWindow(*dem, CircularParams{3, 1}))},
      {"local fractal", ErrorOf(ComputeLocalFractal(*dem, {12, 0.05, 1, 90}))},
      {"surface 3D", ErrorOf(ComputeSurface3D(*dem, {3}))},
      {"extraction", ErrorOf(ExtractDrainage(*dem, ExtractionParams{1, 3, kNetworkBlack, 0}))},
  };
  for (const auto& [name, error] : errors) {
    EXPECT_EQ(error.code, kAllocationFailed) << name;
    EXPECT_EQ(error.message, "not enough memory for a grid of 20 x 30") << name;
  }
  // The pictures drawn from a result have no error to return: they throw it.
  EXPECT_THROW(RenderTotalDepth(*relief, kDepthGray255, TClassTable(), false), GridAllocationError);
  EXPECT_THROW(Dissection3DImage(dissection, 0, TClassTable(), false), GridAllocationError);
}

TEST(GridMemory, OpeningADemTooLargeForMemoryNamesItsSize) {
  TempDir dir;
  const std::string path = dir.File("big_m2.raw");
  WriteAll(path, std::string(static_cast<std::size_t>(40) * 25 * 2, '\1'));
  {
    ScopedGridByteCeiling ceiling(1000);  // the widened grid needs 4000 bytes
    const auto scan = ScanDemFile(path, 25, 40, 2);
    ASSERT_FALSE(scan);
    EXPECT_EQ(scan.error().code, kAllocationFailed);
    EXPECT_EQ(scan.error().message, "not enough memory for a grid of 25 x 40");
  }
  const auto scan = ScanDemFile(path, 25, 40, 2);
  ASSERT_TRUE(scan);
  DemOpenOptions options;
  options.workDirectory = dir.path();
  ScopedGridByteCeiling ceiling(3999);  // the model itself cannot be allocated
  const auto loaded = LoadScannedDem(*scan, options);
  ASSERT_FALSE(loaded);
  EXPECT_EQ(loaded.error().message, "not enough memory for a grid of 25 x 40");
}

}  // namespace
}  // namespace orvane
