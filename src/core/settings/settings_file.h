// The settings file: default directories, the light of the hill shading and a few display
// sizes, kept in an INI file read once at start-up and written back at the end.
//
// IniFile is a small private-profile store: "[SECTION]" lines and "KEY=value" lines; section
// and key names compare without regard to case; values are trimmed of surrounding blanks and
// cut to 255 characters; comments, blank lines and unknown sections and keys are kept as they
// stand when the file is written back.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/common/result.h"
#include "core/settings/light_params.h"

namespace orvane {

inline constexpr std::size_t kMaxSettingValueLength = 255;

class IniFile {
 public:
  // False when the file cannot be opened (the store is then empty).
  bool Load(const std::string& path);
  void Parse(const std::string& text);
  std::string Text() const;  // the file's text, "\n" line ends
  Status Save(const std::string& path) const;

  bool Has(const std::string& section, const std::string& key) const;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue) const;
  // Leading integer of the value ("12abc" gives 12, "abc" gives 0); the default when missing.
  int GetInt(const std::string& section, const std::string& key, int defaultValue) const;
  // Replaces the key's value in place, or adds the key at the end of its section (the section
  // at the end of the file when it does not exist yet).
  void SetString(const std::string& section, const std::string& key, const std::string& value);

 private:
  struct Line {
    std::string text;     // the line as read or written
    std::string section;  // section it belongs to
    std::string key;      // empty for headers, comments and blank lines
    std::string value;
  };
  int Find(const std::string& section, const std::string& key) const;
  std::vector<Line> lines_;
};

// Home directory of the user ($HOME, else the password database, else "/").
std::string HomeDirectory();

struct TSettings {
  std::string demDir = HomeDirectory();     // "REPERTOIRES"/"MNTDIR": DEMs
  std::string imageDir = HomeDirectory();   // "REPERTOIRES"/"IMAGEDIR": images and tables
  std::string projectDir = HomeDirectory();     // "REPERTOIRES"/"VUEDIR": projects
  std::string gtopo30Dir = HomeDirectory(); // "REPERTOIRES"/"GTOPO30DIR"
  TLightParams light;                       // "SHADOW PARAM": TETA, PHI (degrees on file), EXA, REF
  int skeletonSize = 20;                    // "SQUEL"/"SIZE": 3D view skeleton, 10..500
  int previewSize = 100;                    // "SHADOW"/"SIZE": shading preview, 20..200
  int eyeDistance = 10;                     // "RELIEF"/"ECART": stereo eye distance, metres
  int smoothing3D = 1;                      // "LISSAGE3D"/"SIZE": draped colour smoothing, 0..5
  std::array<std::string, 4> files;         // "FICHIERS"/"1".."4", kept unchanged
};

// Missing file or keys give the defaults; a decimal value that is not a number reads as 0.
TSettings ReadSettings(const std::string& path);
// As ReadSettings, but a file that cannot be opened is an error naming it.
Expected<TSettings> ReadSettingsChecked(const std::string& path);
// Writes every key back (TETA/PHI/EXA/REF with "%-6.2f", angles in degrees; integers with
// "%d"; the four file entries as read), keeping the rest of an existing file. Atomic.
Status WriteSettings(const std::string& path, const TSettings& settings);

// Per-user settings file: $XDG_CONFIG_HOME/orvane/Orvane.ini, else ~/.config/orvane/Orvane.ini.
std::string DefaultSettingsPath();

}  // namespace orvane
