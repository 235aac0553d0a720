#include "core/exchange/gdal_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace orvane {

namespace {

std::string DirectoryOf(const std::string& file) {
  std::error_code ec;
  const std::filesystem::path resolved = std::filesystem::canonical(file, ec);
  return ec ? std::string() : resolved.parent_path().string();
}

std::vector<std::string> Candidates() {
  if (const char* chosen = std::getenv("ORVANE_GDAL_MODULE"); chosen && *chosen) return {chosen};
  std::vector<std::string> directories;
  // The object holding this code: the program, or a shared library such as a Python module.
  Dl_info self{};
  if (dladdr(reinterpret_cast<const void*>(&Candidates), &self) != 0 && self.dli_fname &&
      *self.dli_fname)
    directories.push_back(DirectoryOf(self.dli_fname));
  directories.push_back(DirectoryOf("/proc/self/exe"));
  std::vector<std::string> files;
  const auto add = [&files](const std::string& file) {
    if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
  };
  for (const std::string& directory : directories)
    if (!directory.empty()) add(directory + "/" ORVANE_GDAL_MODULE_FILE);
  for (const std::string& directory : directories)
    if (!directory.empty())
      add(directory + "/" ORVANE_GDAL_MODULE_RELATIVE_DIR "/" ORVANE_GDAL_MODULE_FILE);
  add(ORVANE_GDAL_MODULE_INSTALL_DIR "/" ORVANE_GDAL_MODULE_FILE);
  return files;
}

Expected<const OrvaneGdalApi*> Load() {
  const std::string need = "GeoTIFF and other GDAL rasters need the GDAL module " ORVANE_GDAL_MODULE_FILE;
  std::string reason;
  bool reasonFromExistingFile = false;
  for (const std::string& file : Candidates()) {
    // RTLD_LOCAL: GDAL's symbols stay out of the global scope.
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      const char* why = dlerror();
      // A module that is there but cannot load (GDAL missing) says more than an absent one.
      const bool exists = ::access(file.c_str(), F_OK) == 0;
      if (!reasonFromExistingFile) {
        reason = why ? why : file + ": cannot be loaded";
        reasonFromExistingFile = exists;
      }
      continue;
    }
    auto entry = reinterpret_cast<OrvaneGdalEntry>(dlsym(module, ORVANE_GDAL_ENTRY_NAME));
    const OrvaneGdalApi* api = entry ? entry(ORVANE_GDAL_ABI_VERSION) : nullptr;
    if (!api || api->abi_version != ORVANE_GDAL_ABI_VERSION ||
        api->table_size < sizeof(OrvaneGdalApi)) {
      dlclose(module);
      return Error{kCannotOpen,
                   need + ": '" + file + "' belongs to another version of ORVANE"};
    }
    // Never closed: GDAL keeps state (drivers, caches) until the process ends.
    return api;
  }
  return Error{kCannotOpen, need + " (reinstall ORVANE, or name the module's file in "
                                   "ORVANE_GDAL_MODULE): " + reason};
}

}  // namespace

Expected<const OrvaneGdalApi*> GdalModule() {
  static const Expected<const OrvaneGdalApi*> module = Load();
  return module;
}

}  // namespace orvane
