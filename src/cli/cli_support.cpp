// Shared helpers of the orvane-cli commands: inputs, outputs, printing, messages.
#include <cstdio>
#include <cstdlib>
#include <charconv>
#include <filesystem>
#include <map>
#include <vector>

#include "cli/command.h"
#include "core/common/atomic_file.h"
#include "core/exchange/dem_source.h"
#include "core/render/shading.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/raster_file.h"

namespace orvane::cli {

namespace {

template <class T>
void PrintNumber(std::ostream& out, std::string_view key, T value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out << key << '=' << std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)) << '\n';
}

thread_local PhaseTimer* activeTimer = nullptr;
thread_local int openScopes = 0;

}  // namespace

std::string PhaseTimer::Summary() const {
  const double read = Seconds(kRead), write = Seconds(kWrite), total = TotalSeconds();
  char line[160];
  std::snprintf(line, sizeof line, "timing: read %.3f s, compute %.3f s, write %.3f s, total %.3f s",
                read, std::max(0.0, total - read - write), write, total);
  return line;
}

ActivePhaseTimer::ActivePhaseTimer(PhaseTimer& timer) : previous_(activeTimer) {
  activeTimer = &timer;
}
ActivePhaseTimer::~ActivePhaseTimer() { activeTimer = previous_; }

PhaseScope::PhaseScope(PhaseTimer::Phase phase)
    : timer_(openScopes++ == 0 ? activeTimer : nullptr),
      phase_(phase),
      start_(timer_ ? PhaseTimer::Clock::now() : PhaseTimer::Clock::time_point()) {}

PhaseScope::~PhaseScope() {
  --openScopes;
  if (timer_) timer_->Add(phase_, PhaseTimer::Clock::now() - start_);
}

int Report(CommandContext& context, const Error& error) {
  context.err << "orvane-cli: " << error.message << '\n';
  return error.code == kBadParameter ? kExitUsage : kExitFailure;
}

int Report(CommandContext& context, const Status& status) {
  return status.ok() ? kExitOk : Report(context, status.error());
}

Error UsageError(std::string message) { return Error{kBadParameter, std::move(message)}; }

CLI::Validator PositiveReal(const std::string& meaning, double maximum) {
  return CLI::Validator(
      [meaning, maximum](std::string& value) -> std::string {
        char* end = nullptr;
        const double v = std::strtod(value.c_str(), &end);
        if (end == value.c_str() || *end != '\0' || !(v > 0.0) || v > maximum)
          return "'" + value + "': " + meaning;
        return {};
      },
      "P>0");
}

void DemOptions::Add(CLI::App& app) {
  app.add_option("--dem", path,
                 "DEM raw grid (its header is the same name with .txt), or any raster GDAL "
                 "reads (GeoTIFF...): band 1, its NoData cells kept as NoData")
      ->required()
      ->type_name("PATH");
  app.add_option("--bytes", bytes,
                 "element width: 2 = unsigned 16-bit, 4 = signed 32-bit (default from the "
                 "name: _m2.raw or _m4.raw)")
      ->check(CLI::IsMember({2, 4}));
  app.add_option("--lines", lines, "number of lines when the header is missing")
      ->check(CLI::Range(1, kMaxDemFileSide));
  app.add_option("--columns", columns, "number of columns when the header is missing")
      ->check(CLI::Range(1, kMaxDemFileSide));
  app.add_option("--unit", unit,
                 "vertical unit of the stored values (of a GDAL raster: the unit its metres are "
                 "converted to, truncated); default m, and for a real-valued raster the finest "
                 "unit its range allows")
      ->check(CLI::IsMember({"m", "dm", "cm", "mm"}));
  app.add_option("--pixel", pixel,
                 "pixel size in metres (required for a raw grid; a GDAL raster's georeference "
                 "gives it otherwise)")
      ->check(PositiveReal(PixelSizeRangeMessage(), kMaxPixelSizeMetres))
      ->type_name("P");
  noDataOption = app.add_option("--nodata", noData,
                                "stored value that marks the NoData cells of a raw grid (a GDAL "
                                "raster's own NoData value is always used)")
                     ->type_name("V");
  app.add_flag("--fill-nodata", fillNoData,
               "give NoData cells the elevation of the nearest valid cell instead of leaving "
               "them without a value");
  app.add_option("--settings", settingsPath,
                 "settings file to read (light, sizes); default: built-in defaults")
      ->type_name("PATH");
}

