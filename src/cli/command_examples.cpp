// The "Examples" footer of every `orvane-cli COMMAND --help`: a treatment's from its
// declaration, the other commands' from the table below. Every line runs as it stands from the
// source folder on the sample DEM.
#include <map>

#include "cli/command.h"

namespace orvane::cli {

std::string CommandExamples(const std::string& command) {
  static const std::map<std::string, std::string> kExamples = {
      {"info", "orvane-cli info --dem data/jacksboro_m2.raw --pixel 90"},
      {"export-ilwis",
       "orvane-cli export-ilwis --dem data/jacksboro_m2.raw --pixel 90 --name jacksboro --dir . "
       "--zone 14"},
      {"import-ilwis",
       "orvane-cli import-ilwis --mpr jacksboro.mpr --type double --name jacksboro_copy"},
      {"import-gdal", "orvane-cli import-gdal --src site.tif --unit dm --name site"},
      {"export-geotiff",
       "orvane-cli export-geotiff --dem site.tif --out site_dem.tif\n"
       "orvane-cli export-geotiff --dem data/jacksboro_m2.raw --pixel 90 --zone 17 --xmin 747000 "
       "--xmax 783270 --ymin 4013000 --ymax 4043960 --out jacksboro.tif"},
  };
  if (const TreatmentDescriptor* treatment = FindTreatment(command))
    return FormatExamples(treatment->examples);
  const auto found = kExamples.find(command);
  if (found == kExamples.end()) return {};
  return FormatExamples(found->second);
}

std::string FormatExamples(const std::string& lines) {
  if (lines.empty()) return {};
  std::string text = "\nExamples:\n";
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    text += "  " + lines.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return text;
}

std::string Command::Examples() const { return CommandExamples(Name()); }

}  // namespace orvane::cli
