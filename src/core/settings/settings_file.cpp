#include "core/settings/settings_file.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include "core/common/atomic_file.h"

namespace orvane {

namespace {

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Values in double quotes lose them, as private-profile readers do.
std::string CleanValue(std::string value) {
  value = Trim(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  if (value.size() > kMaxSettingValueLength) value.resize(kMaxSettingValueLength);
  return value;
}

// "%-6.2f" without the process locale: a desktop session in a comma-decimal language must
// still write and read "315.00".
std::string Fixed2(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  std::string text(buffer, result.ptr);
  if (text.size() < 6) text.append(6 - text.size(), ' ');
  return text;
}

// The leading decimal number of the text, 0 when there is none (as the C conversion reads it,
// with a point as separator whatever the locale).
double ParseDecimal(const std::string& text) {
  std::size_t p = 0;
  while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) ++p;
  if (p < text.size() && text[p] == '+') ++p;
  double value = 0.0;
  const auto result = std::from_chars(text.data() + p, text.data() + text.size(), value);
  return result.ec == std::errc() ? value : 0.0;
}

constexpr double kDegrees = 180.0 / std::numbers::pi;

}  // namespace

bool IniFile::Load(const std::string& path) {
  lines_.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  Parse(text.str());
  return true;
}

void IniFile::Parse(const std::string& text) {
  lines_.clear();
  std::string section;
  std::size_t start = 0;
  while (start < text.size()) {
    // Lines end with LF, CR LF or a lone CR (files from older editors).
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string raw = text.substr(start, end - start);
    start = end + 1;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++start;
    Line line{raw, section, {}, {}};
    const std::string trimmed = Trim(raw);
    if (!trimmed.empty() && trimmed.front() == '[') {
      const auto close = trimmed.find(']');
      section = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      line.section = section;
    } else if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '#') {
      const auto eq = trimmed.find('=');
      if (eq != std::string::npos && eq > 0) {
        line.key = Trim(trimmed.substr(0, eq));
        line.value = CleanValue(trimmed.substr(eq + 1));
      }
    }
    lines_.push_back(std::move(line));
  }
}

std::string IniFile::Text() const {
  std::string text;
  for (const Line& line : lines_) text += line.text + "\n";
  return text;
}

Status IniFile::Save(const std::string& path) const { return WriteFileAtomically(path, Text()); }

int IniFile::Find(const std::string& section, const std::string& key) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (!lines_[i].key.empty() && SameName(lines_[i].section, section) && SameName(lines_[i].key, key))
      return static_cast<int>(i);
  return -1;
}

bool IniFile::Has(const std::string& section, const std::string& key) const {
  return Find(section, key) >= 0;
}

std::string IniFile::GetString(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const {
  const int i = Find(section, key);
  return i < 0 ? defaultValue : lines_[static_cast<std::size_t>(i)].value;
}

int IniFile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
  const int i = Find(section, key);
  if (i < 0) return defaultValue;
  const std::string& v = lines_[static_cast<std::size_t>(i)].value;
  std::size_t p = 0;
  bool negative = false;
  if (p < v.size() && (v[p] == '-' || v[p] == '+')) negative = v[p++] == '-';
  long long value = 0;
  while (p < v.size() && std::isdigit(static_cast<unsigned char>(v[p])) && value < 10000000000LL)
    value = value * 10 + (v[p++] - '0');
  if (negative) value = -value;
  if (value > 2147483647LL) value = 2147483647LL;
  if (value < -2147483647LL) value = -2147483647LL;
  return static_cast<int>(value);
}

void IniFile::SetString(const std::string& section, const std::string& key,
                        const std::string& value) {
  const std::string cut = value.substr(0, kMaxSettingValueLength);
  if (const int i = Find(section, key); i >= 0) {
    Line& line = lines_[static_cast<std::size_t>(i)];
    line.value = cut;
    line.text = line.key + "=" + cut;
    return;
  }
  // After the last line of the section (trailing blank lines stay after the new key).
  int last = -1;
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (SameName(lines_[i].section, section) && (!Trim(lines_[i].text).empty() || lines_[i].key.size()))
      last = static_cast<int>(i);
  Line line{key + "=" + cut, section, key, cut};
  if (last < 0) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(Line{"", lines_.back().section, {}, {}});
    lines_.push_back(Line{"[" + section + "]", section, {}, {}});
    lines_.push_back(std::move(line));
  } else {
    lines_.insert(lines_.begin() + last + 1, std::move(line));
  }
}

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

