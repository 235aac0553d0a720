// Raw DEM grid with the sizes of its header: header text, "\n--\n", then the grid bytes. The
// opening goes the whole way: header, scan, work file, read back into a model.
#include <cstdlib>

#include "core/terrain/dem_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  auto [header, grid] = fuzz::SplitInput(data, size);
  const std::string raw = fuzz::ScratchFile("site.raw");
  fuzz::WriteFile(fuzz::ScratchFile("site.txt"), header);
  fuzz::WriteFile(raw, grid);
  DemOpenOptions options;
  options.workDirectory = fuzz::ScratchFile("work");
  const int width = (size % 2 == 0) ? 2 : 4;
  auto dem = OpenDemFile(raw, width, options);
  if (dem) {
    const TDemModel& m = **dem;
    if (m.lines <= 0 || m.columns <= 0) std::abort();
    // The grid was checked against the file length, so it cannot be larger than the input.
    if (static_cast<std::size_t>(m.lines) * static_cast<std::size_t>(m.columns) *
            static_cast<std::size_t>(width) > grid.size())
      std::abort();
    volatile int sink = m.GetElevation(m.columns - 1, m.lines - 1);
    (void)sink;
  }
  return 0;
}
