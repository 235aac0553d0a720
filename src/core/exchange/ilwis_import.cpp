#include "core/exchange/ilwis_import.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

#include "core/common/atomic_file.h"
#include "core/common/text_builder.h"

namespace orvane {

namespace {

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  std::filesystem::path p(path);
  p.replace_extension(extension);
  return p.string();
}

std::int32_t TruncateToInt32(double v) {
  if (std::isnan(v)) return 0;
  const double t = std::trunc(v);
  if (t <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  if (t >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(t);
}

bool ParseLeadingInt(const std::string& text, long long& value) {
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-'))
    return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 10);
  return end != text.c_str() && errno == 0;
}

}  // namespace

int IlwisElementBytes(IlwisElementType type) {
  switch (type) {
    case IlwisElementType::kCharacter: return 1;
    case IlwisElementType::kUnsignedShort: return 2;
    case IlwisElementType::kInteger: return 4;
    case IlwisElementType::kFloat: return 4;
    case IlwisElementType::kDouble: return 8;
    default: return 0;
  }
}

Expected<IlwisMapInfo> ReadIlwisMapInfo(const std::string& mprPath) {
  std::ifstream mpr(mprPath);
  if (!mpr) {
    return Error{kCannotOpen, "Cannot open " + mprPath + ": " + std::strerror(errno)};
  }
  // The size is the word starting with "Size="; a description may hold other words that
  // begin with S, so the first S-word is only a fall-back for files without that key.
  std::vector<std::string> words;
  for (std::string word; mpr >> word && words.size() < 100000;) words.push_back(word);
  auto sizeWord = std::find_if(words.begin(), words.end(),
                               [](const std::string& w) { return w.rfind("Size=", 0) == 0; });
  if (sizeWord == words.end()) {
    sizeWord = std::find_if(words.begin(), words.end(),
                            [](const std::string& w) { return !w.empty() && w[0] == 'S'; });
  }
  long long lines = 0;
  long long columns = 0;
  if (sizeWord == words.end() || sizeWord->size() <= 5 ||
      !ParseLeadingInt(sizeWord->substr(5), lines) || sizeWord + 1 == words.end() ||
      !ParseLeadingInt(*(sizeWord + 1), columns)) {
    return Error{kWrongFormat, mprPath + " holds no map size (\"Size=lines columns\")"};
  }
  if (lines <= 0 || columns <= 0) {
    return Error{kWrongFormat, "The map size in " + mprPath + " is " + std::to_string(lines) +
                                   " x " + std::to_string(columns) + ": it must be positive"};
  }
  if (lines > 1000000 || columns > 1000000) {
    return Error{kWrongFormat, "The map size in " + mprPath + " is too large"};
  }
  IlwisMapInfo info;
  info.lines = static_cast<int>(lines);
  info.columns = static_cast<int>(columns);
  info.dataPath = ReplaceExtension(mprPath, ".mp#");
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(info.dataPath, ec);
  if (ec) {
    return Error{kCannotOpen, "Cannot open the data file " + info.dataPath + ": " + ec.message()};
  }
  info.dataBytes = static_cast<std::int64_t>(bytes);
  const std::int64_t cells = lines * columns;
  info.elementSize = static_cast<int>(std::min<std::int64_t>(info.dataBytes / cells, 1 << 20));
  info.exactMultiple = info.dataBytes % cells == 0;
  return info;
}

Expected<IlwisImportResult> ImportIlwis(const IlwisImportParams& params, ProgressSink* progress) {
  const int bytes = IlwisElementBytes(params.type);
  if (bytes == 0) return Error{kBadParameter, "Check the Format"};
  auto info = ReadIlwisMapInfo(params.mprPath);
  if (!info) return info.error();
  IlwisImportResult result;
  result.info = *info;
  const std::int64_t cells = static_cast<std::int64_t>(info->lines) * info->columns;
  const std::int64_t needed = cells * bytes;
  if (info->dataBytes < needed) {
    return Error{kWrongFormat, "The data file " + info->dataPath + " holds " +
                                   std::to_string(info->dataBytes) + " bytes; " +
                                   std::to_string(info->lines) + " x " +
                                   std::to_string(info->columns) + " elements of " +
                                   std::to_string(bytes) + " bytes need " +
                                   std::to_string(needed)};
  }
  if (!info->exactMultiple) {
    result.warning = "The data file " + info->dataPath + " is not a whole number of " +
                     std::to_string(info->lines) + " x " + std::to_string(info->columns) +
                     " elements; its last bytes were ignored";
  }
  std::ifstream data(info->dataPath, std::ios::binary);
  if (!data) {
    return Error{kCannotOpen, "Cannot open the data file " + info->dataPath + ": " +
                                  std::strerror(errno)};
  }
  const bool bytesOut = params.type == IlwisElementType::kCharacter;
  std::string output;
  output.resize(static_cast<std::size_t>(cells) * (bytesOut ? 1 : 4));
  long long lo = std::numeric_limits<long long>::max();
  long long hi = std::numeric_limits<long long>::min();
  std::vector<char> row(static_cast<std::size_t>(info->columns) * bytes);
  ProgressScope scope(progress);
  char* out = output.data();
  for (int line = 0; line < info->lines; ++line) {
    if (!data.read(row.data(), static_cast<std::streamsize>(row.size()))) {
      return Error{kShortRead, "Short read in " + info->dataPath};
    }
    for (int column = 0; column < info->columns; ++column) {
      const char* p = row.data() + static_cast<std::size_t>(column) * bytes;
      long long value = 0;
      switch (params.type) {
        case IlwisElementType::kCharacter: value = static_cast<unsigned char>(*p); break;
        case IlwisElementType::kUnsignedShort: { std::uint16_t v; std::memcpy(&v, p, 2); value = v; break; }
        case IlwisElementType::kInteger: { std::int32_t v; std::memcpy(&v, p, 4); value = v; break; }
        case IlwisElementType::kFloat: { float v; std::memcpy(&v, p, 4); value = TruncateToInt32(v); break; }
        case IlwisElementType::kDouble: { double v; std::memcpy(&v, p, 8); value = TruncateToInt32(v); break; }
        default: break;
      }
      lo = std::min(lo, value);
      hi = std::max(hi, value);
      if (bytesOut) {
        *out++ = static_cast<char>(value);
      } else {
        const auto stored = static_cast<std::int32_t>(value);
        std::memcpy(out, &stored, 4);
        out += 4;
      }
    }
    scope.Step(static_cast<double>(line + 1) / info->lines);
  }
  result.minValue = lo;
  result.maxValue = hi;
  result.dataPath = params.outputName + (bytesOut ? ".raw" : "_m4.raw");
  result.headerPath = params.outputName + (bytesOut ? ".txt" : "_m4.txt");
  TextBuilder header;
  header.Format("%d\n%d\n%d\n%lld\n%lld\n", info->lines, info->columns, info->elementSize, lo, hi);
  const std::string headerText = header.Crlf();
  if (Status s = WriteFilesAtomically({{result.dataPath, output}, {result.headerPath, headerText}});
      !s)
    return s.error();
  return result;
}

}  // namespace orvane
