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

DemSource DemOptions::Source() const {
  DemSource source;
  source.path = path;
  source.bytes = bytes;
  source.lines = lines;
  source.columns = columns;
  source.unit = unit;
  source.pixel = pixel;
  if (noDataOption && noDataOption->count() > 0) source.noData = noData;
  source.fillNoData = fillNoData;
  return source;
}

Expected<LoadedDem> LoadDem(const DemOptions& options, CommandContext& context) {
  PhaseScope reading(PhaseTimer::kRead);
  const DemSource source = options.Source();
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

int RunValuesInBands(const TreatmentDescriptor& treatment, const TreatmentArgs& args, int halo,
                     const DemOptions& options, const std::string& valuesPath,
                     GeoTiffCompression compression, CommandContext& context) {
  const DemSource source = options.Source();
  if (Status s = CheckDemSource(source); !s) return Report(context, s);
  auto settings = LoadSettingsOption(options.settingsPath);
  if (!settings) return Report(context, settings.error());
  Expected<GdalDemBands> bands = Error{};
  {
    PhaseScope reading(PhaseTimer::kRead);
    bands = GdalDemBands::Open(source.path, source.unit.empty() ? 0 : UnitFactorOf(source.unit));
  }
  if (!bands) return Report(context, bands.error());
  const GdalRasterInfo& info = bands->info();
  for (const std::string& warning : info.warnings)
    context.err << "orvane-cli: warning: " << warning << '\n';
  const int lines = info.lines, columns = info.columns;
  // Whole rows of the writer's 256-line tiles, about a million cells a band.
  const int step = 256 * std::max(1, (1 << 20) / (256 * columns));
  std::optional<ValuesGeoTiffWriter> writer;
  std::vector<std::string> warned;
  bool anyValid = false;
  ProgressScope progress(context.progress);
  for (int first = 0; first < lines; first += step) {
    const int count = std::min(step, lines - first);
    const int top = std::max(0, first - halo), bottom = std::min(lines, first + count + halo);
    Expected<OpenedDem> band = Error{};
    {
      PhaseScope reading(PhaseTimer::kRead);
      band = OpenDemBand(*bands, top, bottom - top, source);
    }
    if (!band) return Report(context, band.error());
    anyValid = anyValid || band->noDataCells < static_cast<std::int64_t>(bottom - top) * columns;
    TreatmentInputs inputs;
    inputs.dem = band->model.get();
    inputs.settings = &*settings;
    inputs.unitFactor = band->unitFactor;
    inputs.wholeMetres = band->wholeMetres;
    inputs.pixelMetres = band->pixelMetres;
    auto result = treatment.run(inputs, args, kOutputValues, nullptr);
    if (!result) return Report(context, result.error());
    if (!result->values) return Report(context, Error{kBadParameter, "no values were computed"});
    for (const std::string& warning : result->warnings) {
      if (std::find(warned.begin(), warned.end(), warning) != warned.end()) continue;
      warned.push_back(warning);
      context.err << "orvane-cli: warning: " << warning << '\n';
    }
    PhaseScope writing(PhaseTimer::kWrite);
    if (!writer) {
      auto created = ValuesGeoTiffWriter::Create(valuesPath, columns, lines, result->values->unit,
                                                 info.hasGeoTransform ? &info.georef : nullptr,
                                                 compression);
      if (!created) return Report(context, created.error());
      writer.emplace(std::move(*created));
    }
    const float* rows =
        result->values->values.data() + static_cast<std::size_t>(first - top) * columns;
    if (Status s = writer->Write(count, rows); !s) return Report(context, s);
    progress.Step(static_cast<double>(first + count) / lines);
    if (progress.Cancelled()) return Report(context, Error{kCancelled, "cancelled"});
  }
  if (!anyValid)
    return Report(context, Error{kWrongFormat, "'" + source.path + "' holds no valid elevation: "
                                                                   "every cell is NoData"});
  PhaseScope writing(PhaseTimer::kWrite);
  return Report(context, writer->Commit());
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
