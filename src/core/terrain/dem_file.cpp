#include "core/terrain/dem_file.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <new>
#include <utility>

#include <sys/types.h>
#include <unistd.h>

#include "core/common/atomic_file.h"
#include "core/common/grid_memory.h"
#include "core/common/parallel.h"

namespace orvane {

static_assert(std::endian::native == std::endian::little,
              "raw grids are read into memory as they are stored: little-endian");

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::int64_t LengthOf(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long length = std::ftell(file);
  return length < 0 ? -1 : static_cast<std::int64_t>(length);
}

// One "%d" of the header: optional blanks, optional sign, digits. False when there is no
// number or it does not fit an int.
bool ParseInt(const std::string& text, std::size_t& pos, long long& value) {
  while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  std::size_t p = pos;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  const std::size_t digitsStart = p;
  long long v = 0;
  while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) {
    if (v < 1000000000000LL) v = v * 10 + (text[p] - '0');
    ++p;
  }
  if (p == digitsStart) return false;
  value = negative ? -v : v;
  pos = p;
  return true;
}

std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

}  // namespace

std::string HeaderPathFor(const std::string& rawPath) {
  const auto slash = rawPath.find_last_of('/');
  const auto dot = rawPath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return rawPath + ".txt";
  return rawPath.substr(0, dot) + ".txt";
}

Status CheckDemSize(int lines, int columns, const std::string& origin) {
  auto bad = [&](const char* what, int value) {
    return Error{kWrongFormat, origin + ": " + what + " " + std::to_string(value) +
                                   " is not in 1.." + std::to_string(kMaxDemFileSide)};
  };
  if (lines < 1 || lines > kMaxDemFileSide) return bad("number of lines", lines);
  if (columns < 1 || columns > kMaxDemFileSide) return bad("number of columns", columns);
  return Status::Ok();
}

Expected<DemHeader> ReadDemHeader(const std::string& headerPath) {
  FilePtr file(std::fopen(headerPath.c_str(), "rb"));
  if (!file) {
    const int err = errno;
    return Error{kCannotOpen, "cannot open the header " + FileReason(headerPath, err)};
  }
  // The two numbers stand at the start; a header is never large, so its head is enough.
  std::string text(4096, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), file.get()));
  std::size_t pos = 0;
  long long lines = 0, columns = 0;
  if (!ParseInt(text, pos, lines) || !ParseInt(text, pos, columns))
    return Error{kWrongFormat, "the header '" + headerPath +
                                   "' does not start with two integers (lines, then columns)"};
  auto bad = [&](const char* what, long long value) {
    return Error{kWrongFormat, "the header '" + headerPath + "' gives " + what + " " +
                                   std::to_string(value) + ", not in 1.." +
                                   std::to_string(kMaxDemFileSide)};
  };
  if (lines < 1 || lines > kMaxDemFileSide) return bad("a number of lines", lines);
  if (columns < 1 || columns > kMaxDemFileSide) return bad("a number of columns", columns);
  return DemHeader{static_cast<int>(lines), static_cast<int>(columns)};
}

std::string PixelSizeRangeMessage() {
  return "the pixel size must be a positive number of metres, at most " +
         std::to_string(static_cast<long long>(kMaxPixelSizeMetres));
}

int ElementWidthFromName(const std::string& rawPath) {
  std::string name = rawPath.size() > 7 ? rawPath.substr(rawPath.size() - 7) : rawPath;
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (name == "_m2.raw") return 2;
  if (name == "_m4.raw") return 4;
  return 0;
}

int ElementWidthFromSize(std::int64_t fileSize, int lines, int columns) {
  const std::int64_t cells = static_cast<std::int64_t>(lines) * columns;
  if (cells <= 0) return 0;
  if (fileSize == 2 * cells) return 2;
  if (fileSize == 4 * cells) return 4;
  return 0;
}

