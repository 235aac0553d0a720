#include "core/terrain/raster_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "core/common/atomic_file.h"
#include "core/terrain/dem_file.h"

namespace orvane {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string LowerExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

std::string RasterHeaderText(int lines, int columns, int pixelSizeTruncated) {
  std::string text;
  for (int v : {lines, columns, 1, 0, 255, pixelSizeTruncated}) text += std::to_string(v) + "\r\n";
  return text;
}

Status SaveRasterRaw(const TRasterImage& raster, const std::string& basePathAsTyped,
                     int pixelSizeTruncated) {
  return SaveRasterRawFiles(raster, basePathAsTyped + ".raw", basePathAsTyped + ".txt",
                            pixelSizeTruncated);
}

Status SaveRasterRawFiles(const TRasterImage& raster, const std::string& rawPath,
                          const std::string& headerPath, int pixelSizeTruncated) {
  const int lines = std::max(raster.lines, 0);
  const int columns = std::max(raster.columns, 0);
  AtomicFileWriter header;
  AtomicFileWriter data;
  if (Status s = header.Open(headerPath); !s) return s;
  if (Status s = data.Open(rawPath); !s) return s;
  header.Write(RasterHeaderText(lines, columns, pixelSizeTruncated));
  // One-byte pixels are their own values and their lines lie end to end: the whole grid goes
  // out in one write, without passing through the stream's buffer.
  const bool bytes = raster.kind != kRasterRgb && raster.IsAllocated();
  if (bytes && lines > 0 && columns > 0) {
    if (Status s = data.Write(raster.Row(0), static_cast<std::size_t>(lines) * columns); !s)
      return s;
  }
  std::vector<std::uint8_t> line(bytes ? 0 : static_cast<std::size_t>(columns));
  for (int l = 0; l < lines && !bytes; ++l) {
    for (int c = 0; c < columns; ++c) {
      int value = 0;
      raster.GetValue(c, l, value);
      line[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(value & 0xFF);
    }
    if (Status s = data.Write(line.data(), line.size()); !s) return s;
  }
  // Data first: if it cannot be committed the header is abandoned too.
  if (Status s = data.Commit(); !s) return s;
  return header.Commit();
}

Expected<std::unique_ptr<TRasterImage>> LoadRasterRaw(const std::string& rawPath, int lines,
                                                      int columns, std::int64_t* missingBytes) {
  if (Status s = CheckDemSize(lines, columns, "'" + rawPath + "'"); !s) return s.error();
  FilePtr file(std::fopen(rawPath.c_str(), "rb"));
  if (!file) {
    const int err = errno;
    return Error{kCannotOpen, "cannot open " + FileReason(rawPath, err)};
  }
  auto raster = std::make_unique<TRasterImage>(columns, lines, kRasterGray);
  if (raster->allocError || !raster->IsAllocated())
    return Error{kAllocationFailed, "not enough memory for the image '" + rawPath + "'"};
  std::int64_t missing = 0;
  const std::size_t rowBytes = static_cast<std::size_t>(columns);
  for (int l = 0; l < lines; ++l) {
    // The raster starts black, so bytes the file lacks stay 0.
    const std::size_t got = std::fread(raster->Row(l), 1, rowBytes, file.get());
    missing += static_cast<std::int64_t>(rowBytes - got);
  }
  if (std::ferror(file.get())) {
    const int err = errno;
    return Error{kOutsideOrShortRead, "cannot read " + FileReason(rawPath, err)};
  }
  if (missingBytes) *missingBytes = missing;
  raster->fileName = rawPath;
  return raster;
}

Expected<std::unique_ptr<TRasterImage>> LoadRasterFile(const std::string& path,
                                                       std::int64_t* missingBytes) {
  const std::string ext = LowerExtension(path);
  if (missingBytes) *missingBytes = 0;
  if (ext == ".bmp") return LoadRasterBmp(path);
  if (ext == ".raw") {
    auto header = ReadDemHeader(HeaderPathFor(path));
    if (!header) return header.error();
    return LoadRasterRaw(path, header->lines, header->columns, missingBytes);
  }
  return Error{kBadParameter, "'" + path + "': unknown image type (.bmp or .raw expected)"};
}

}  // namespace orvane
