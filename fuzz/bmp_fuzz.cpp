// BMP loader: any bytes load or give an error, and every pixel of a loaded image is there.
#include <cstdlib>

#include "core/terrain/bmp_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  const std::string path = fuzz::ScratchFile("image.bmp");
  fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
  const auto loaded = LoadRasterBmp(path);
  if (!loaded) {
    if (loaded.error().message.empty()) std::abort();
    return 0;
  }
  const TRasterImage& raster = **loaded;
  if (raster.columns <= 0 || raster.lines <= 0 || !raster.IsAllocated()) std::abort();
  TColor c;
  raster.GetColor(raster.columns - 1, raster.lines - 1, c);
  volatile int sink = c.red;
  (void)sink;
  return 0;
}
