// The "Examples" footer of every `orvane-cli COMMAND --help`, all in one table so the manual
// page made from the help texts shows them too. Every line runs as it stands from the source
// folder on the sample DEM (d.bmp is the network written by the extract-drainage example).
#include <map>

#include "cli/command.h"

namespace orvane::cli {

std::string CommandExamples(const std::string& command) {
  static const std::map<std::string, std::string> kExamples = {
      {"info", "orvane-cli info --dem data/jacksboro_m2.raw --pixel 90"},
      {"aspect",
       "orvane-cli aspect --dem data/jacksboro_m2.raw --pixel 90 --smooth --out aspect.bmp "
       "--histogram aspect.txt"},
      {"shade",
       "orvane-cli shade --dem data/jacksboro_m2.raw --pixel 90 --azimuth 315 --elevation 45 "
       "--out shade.bmp"},
      {"slices",
       "orvane-cli slices --dem data/jacksboro_m2.raw --pixel 90 --table 2 --smooth --shadow "
       "--out slices.bmp"},
      {"convexity",
       "orvane-cli convexity --dem data/jacksboro_m2.raw --pixel 90 --range 5 --out convexity.bmp"},
      {"concavity",
       "orvane-cli concavity --dem data/jacksboro_m2.raw --pixel 90 --range 5 --dynamism 255 "
       "--out concavity.bmp"},
      {"horizontal",
       "orvane-cli horizontal --dem data/jacksboro_m2.raw --pixel 90 --range 3 --binarize "
       "--out flats.bmp"},
      {"contour-density",
       "orvane-cli contour-density --dem data/jacksboro_m2.raw --pixel 90 --window 10 "
       "--interval 20 --tiling moving --out density.bmp"},
      {"contours",
       "orvane-cli contours --dem data/jacksboro_m2.raw --pixel 90 --first 200 --last 400 "
       "--interval 20 --out contours.bmp"},
      {"global-fractal", "orvane-cli global-fractal --dem data/jacksboro_m2.raw --pixel 90"},
      {"local-fractal",
       "orvane-cli local-fractal --dem data/jacksboro_m2.raw --pixel 90 --h 0.5 --out lfd.bmp "
       "--histogram lfd.txt"},
      {"surface3d",
       "orvane-cli surface3d --dem data/jacksboro_m2.raw --pixel 90 --window 5 --out surface.bmp"},
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
