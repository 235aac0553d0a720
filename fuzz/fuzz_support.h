// Shared helpers of the fuzz harnesses: a private scratch directory and the splitting of one
// input into the several files a reader needs.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvane::fuzz {

// A directory created once per process and removed at exit.
inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-fuzz-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    std::string path = made ? std::string(made) : std::string("/tmp");
    static struct Cleaner {
      std::string path;
      ~Cleaner() {
        std::error_code ec;
        if (path != "/tmp") std::filesystem::remove_all(path, ec);
      }
    } cleaner{path};
    return path;
  }();
  return dir;
}

inline std::string ScratchFile(const std::string& name) { return ScratchDir() + "/" + name; }

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// Splits the input at the first "\n--\n": the text part (a header) and the binary part.
// Without the separator everything is the text part.
inline std::pair<std::string_view, std::string_view> SplitInput(const std::uint8_t* data,
                                                                std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = all.find("\n--\n");
  if (cut == std::string_view::npos) return {all, {}};
  return {all.substr(0, cut), all.substr(cut + 4)};
}

// Removes every file of the scratch directory the last run left.
inline void ClearScratch() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ScratchDir(), ec))
    std::filesystem::remove_all(entry.path(), ec);
}

}  // namespace orvane::fuzz