Expected<TSettings> LoadSettingsOption(const std::string& settingsPath) {
  if (settingsPath.empty()) return TSettings{};
  return ReadSettingsChecked(settingsPath);
}

namespace {

void ConnectProgress(LoadedDem& dem, CommandContext& context) {
  if (ProgressSink* sink = context.progress) {
    dem.model->OnProgressBegin = [sink] { sink->Begin(); };
    dem.model->OnProgressStep = [sink](double f) { sink->Step(f); };
    dem.model->OnProgressEnd = [sink] { sink->End(); };
  }
}

}  // namespace

Expected<LoadedDem> LoadDem(const DemOptions& options, CommandContext& context) {
  PhaseScope reading(PhaseTimer::kRead);
  DemSource source;
  source.path = options.path;
  source.bytes = options.bytes;
  source.lines = options.lines;
  source.columns = options.columns;
  source.unit = options.unit;
  source.pixel = options.pixel;
  if (options.noDataOption && options.noDataOption->count() > 0) source.noData = options.noData;
  source.fillNoData = options.fillNoData;
  // Option mistakes are said before a settings file or the DEM is read.
  if (Status s = CheckDemSource(source); !s) return s.error();
  auto settings = LoadSettingsOption(options.settingsPath);
  if (!settings) return settings.error();
  // A raw grid has no progress of its own while read; a GDAL raster reports its import.
  auto opened = OpenDemSource(source, IsRawDemSource(source) ? nullptr : context.progress);
  if (!opened) return opened.error();
  for (const std::string& warning : opened->warnings)
    context.err << "orvane-cli: warning: " << warning << '\n';
  LoadedDem dem;
  dem.model = std::move(opened->model);
  dem.settings = std::move(*settings);
  dem.bytes = opened->bytes;
  dem.unitFactor = opened->unitFactor;
  dem.unitName = opened->unitName;
  dem.unitChosen = opened->unitChosen;
  dem.noDataCells = opened->noDataCells;
  dem.pixelMetres = opened->pixelMetres;
  dem.wholeMetres = opened->wholeMetres;
  dem.scanMin = opened->scanMin;
  dem.scanMax = opened->scanMax;
  dem.georef = std::move(opened->georef);
  ConnectProgress(dem, context);
  return dem;
}

Expected<std::unique_ptr<TRasterImage>> OpeningRelief(const LoadedDem& dem, CommandContext& context) {
  auto relief = RenderShaded(*dem.model, dem.settings.light, context.progress);
  if (!relief) return Error{kAllocationFailed, "cannot make the shaded relief of the DEM"};
  return relief;
}

Expected<std::unique_ptr<TRasterImage>> LoadRasterInput(const std::string& path,
                                                        CommandContext& context) {
  PhaseScope reading(PhaseTimer::kRead);
  std::int64_t missing = 0;
  auto raster = LoadRasterFile(path, &missing);
  // An unknown extension comes back as kBadParameter (status 2), unreadable files as 1.
  if (!raster) return raster.error();
  if (missing > 0)
    context.err << "orvane-cli: warning: '" << path << "' lacks " << missing
                << " bytes; the missing pixels read as 0\n";
  return raster;
}

CLI::Option* AddRasterInputOption(CLI::App& app, const std::string& name, std::string& path,
                                  const std::string& description, bool required) {
  CLI::Option* option = app.add_option(name, path, description + " (.bmp, or .raw with its .txt header)");
  option->type_name("PATH");
  if (required) option->required();
  return option;
}

CLI::Option* AddOutputOption(CLI::App& app, std::string& path, bool required) {
  CLI::Option* option =
      app.add_option("--out", path,
                     "output image: .bmp (bitmap), .raw (8-bit grid and .txt header) or .tif "
                     "(GeoTIFF, georeferenced when the DEM is)");
  option->type_name("PATH");
  option->check(CLI::Validator(
      [](std::string& value) -> std::string {
        const std::string ext = LowerExtension(value);
        if (ext == ".bmp" || ext == ".raw" || IsGeoTiffPath(value)) return {};
        return "'" + value + "' must end in .bmp, .raw or .tif";
      },
      "PATH.bmp|PATH.raw|PATH.tif"));
  if (required) option->required();
  return option;
}

