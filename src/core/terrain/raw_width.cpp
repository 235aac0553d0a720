#include "core/terrain/raw_width.h"

#include <filesystem>

#include "core/terrain/dem_file.h"

namespace orvane {

Expected<int> RawElementWidth(const std::string& path, std::int64_t fileSize, int lines,
                              int columns) {
  // A file holding exactly the grid in one width proves it; else the name decides, as on the
  // command line.
  if (const int proven = ElementWidthFromSize(fileSize, lines, columns)) return proven;
  const std::int64_t cells = static_cast<std::int64_t>(lines) * columns;
  if (fileSize >= 0 && fileSize < 2 * cells) {
    return Error{kWrongFormat, std::filesystem::path(path).filename().string() + " holds " +
                                   std::to_string(fileSize) + " bytes: " + std::to_string(lines) +
                                   " lines x " + std::to_string(columns) + " columns need " +
                                   std::to_string(2 * cells) + " bytes as Integer2 or " +
                                   std::to_string(4 * cells) + " as Integer4"};
  }
  return ElementWidthFromName(path);
}

}  // namespace orvane
