// The pieces every orvane-cli command is made of.
//
// A command is a class deriving from Command: it declares its options on its own CLI11
// sub-app (binding them to its members) and runs once they are parsed. The shared helpers
// below give every command the same inputs (a DEM opened exactly as the desktop application
// opens it, raster files), the same outputs (.bmp or .raw chosen by the extension, written
// atomically), the same key=value printing and the same messages and exit statuses.
#pragma once

#include <CLI/CLI.hpp>

#include <algorithm>
#include <functional>
#include <chrono>
#include <cstdint>
#include <iomanip>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/exchange/dem_source.h"
#include "core/exchange/gdal_raster.h"
#include "core/settings/settings_file.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/treatment.h"

namespace orvane::cli {

// Wall time of a command spent reading its inputs and writing its outputs (--timing); the
// rest of the run is computation. The input and output helpers below account into the timer
// RunCli activates, through a PhaseScope, so commands need not time anything themselves.
class PhaseTimer {
 public:
  using Clock = std::chrono::steady_clock;
  enum Phase { kRead, kWrite };

  void Start(Clock::time_point start) { start_ = start; }
  void Add(Phase phase, Clock::duration spent) { spent_[phase] += spent; }
  double Seconds(Phase phase) const { return std::chrono::duration<double>(spent_[phase]).count(); }
  double TotalSeconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }
  // "timing: read 0.012 s, compute 0.190 s, write 0.031 s, total 0.236 s"
  std::string Summary() const;

 private:
  Clock::time_point start_ = Clock::now();
  Clock::duration spent_[2] = {};
};

// Makes `timer` the one PhaseScope accounts into on this thread while it lives.
class ActivePhaseTimer {
 public:
  explicit ActivePhaseTimer(PhaseTimer& timer);
  ~ActivePhaseTimer();
  ActivePhaseTimer(const ActivePhaseTimer&) = delete;
  ActivePhaseTimer& operator=(const ActivePhaseTimer&) = delete;

 private:
  PhaseTimer* previous_;
};

// Accounts its lifetime to `phase` of the active timer, if any. A scope opened inside another
// adds nothing (a writer calling a writer counts once).
class PhaseScope {
 public:
  explicit PhaseScope(PhaseTimer::Phase phase);
  ~PhaseScope();
  PhaseScope(const PhaseScope&) = delete;
  PhaseScope& operator=(const PhaseScope&) = delete;

 private:
  PhaseTimer* timer_;
  PhaseTimer::Phase phase_;
  PhaseTimer::Clock::time_point start_;
};

struct CommandContext {
  // A constructor rather than an aggregate: members added later need no change at the
  // places that make a context.
  CommandContext(std::ostream& out, std::ostream& err, ProgressSink* progress = nullptr)
      : out(out), err(err), progress(progress) {}

  std::ostream& out;
  std::ostream& err;
  ProgressSink* progress = nullptr;  // null when no bar is drawn
  PhaseTimer timing;
};

class Command {
 public:
  virtual ~Command() = default;
  virtual std::string Name() const = 0;
  virtual std::string Summary() const = 0;
  // Declares the options on the command's sub-app.
  virtual void AddOptions(CLI::App& app) = 0;
  // Runs after parsing; returns kExitOk, or the status of Report().
  virtual int Run(CommandContext& context) = 0;
  // The "Examples:" footer of --help.
  virtual std::string Examples() const;
};

// Prints "orvane-cli: message" on err and returns 2 for kBadParameter, else 1.
int Report(CommandContext& context, const Error& error);
int Report(CommandContext& context, const Status& status);
// A usage error (status 2) with the given message.
Error UsageError(std::string message);
// Option check for a real > 0; the message is "'VALUE': meaning".
CLI::Validator PositiveReal(const std::string& meaning, double maximum = 1e12);

// ---- inputs ----------------------------------------------------------------------------

