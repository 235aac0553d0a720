// ILWIS map import: .mpr description text, "\n--\n", then the .mp# data; the first byte picks
// the element type the user would choose.
#include <cstdlib>

#include "core/exchange/ilwis_import.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  if (size == 0) return 0;
  const int type = data[0] % 6;
  auto [mprText, mapData] = fuzz::SplitInput(data + 1, size - 1);
  fuzz::ClearScratch();
  const std::string mpr = fuzz::ScratchFile("map.mpr");
  fuzz::WriteFile(mpr, mprText);
  fuzz::WriteFile(fuzz::ScratchFile("map.mp#"), mapData);
  auto info = ReadIlwisMapInfo(mpr);
  if (info && (info->lines <= 0 || info->columns <= 0)) std::abort();
  // A huge announced size with a short data file must be refused before any allocation, so
  // no size is skipped here.
  IlwisImportParams params;
  params.mprPath = mpr;
  params.type = static_cast<IlwisElementType>(type);
  params.outputName = fuzz::ScratchFile("out");
  auto result = ImportIlwis(params);
  if (result && info && (result->info.lines != info->lines || result->info.columns != info->columns))
    std::abort();
  return 0;
}
