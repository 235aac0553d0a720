// DEM header text: any bytes must give two sizes in range or an error naming the file.
#include <cstdlib>

#include "core/terrain/dem_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  const std::string path = fuzz::ScratchFile("site.txt");
  fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
  auto header = ReadDemHeader(path);
  if (header) {
    if (header->lines <= 0 || header->columns <= 0 || header->lines > kMaxDemFileSide ||
        header->columns > kMaxDemFileSide)
      std::abort();
  } else if (header.error().message.find(path) == std::string::npos) {
    std::abort();  // every refusal names the file
  }
  return 0;
}