Expected<DemFileScan> ScanDemFile(const std::string& rawPath, int lines, int columns,
                                  int bytesPerElement) {
  if (bytesPerElement != 2 && bytesPerElement != 4)
    return Error{kBadParameter, "element width " + std::to_string(bytesPerElement) +
                                    " bytes is not 2 or 4 for '" + rawPath + "'"};
  if (Status s = CheckDemSize(lines, columns, "'" + rawPath + "'"); !s) return s.error();
  FilePtr file(std::fopen(rawPath.c_str(), "rb"));
  if (!file) {
    const int err = errno;
    return Error{kCannotOpen, "cannot open " + FileReason(rawPath, err)};
  }
  DemFileScan scan;
  scan.lines = lines;
  scan.columns = columns;
  scan.bytesPerElement = bytesPerElement;
  scan.fileLength = LengthOf(file.get());
  const std::int64_t needed = static_cast<std::int64_t>(lines) * columns * bytesPerElement;
  if (scan.fileLength < needed)
    return Error{kWrongFormat, "'" + rawPath + "' is too short: " +
                                   std::to_string(scan.fileLength) + " bytes, " +
                                   std::to_string(lines) + " lines x " + std::to_string(columns) +
                                   " columns x " + std::to_string(bytesPerElement) + " need " +
                                   std::to_string(needed)};
  if (std::fseek(file.get(), 0, SEEK_SET) != 0) {
    const int err = errno;
    return Error{kCannotOpen, "cannot read " + FileReason(rawPath, err)};
  }
  if (!GridBytesAllowed(GridBytes(lines, columns, sizeof(std::int32_t))))
    return GridMemoryError(lines, columns);
  const std::size_t cells = static_cast<std::size_t>(lines) * columns;
  try {
    scan.values.reserve(cells);
    AdviseLargePages(scan.values.data(), cells * sizeof(std::int32_t));
    scan.values.resize(cells);
  } catch (const std::bad_alloc&) {
    return GridMemoryError(lines, columns);
  }
  // Blocks of whole lines of about 1 MiB, read on every core at once, each widened and scanned
  // for its extremes while it is still in the cache. 32-bit elements are read straight into
  // the grid (they are stored as they lie in memory); 16-bit ones through a small buffer.
  const std::size_t lineBytes = static_cast<std::size_t>(columns) * bytesPerElement;
  const int linesPerBlock =
      static_cast<int>(std::clamp<std::size_t>((std::size_t{1} << 20) / lineBytes, 1, lines));
  const int blocks = (lines + linesPerBlock - 1) / linesPerBlock;
  struct BlockResult {
    std::int32_t lowest = std::numeric_limits<std::int32_t>::max();
    std::int32_t highest = std::numeric_limits<std::int32_t>::min();
    int shortLine = -1;  // the first line the file could not give
  };
  std::vector<BlockResult> results(static_cast<std::size_t>(blocks));
  const int descriptor = ::fileno(file.get());
  ParallelForLines(
      blocks,
      [&](int b) {
        const int first = b * linesPerBlock;
        const int count = std::min(linesPerBlock, lines - first);
        const std::size_t blockCells = static_cast<std::size_t>(count) * columns;
        const std::size_t bytes = blockCells * bytesPerElement;
        std::int32_t* out = scan.values.data() + static_cast<std::size_t>(first) * columns;
        thread_local std::vector<std::uint16_t> narrow;
        if (bytesPerElement == 2) narrow.resize(blockCells);
        auto* target = bytesPerElement == 4 ? reinterpret_cast<char*>(out)
                                            : reinterpret_cast<char*>(narrow.data());
        const auto offset = static_cast<off_t>(first) * static_cast<off_t>(lineBytes);
        std::size_t done = 0;
        while (done < bytes) {
          const ssize_t got = ::pread(descriptor, target + done, bytes - done,
                                      offset + static_cast<off_t>(done));
          if (got < 0 && errno == EINTR) continue;
          if (got <= 0) break;
          done += static_cast<std::size_t>(got);
        }
        BlockResult& result = results[static_cast<std::size_t>(b)];
        if (done < bytes) {
          result.shortLine = first + static_cast<int>(done / lineBytes);
          return;
        }
        std::int32_t lowest = result.lowest, highest = result.highest;
        if (bytesPerElement == 2) {
          const std::uint16_t* in = narrow.data();
          for (std::size_t k = 0; k < blockCells; ++k) {
            const std::int32_t v = in[k];  // unsigned: 65535 stays 65535
            out[k] = v;
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
          }
        } else {
          for (std::size_t k = 0; k < blockCells; ++k) {
            lowest = std::min(lowest, out[k]);
            highest = std::max(highest, out[k]);
          }
        }
        result.lowest = lowest;
        result.highest = highest;
      },
      nullptr, 1);
  std::int32_t lowest = std::numeric_limits<std::int32_t>::max();
  std::int32_t highest = std::numeric_limits<std::int32_t>::min();
  for (const BlockResult& result : results) {
    if (result.shortLine >= 0)
      return Error{kOutsideOrShortRead, "cannot read line " + std::to_string(result.shortLine) +
                                            " of '" + rawPath + "'"};
    lowest = std::min(lowest, result.lowest);
    highest = std::max(highest, result.highest);
  }
  scan.minValue = std::min<std::int64_t>(scan.minValue, lowest);
  scan.maxValue = std::max<std::int64_t>(scan.maxValue, highest);
  scan.valueRange = std::pair{lowest, highest};
  return scan;
}

