// Settings INI reader: any text parses, reads back into settings with values in their ranges,
// and survives a write-and-read round trip.
#include <cstdlib>

#include "core/settings/settings_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  const std::string text(reinterpret_cast<const char*>(data), size);
  IniFile ini;
  ini.Parse(text);
  IniFile again;
  again.Parse(ini.Text());
  if (again.Text() != ini.Text()) std::abort();  // the written form is stable
  const std::string path = fuzz::ScratchFile("Orvane.ini");
  fuzz::WriteFile(path, text);
  TSettings settings = ReadSettings(path);
  if (!WriteSettings(path, settings)) std::abort();
  TSettings back = ReadSettings(path);
  if (back.skeletonSize != settings.skeletonSize || back.previewSize != settings.previewSize ||
      back.smoothing3D != settings.smoothing3D || back.eyeDistance != settings.eyeDistance)
    std::abort();
  return 0;
}