namespace {

Status WriteRasterOutput(TRasterImage& raster, const std::string& path, int pixelSizeTruncated,
                         bool colourResult, const GeoReference* georef,
                         GeoTiffCompression compression) {
  PhaseScope writing(PhaseTimer::kWrite);
  if (IsGeoTiffPath(path)) return ExportRasterGeoTiff(raster, path, georef, compression);
  const std::string ext = LowerExtension(path);
  if (ext == ".bmp") return SaveRasterBmp(raster, path);
  if (ext == ".raw") {
    if (colourResult)
      return UsageError("--out: a colour image can only be saved as .bmp, not '" + path + "'");
    return SaveRasterRawFiles(raster, path, HeaderPathFor(path), pixelSizeTruncated);
  }
  return UsageError("--out: '" + path + "' must end in .bmp, .raw or .tif");
}

}  // namespace

Status WriteRasterOutput(TRasterImage& raster, const std::string& path, int pixelSizeTruncated,
                         bool colourResult, GeoTiffCompression compression) {
  return WriteRasterOutput(raster, path, pixelSizeTruncated, colourResult, nullptr, compression);
}

Status WriteRasterOutput(TRasterImage& raster, const std::string& path, int pixelSizeTruncated) {
  return WriteRasterOutput(raster, path, pixelSizeTruncated, raster.kind != kRasterGray);
}

Status WriteRasterOutput(TRasterImage& raster, const std::string& path, const LoadedDem& dem,
                         bool colourResult, GeoTiffCompression compression) {
  return WriteRasterOutput(raster, path, dem.PixelSizeTruncated(), colourResult,
                           dem.georef ? &*dem.georef : nullptr, compression);
}

CLI::Option* AddCompressOption(CLI::App& app, GeoTiffCompression& compression) {
  std::map<std::string, GeoTiffCompression> byName;
  for (const std::string& name : GeoTiffCompressionNames())
    ParseGeoTiffCompression(name, byName[name]);
  return app.add_option("--compress", compression,
                        "compression of the GeoTIFF outputs: deflate (default; values with the "
                        "floating-point predictor), zstd (several times faster, about as "
                        "small), lzw, none")
      ->transform(CLI::CheckedTransformer(byName).description(""))
      ->type_name("deflate|zstd|lzw|none");
}

Status WriteValuesOutput(const ValueGrid& grid, const std::string& path,
                         const GeoReference* georef, GeoTiffCompression compression) {
  PhaseScope writing(PhaseTimer::kWrite);
  return ExportValuesGeoTiff(grid, path, georef, compression);
}

Status WriteRasterOutput(TRasterImage& raster, const std::string& path, const LoadedDem& dem) {
  return WriteRasterOutput(raster, path, dem, raster.kind != kRasterGray);
}

CLI::Option* AddHistogramOption(CLI::App& app, std::string& path, bool required) {
  CLI::Option* option =
      app.add_option("--histogram", path, "write the histogram table (tab-separated text)");
  option->type_name("PATH");
  if (required) option->required();
  return option;
}

Status WriteTextOutput(const std::string& path, std::string_view text) {
  PhaseScope writing(PhaseTimer::kWrite);
  return WriteFileAtomically(path, text);
}

void PrintValue(std::ostream& out, std::string_view key, double value) { PrintNumber(out, key, value); }
void PrintValue(std::ostream& out, std::string_view key, float value) { PrintNumber(out, key, value); }
void PrintValue(std::ostream& out, std::string_view key, int value) { PrintNumber(out, key, value); }
void PrintValue(std::ostream& out, std::string_view key, std::int64_t value) { PrintNumber(out, key, value); }
void PrintValue(std::ostream& out, std::string_view key, std::string_view value) {
  out << key << '=' << value << '\n';
}
void PrintValue(std::ostream& out, std::string_view key, const char* value) {
  PrintValue(out, key, std::string_view(value));
}

}  // namespace orvane::cli