std::string DefaultWorkDirectory() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
    return Join(data, "orvane");
  if (const char* home = std::getenv("HOME"); home && *home)
    return Join(Join(home, ".local/share"), "orvane");
  return Join(std::filesystem::temp_directory_path().string(), "orvane");
}

std::string DemSignatureLine() {
  return "ORVANE 1.0 - morphometric analysis of terrain - all rights reserved to its authors\n";
}

namespace {

Status CheckScan(const DemFileScan& scan, const DemOpenOptions& options) {
  if (Status s = CheckDemSize(scan.lines, scan.columns, "DEM"); !s) return s;
  if (scan.values.size() != static_cast<std::size_t>(scan.lines) * scan.columns)
    return Error{kBadParameter, "the DEM grid holds " + std::to_string(scan.values.size()) +
                                    " values instead of lines x columns"};
  if (options.unitFactor <= 0)
    return Error{kBadParameter, "the vertical unit factor must be positive"};
  if (!(options.pixelSizeMetres > 0.0) || options.pixelSizeMetres > kMaxPixelSizeMetres)
    return Error{kBadParameter, PixelSizeRangeMessage()};
  return Status::Ok();
}

TDemDescriptor OpenedDescriptor(const DemFileScan& scan, const DemOpenOptions& options) {
  TDemDescriptor block;
  block.lines = scan.lines;
  block.columns = scan.columns;
  block.elementType = kDemInt32;
  block.minElevation = static_cast<float>(scan.minValue);
  block.maxElevation = static_cast<float>(scan.maxValue);
  block.offset = 0.0f;
  block.pixelSizeX = block.pixelSizeY =
      static_cast<float>(options.pixelSizeMetres * options.unitFactor);
  block.scale = 1.0f;
  block.producerText = DemSignatureLine();
  block.authorName = "Anonyme";
  return block;
}

}  // namespace

Expected<std::unique_ptr<TDemModel>> LoadScannedDem(DemFileScan&& scan,
                                                    const DemOpenOptions& options) {
  if (options.writeWorkFile) return LoadScannedDem(static_cast<const DemFileScan&>(scan), options);
  if (Status s = CheckScan(scan, options); !s) return s.error();
  auto model = std::make_unique<TDemModel>();
  if (Status s = model->AdoptInt32Grid(OpenedDescriptor(scan, options), std::move(scan.values),
                                       scan.valueRange);
      !s)
    return s.error();
  return model;
}