namespace {

TSettings FromIni(const IniFile& ini) {
  TSettings s;
  s.demDir = ini.GetString("REPERTOIRES", "MNTDIR", s.demDir);
  s.imageDir = ini.GetString("REPERTOIRES", "IMAGEDIR", s.imageDir);
  s.projectDir = ini.GetString("REPERTOIRES", "VUEDIR", s.projectDir);
  s.gtopo30Dir = ini.GetString("REPERTOIRES", "GTOPO30DIR", s.gtopo30Dir);
  auto decimal = [&](const char* key, const char* def) {
    const std::string text = ini.GetString("SHADOW PARAM", key, def);
    return ParseDecimal(text);  // not a number: 0
  };
  s.light.azimuth = static_cast<float>(decimal("TETA", "315") / kDegrees);
  s.light.elevation = static_cast<float>(decimal("PHI", "65") / kDegrees);
  s.light.exaggeration = static_cast<float>(decimal("EXA", "2"));
  s.light.brightness = static_cast<float>(decimal("REF", "2"));
  s.skeletonSize = ini.GetInt("SQUEL", "SIZE", 20);
  s.previewSize = ini.GetInt("SHADOW", "SIZE", 100);
  s.eyeDistance = ini.GetInt("RELIEF", "ECART", 10);
  s.smoothing3D = ini.GetInt("LISSAGE3D", "SIZE", 1);
  for (int i = 0; i < 4; ++i) s.files[i] = ini.GetString("FICHIERS", std::to_string(i + 1), "");
  return s;
}

}  // namespace

TSettings ReadSettings(const std::string& path) {
  IniFile ini;
  ini.Load(path);
  return FromIni(ini);
}

Expected<TSettings> ReadSettingsChecked(const std::string& path) {
  IniFile ini;
  if (!ini.Load(path)) {
    const int err = errno;
    return Error{kCannotOpen, "cannot open the settings file " + FileReason(path, err ? err : ENOENT)};
  }
  return FromIni(ini);
}

Status WriteSettings(const std::string& path, const TSettings& s) {
  IniFile ini;
  ini.Load(path);  // keep what we do not own
  ini.SetString("REPERTOIRES", "MNTDIR", s.demDir);
  ini.SetString("REPERTOIRES", "IMAGEDIR", s.imageDir);
  ini.SetString("REPERTOIRES", "VUEDIR", s.projectDir);
  ini.SetString("REPERTOIRES", "GTOPO30DIR", s.gtopo30Dir);
  ini.SetString("SHADOW PARAM", "TETA", Fixed2(s.light.azimuth * kDegrees));
  ini.SetString("SHADOW PARAM", "PHI", Fixed2(s.light.elevation * kDegrees));
  ini.SetString("SHADOW PARAM", "EXA", Fixed2(s.light.exaggeration));
  ini.SetString("SHADOW PARAM", "REF", Fixed2(s.light.brightness));
  ini.SetString("SQUEL", "SIZE", std::to_string(s.skeletonSize));
  ini.SetString("SHADOW", "SIZE", std::to_string(s.previewSize));
  ini.SetString("RELIEF", "ECART", std::to_string(s.eyeDistance));
  ini.SetString("LISSAGE3D", "SIZE", std::to_string(s.smoothing3D));
  for (int i = 0; i < 4; ++i) ini.SetString("FICHIERS", std::to_string(i + 1), s.files[i]);
  // The per-user configuration directory may not exist yet.
  const auto parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(parent, ec);
  }
  return ini.Save(path);
}

std::string DefaultSettingsPath() {
  std::string base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
    base = config;
  else
    base = HomeDirectory() + "/.config";
  return base + "/orvane/Orvane.ini";
}

}  // namespace orvane
