// BMP loader: any bytes load or give an error, and a failed load leaves the raster as it was.
#include <cstdlib>

#include "core/terrain/bmp_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  const std::string path = fuzz::ScratchFile("image.bmp");
  fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
  TRasterImage raster(3, 2, kRasterGray);
  raster.SetValue(1, 1, 77);
  Status s = ReadBmpFile(raster, path);
  if (!s) {
    int value = 0;
    raster.GetValue(1, 1, value);
    if (raster.columns != 3 || raster.lines != 2 || value != 77) std::abort();
    return 0;
  }
  // Every pixel of a loaded image is there to read.
  if (raster.columns > 0 && raster.lines > 0) {
    TColor c;
    raster.GetColor(raster.columns - 1, raster.lines - 1, c);
    volatile int sink = c.red;
    (void)sink;
  }
  return 0;
}