// --dem --bytes --lines --columns --unit --pixel --nodata --fill-nodata --settings
// --dem is a raw grid when its extension is .raw, else any raster GDAL reads (GeoTIFF...):
// band 1 is converted to whole units of --unit (a real-valued raster without --unit: the
// finest unit its range allows), its NoData cells kept as NoData (--fill-nodata: filled with
// the nearest value, a warning on err counts them), and the pixel size taken from its
// georeference unless --pixel is given (required for a raw grid and for a raster without
// georeference). --nodata V marks the NoData cells of a raw grid.
struct DemOptions {
  std::string path;
  int bytes = 0;  // 0: from the name (_m2.raw, _m4.raw)
  int lines = 0;
  int columns = 0;
  std::string unit;  // empty: metres, or chosen for a real-valued raster
  double pixel = 0.0;
  double noData = 0.0;
  CLI::Option* noDataOption = nullptr;  // given when its count is not 0
  bool fillNoData = false;
  std::string settingsPath;
  void Add(CLI::App& app);
  // The source these options name.
  DemSource Source() const;
};

struct LoadedDem {
  std::unique_ptr<TDemModel> model;
  TSettings settings;
  int bytes = 2;
  int unitFactor = 1;          // U: 1, 10, 100, 1000
  std::string unitName = "m";
  bool unitChosen = false;     // U chosen from the range of a real-valued raster
  std::int64_t noDataCells = 0;  // cells the source marks NoData
  double pixelMetres = 0.0;    // P as given
  int wholeMetres = 0;         // trunc(P), the dialogs' integer pixel size
  std::int64_t scanMin = 0;    // figures of the file scan before loading
  std::int64_t scanMax = 0;
  // Where the DEM lies, for a raster with a geotransform; .tif outputs carry it.
  std::optional<GeoReference> georef;
  // Sixth line of a raw header written for this DEM: the model's pixelSizeX truncated.
  int PixelSizeTruncated() const { return static_cast<int>(model->pixelSizeX); }
};

// The shaded relief the application makes when it opens the DEM (light of --settings, else
// the default light): what --shade blends with.
Expected<std::unique_ptr<TRasterImage>> OpeningRelief(const LoadedDem& dem, CommandContext& context);

// Opens the DEM exactly as the desktop application's Open DEM does (work file in a temporary
// directory removed afterwards); the model's progress callbacks feed context.progress.
Expected<LoadedDem> LoadDem(const DemOptions& options, CommandContext& context);

// Runs `treatment` for its values alone over a GDAL raster read a band of lines at a time,
// each band with `halo` lines around it, and writes each band's values to the --values
// GeoTIFF `valuesPath` while the next band is read and computed: memory stays that of a few
// bands. The values are those of the whole DEM, cell for cell: the treatment's values rest on
// the cells within its halo alone, and NoData cells (kept as NoData) give no value.
int RunValuesInBands(const TreatmentDescriptor& treatment, const TreatmentArgs& args, int halo,
                     const DemOptions& options, const std::string& valuesPath,
                     GeoTiffCompression compression, CommandContext& context);

// --settings alone, for commands without a DEM: built-in defaults unless given.
Expected<TSettings> LoadSettingsOption(const std::string& settingsPath);

// --drainage / --param: ".bmp", or ".raw" with its ".txt" header. A short raw file loads with
// zeros for the missing pixels and a warning on err.
Expected<std::unique_ptr<TRasterImage>> LoadRasterInput(const std::string& path,
                                                        CommandContext& context);
CLI::Option* AddRasterInputOption(CLI::App& app, const std::string& name, std::string& path,
                                  const std::string& description, bool required = true);

// ---- outputs ---------------------------------------------------------------------------

