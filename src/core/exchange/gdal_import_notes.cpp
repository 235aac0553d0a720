#include "core/exchange/gdal_import_notes.h"

namespace orvane {

std::vector<std::string> GdalImportNotes(const GdalImportResult& result, bool filled) {
  std::vector<std::string> notes;
  if (result.unitChosen) {
    const char* unit = result.unitFactor == 1000  ? "millimeters"
                       : result.unitFactor == 100 ? "centimeters"
                       : result.unitFactor == 10  ? "decimeters"
                                                  : "meters";
    notes.push_back(std::string("Real elevations: the DEM is in ") + unit +
                    ", the finest unit that holds them");
  }
  if (result.noDataFilled > 0) {
    notes.push_back(std::to_string(result.noDataFilled) +
                    (filled ? " NoData cells were filled with the nearest valid elevation"
                            : " NoData cells stay NoData: no value rests on them"));
  }
  notes.insert(notes.end(), result.info.warnings.begin(), result.info.warnings.end());
  return notes;
}

}  // namespace orvane