Expected<std::unique_ptr<TDemModel>> LoadScannedDem(const DemFileScan& scan,
                                                    const DemOpenOptions& options) {
  if (Status s = CheckScan(scan, options); !s) return s.error();
  const std::string directory =
      options.workDirectory.empty() ? DefaultWorkDirectory() : options.workDirectory;
  std::error_code ec;
  std::filesystem::create_directories(directory, ec);
  if (ec)
    return Error{kCannotOpen, "cannot create the work directory '" + directory + "': " + ec.message()};
  const std::string workPath = Join(directory, kDemWorkFileName);

  {
    AtomicFileWriter out;
    if (Status s = out.Open(workPath); !s) return s.error();
    const auto* bytes = reinterpret_cast<const char*>(scan.values.data());
    const std::size_t lineBytes = static_cast<std::size_t>(scan.columns) * sizeof(std::int32_t);
    const auto cancelled = [&] { return options.cancel && options.cancel->Cancelled(); };
    for (int l = 0; l < scan.lines; ++l) {
      if (cancelled()) return Error{kCancelled, "opening cancelled"};
      out.Write(bytes + static_cast<std::size_t>(l) * lineBytes, lineBytes);
    }
    if (cancelled()) return Error{kCancelled, "opening cancelled"};
    if (Status s = out.Commit(); !s) return s.error();
  }

  auto model = std::make_unique<TDemModel>();
  if (Status s = model->ReadRaw(workPath, OpenedDescriptor(scan, options), 0); !s)
    return s.error();
  return model;
}

Expected<std::unique_ptr<TDemModel>> OpenDemFile(const std::string& rawPath, int bytesPerElement,
                                                 const DemOpenOptions& options, int lines,
                                                 int columns) {
  if (lines <= 0 || columns <= 0) {
    auto header = ReadDemHeader(HeaderPathFor(rawPath));
    if (!header) return header.error();
    lines = header->lines;
    columns = header->columns;
  }
  auto scan = ScanDemFile(rawPath, lines, columns, bytesPerElement);
  if (!scan) return scan.error();
  return LoadScannedDem(*scan, options);
}

Status TDemModel::ReadRaw(const std::string& path, const TDemDescriptor& block,
                          std::int64_t byteOffset) {
  const Error unreadable{kOutsideOrShortRead, "cannot read '" + path + "'"};
  const Error tooShort{kWrongFormat, "'" + path + "' is shorter than its announced grid"};
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return unreadable;
  if (byteOffset < 0 || std::fseek(file.get(), static_cast<long>(byteOffset), SEEK_SET) != 0)
    return Error{kCannotOpen, "cannot position in '" + path + "'"};
  const int size = ElementSizeOf(block.elementType);
  // A block with a negative size or an unknown element type describes no grid we can read.
  if (size == 0 || block.lines < 0 || block.columns < 0) return tooShort;
  const std::int64_t needed =
      byteOffset + static_cast<std::int64_t>(block.lines) * block.columns * size;
  const std::int64_t length = LengthOf(file.get());
  if (length < needed) return tooShort;
  Release();
  FreeNormalGrid();
  SetDescriptor(block);
  if (Status s = Allocate(block.columns, block.lines, block.elementType); !s) return s;
  allocError = 0;
  if (std::fseek(file.get(), static_cast<long>(byteOffset), SEEK_SET) != 0) {
    Release();
    return unreadable;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(columns) * elementSize;
  for (int l = 0; l < lines && IsAllocated(); ++l) {
    if (std::fread(Row(l), 1, rowBytes, file.get()) != rowBytes) {
      Release();
      return unreadable;
    }
  }
  offset = 0.0f;
  UpdateMinMax();
  return Status::Ok();
}

Status TDemModel::AdoptInt32Grid(const TDemDescriptor& block, std::vector<std::int32_t>&& values,
                                 std::optional<std::pair<std::int32_t, std::int32_t>> valueRange) {
  if (block.lines <= 0 || block.columns <= 0 ||
      values.size() != static_cast<std::size_t>(block.lines) * block.columns)
    return Error{kWrongFormat, "the DEM grid holds " + std::to_string(values.size()) +
                                   " values instead of lines x columns"};
  Release();
  FreeNormalGrid();
  SetDescriptor(block);
  elementType = kDemInt32;
  elementSize = 4;
  rowBytes_ = static_cast<std::size_t>(columns) * 4;
  data_ = std::move(values);
  allocError = 0;
  offset = 0.0f;
  // The same figures as UpdateMinMax's scan (offset 0 and a finite scale, the extremes of a
  // type-2 grid are those of its extreme stored values).
  if (valueRange && std::isfinite(scale))
    SetExtremesOfStored(valueRange->first, valueRange->second);
  else
    UpdateMinMax();
  return Status::Ok();
}

}  // namespace orvane