// --out PATH (required by default); the extension is checked while parsing.
CLI::Option* AddOutputOption(CLI::App& app, std::string& path, bool required = true);
// ".bmp": the bitmap the desktop application saves; ".raw": the 8-bit grid plus the six-line
// header at PATH with ".txt"; ".tif"/".tiff": GeoTIFF (gray, palette or RGB), without a
// georeference here. A colour result (`colourResult`) cannot be saved as .raw (usage error).
// All written atomically.
Status WriteRasterOutput(TRasterImage& raster, const std::string& path, int pixelSizeTruncated,
                         bool colourResult,
                         GeoTiffCompression compression = GeoTiffCompression::kDeflate);
// Colour result = a 24-bit or palette raster.
Status WriteRasterOutput(TRasterImage& raster, const std::string& path, int pixelSizeTruncated);
// The same for a result of `dem`: a GeoTIFF carries the DEM's georeference when it has one.
Status WriteRasterOutput(TRasterImage& raster, const std::string& path, const LoadedDem& dem,
                         bool colourResult,
                         GeoTiffCompression compression = GeoTiffCompression::kDeflate);
// --compress deflate|zstd|lzw|none: the compression of the command's GeoTIFF outputs.
CLI::Option* AddCompressOption(CLI::App& app, GeoTiffCompression& compression);
// A value grid written as --values asks (ExportValuesGeoTiff), timed as writing.
Status WriteValuesOutput(const ValueGrid& grid, const std::string& path,
                         const GeoReference* georef, GeoTiffCompression compression);
Status WriteRasterOutput(TRasterImage& raster, const std::string& path, const LoadedDem& dem);

// --histogram PATH, and the writer of its tab-separated table (atomic).
CLI::Option* AddHistogramOption(CLI::App& app, std::string& path, bool required = false);
Status WriteTextOutput(const std::string& path, std::string_view text);

// key=value lines on stdout; reals in their shortest exact form (90, 0.1, 1076).
void PrintValue(std::ostream& out, std::string_view key, double value);
void PrintValue(std::ostream& out, std::string_view key, float value);
void PrintValue(std::ostream& out, std::string_view key, int value);
void PrintValue(std::ostream& out, std::string_view key, std::int64_t value);
void PrintValue(std::ostream& out, std::string_view key, std::string_view value);
void PrintValue(std::ostream& out, std::string_view key, const char* value);

// ---- progress --------------------------------------------------------------------------

// A text bar on stderr: "[#####               ]  25%", redrawn when the percentage changes.
class TerminalProgress : public ProgressSink {
 public:
  explicit TerminalProgress(std::ostream& err) : err_(err) {}
  void Begin() override {
    if (depth_++ == 0) {
      shown_ = -1;
      Draw(0.0);
    }
  }
  void Step(double fraction) override { Draw(fraction); }
  void End() override {
    if (depth_ > 0 && --depth_ == 0 && drawn_) {
      Draw(1.0);
      err_ << '\n' << std::flush;
      drawn_ = false;
    }
  }

 private:
  void Draw(double fraction) {
    const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
    if (percent == shown_) return;
    shown_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    err_ << '\r' << '[' << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << std::setw(3)
         << percent << '%' << std::flush;
    drawn_ = true;
  }

  std::ostream& err_;
  int depth_ = 0;
  int shown_ = -1;
  bool drawn_ = false;
};


// ---- the table ---------------------------------------------------------------------------

using CommandFactory = std::function<std::unique_ptr<Command>()>;
// Every command in the order of command_table.cpp.
const std::vector<CommandFactory>& CommandTable();
// The command of a declared treatment.
std::unique_ptr<Command> MakeTreatmentCommand(const TreatmentDescriptor& treatment);
// The "Examples:" footer of the command's --help (empty for a command without examples).
std::string CommandExamples(const std::string& command);
// --json: key=value lines as one JSON object (numbers stay numbers, "a.b" keys nest, a repeated
// key gives a list).
std::string KeyValuesToJson(std::string_view text);
// The footer made of example lines (one command per line).
std::string FormatExamples(const std::string& lines);

}  // namespace orvane::cli
