#include "core/terrain/bmp_file.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/common/atomic_file.h"

namespace orvane {

namespace {

void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v & 0xFF);
  p[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}
std::uint32_t Get16(const std::uint8_t* p) { return p[0] | (static_cast<std::uint32_t>(p[1]) << 8); }
std::uint32_t Get32(const std::uint8_t* p) {
  return p[0] | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16) |
         (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t GetSigned32(const std::uint8_t* p) {
  const std::uint32_t u = Get32(p);
  return u <= 0x7FFFFFFFu ? static_cast<std::int32_t>(u)
                          : -static_cast<std::int32_t>(~u) - 1;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

Error Refuse(const std::string& path, const std::string& why) {
  return Error{kWrongFormat, "'" + path + "' is not a bitmap this program reads: " + why};
}

}  // namespace

Status SaveRasterBmp(TRasterImage& raster, const std::string& path) {
  if (!raster.IsAllocated() || raster.lines <= 0 || raster.columns <= 0)
    return Error{kWriteFailed, "cannot write '" + path + "': the image is empty"};
  const bool rgb = raster.kind == kRasterRgb;
  const int bits = rgb ? 24 : 8;
  const std::uint32_t offset = rgb ? kBmpRgbOffset : kBmpPaletteOffset;
  const std::int64_t stride = BmpStride(raster.columns, bits);
  const std::int64_t imageSize = stride * raster.lines;
  if (imageSize + offset > 0xFFFFFFFFll)
    return Error{kWriteFailed, "cannot write '" + path + "': the image is too large for a bitmap"};

  std::array<std::uint8_t, 54> header{};
  header[0] = 'B';
  header[1] = 'M';
  Put32(&header[2], static_cast<std::uint32_t>(offset + imageSize));
  Put32(&header[10], offset);
  Put32(&header[14], kBmpInfoHeaderSize);
  Put32(&header[18], static_cast<std::uint32_t>(raster.columns));
  Put32(&header[22], static_cast<std::uint32_t>(raster.lines));
  Put16(&header[26], 1);
  Put16(&header[28], static_cast<std::uint32_t>(bits));
  Put32(&header[30], 0);
  Put32(&header[34], static_cast<std::uint32_t>(imageSize));
  Put32(&header[38], 10000);
  Put32(&header[42], 10000);

  AtomicFileWriter out;
  if (Status s = out.Open(path); !s) return s;
  out.Write(header.data(), header.size());
  if (!rgb) {
    // A gray raster shows (v, v, v) whatever its palette field holds, so it is written with
    // the gray ramp and reads back as gray.
    const TPalette palette = raster.kind == kRasterGray ? GrayRamp() : raster.palette;
    std::array<std::uint8_t, 1024> entries{};
    for (int i = 0; i < 256; ++i) {
      entries[4 * i] = palette[i][0];
      entries[4 * i + 1] = palette[i][1];
      entries[4 * i + 2] = palette[i][2];
      entries[4 * i + 3] = 0;
    }
    out.Write(entries.data(), entries.size());
  }
  std::vector<std::uint8_t> line(static_cast<std::size_t>(stride), 0);
  const std::size_t rowBytes = raster.RowBytes();
  for (int l = raster.lines - 1; l >= 0; --l) {
    std::copy(raster.Row(l), raster.Row(l) + rowBytes, line.begin());
    if (Status s = out.Write(line.data(), line.size()); !s) return s;
  }
  if (Status s = out.Commit(); !s) return s;
  raster.fileName = path;
  return Status::Ok();
}

Expected<std::unique_ptr<TRasterImage>> LoadRasterBmp(const std::string& path) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    const int err = errno;
    return Error{kCannotOpen, "cannot open " + FileReason(path, err)};
  }
  std::int64_t fileLength = -1;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) fileLength = std::ftell(file.get());
  if (fileLength < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    const int err = errno;
    return Error{kCannotOpen, "cannot read " + FileReason(path, err)};
  }

  std::array<std::uint8_t, 54> header{};
  if (std::fread(header.data(), 1, header.size(), file.get()) != header.size())
    return Error{kShortRead, "'" + path + "' is too short for a bitmap header"};
  if (header[0] != 'B' || header[1] != 'M') return Refuse(path, "no \"BM\" signature");
  const std::uint32_t offset = Get32(&header[10]);
  const std::uint32_t infoSize = Get32(&header[14]);
  const std::int64_t width = GetSigned32(&header[18]);
  const std::int64_t height = GetSigned32(&header[22]);
  const std::uint32_t bits = Get16(&header[28]);
  const std::uint32_t compression = Get32(&header[30]);

  std::uint8_t kind = kRasterGray;
  if (bits == 8 && offset == kBmpPaletteOffset) {
    kind = kRasterGray;
  } else if (bits == 24 && offset == kBmpRgbOffset) {
    kind = kRasterRgb;
  } else if (bits != 8 && bits != 24) {
    return Refuse(path, std::to_string(bits) + " bits per pixel (8 or 24 expected)");
  } else {
    return Refuse(path, "pixel data at byte " + std::to_string(offset) + " (expected " +
                            std::to_string(bits == 8 ? kBmpPaletteOffset : kBmpRgbOffset) + ")");
  }
  if (infoSize != kBmpInfoHeaderSize)
    return Refuse(path, "information header of " + std::to_string(infoSize) + " bytes (40 expected)");
  if (compression != 0) return Refuse(path, "compressed pixels (compression " + std::to_string(compression) + ")");
  // Positive height: bottom line stored first; negative: top-down.
  const bool topDown = height < 0;
  const std::int64_t lines = topDown ? -height : height;
  if (width <= 0 || lines <= 0 || width > kBmpMaxSide || lines > kBmpMaxSide)
    return Refuse(path, "absurd size " + std::to_string(width) + " x " + std::to_string(height));

  const std::int64_t stride = BmpStride(width, static_cast<int>(bits));
  const std::int64_t needed = static_cast<std::int64_t>(offset) + stride * lines;
  if (fileLength < needed)
    return Error{kShortRead, "'" + path + "' is truncated: " + std::to_string(fileLength) +
                                 " bytes, the header announces " + std::to_string(needed)};

  auto loaded = std::make_unique<TRasterImage>();
  if (!loaded->Allocate(static_cast<int>(width), static_cast<int>(lines), kind))
    return Error{kAllocationFailed, "not enough memory for the bitmap '" + path + "'"};
  if (bits == 8) {
    std::array<std::uint8_t, 1024> entries{};
    if (std::fread(entries.data(), 1, entries.size(), file.get()) != entries.size())
      return Error{kWriteFailed, "'" + path + "' is too short for its palette"};
    bool gray = true;
    for (int i = 0; i < 256; ++i) {
      loaded->palette[i] = {entries[4 * i], entries[4 * i + 1], entries[4 * i + 2], 0};
      if (entries[4 * i] != i || entries[4 * i + 1] != i || entries[4 * i + 2] != i) gray = false;
    }
    if (!gray) loaded->kind = kRasterPalette;
  }
  if (std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0)
    return Error{kShortRead, "cannot read the pixels of '" + path + "'"};
  std::vector<std::uint8_t> line(static_cast<std::size_t>(stride));
  const std::size_t rowBytes = loaded->RowBytes();
  for (std::int64_t i = 0; i < lines; ++i) {
    if (std::fread(line.data(), 1, line.size(), file.get()) != line.size())
      return Error{kShortRead, "'" + path + "' is truncated in its pixel data"};
    const int target = static_cast<int>(topDown ? i : lines - 1 - i);
    std::copy(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(rowBytes), loaded->Row(target));
  }
  loaded->fileName = path;
  return loaded;
}

}  // namespace orvane
