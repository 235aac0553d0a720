#include "core/exchange/gdal_raster_figures.h"

#include "core/common/text_builder.h"

namespace orvane {

std::array<std::string, 5> GdalRasterFigures(const GdalRasterInfo& info) {
  std::string crs = info.crsName.empty() ? "unknown" : info.crsName;
  if (info.geographic) crs += " (degrees)";
  TextBuilder ground;
  if (!info.hasGeoTransform) {
    ground.Add("no georeference");
  } else {
    ground.Format("%.8g x %.8g", info.pixelWidthMetres, info.pixelHeightMetres);
    if (info.geographic) ground.Format(" at latitude %.4f", info.centralLatitude);
  }
  return {info.path, std::to_string(info.lines) + " x " + std::to_string(info.columns),
          info.dataType, crs, ground.Text()};
}

std::string GdalBandNote(const GdalRasterInfo& info) {
  if (info.bandCount <= 1) return {};
  return std::to_string(info.bandCount) + " bands: band 1 is imported";
}

}  // namespace orvane
