// Parameter and drainage rasters in raw form: header text, "\n--\n", then the bytes. Also
// opened by extension the way the command line and the windows do.
#include <cstdlib>

#include "core/terrain/dem_file.h"
#include "core/terrain/raster_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  auto [header, bytes] = fuzz::SplitInput(data, size);
  const std::string raw = fuzz::ScratchFile("network.raw");
  const std::string txt = fuzz::ScratchFile("network.txt");
  fuzz::WriteFile(txt, header);
  fuzz::WriteFile(raw, bytes);
  // A short file loads with black pixels, so the header alone may ask for a gigabyte; keep
  // the runs fast by skipping sizes above a few megapixels (the large case has its own test).
  auto sizes = ReadDemHeader(txt);
  if (sizes && static_cast<std::int64_t>(sizes->lines) * sizes->columns > (4 << 20)) return 0;
  std::int64_t missing = -1;
  auto raster = LoadRasterFile(raw, &missing);
  if (raster) {
    const TRasterImage& r = **raster;
    if (missing < 0) std::abort();
    const std::int64_t cells = static_cast<std::int64_t>(r.columns) * r.lines;
    if (static_cast<std::int64_t>(bytes.size()) + missing < cells) std::abort();
    int value = 0;
    r.GetValue(r.columns - 1, r.lines - 1, value);
    volatile int sink = value;
    (void)sink;
  }
  return 0;
}
