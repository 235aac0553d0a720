// import-gdal and export-geotiff: a GeoTIFF (or any raster GDAL reads) to a DEM raw pair, and
// the DEM to a GeoTIFF of elevations in metres.
#include <charconv>

#include "cli/command.h"
#include "core/exchange/gdal_raster.h"

namespace orvane::cli {

namespace {

// Map coordinates in plain decimals (600000, not 6e+05), shortest exact form.
void PrintCoordinate(std::ostream& out, std::string_view key, double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  out << key << '=' << std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)) << '\n';
}

class ImportGdalCommand : public Command {
 public:
  std::string Name() const override { return "import-gdal"; }
  std::string Summary() const override {
    return "Convert a GeoTIFF or other GDAL raster into a DEM raw file and header (_m4)";
  }
  void AddOptions(CLI::App& app) override {
    app.add_option("--src", params_.sourcePath, "raster to convert (band 1)")
        ->required()
        ->type_name("PATH");
    app.add_option("--unit", unit_, "unit of the converted elevations (truncated)")
        ->check(CLI::IsMember({"m", "dm", "cm", "mm"}))
        ->capture_default_str();
    app.add_option("--name", params_.outputName, "output name without _m4.raw")->required();
  }
  int Run(CommandContext& context) override {
    params_.unitFactor = unit_ == "dm" ? 10 : unit_ == "cm" ? 100 : unit_ == "mm" ? 1000 : 1;
    auto result = ImportGdalRaster(params_, context.progress);
    if (!result) return Report(context, result.error());
    for (const std::string& warning : result->info.warnings)
      context.err << "orvane-cli: warning: " << warning << '\n';
    const GdalRasterInfo& info = result->info;
    PrintValue(context.out, "lines", info.lines);
    PrintValue(context.out, "columns", info.columns);
    PrintValue(context.out, "min", result->minValue);
    PrintValue(context.out, "max", result->maxValue);
    PrintValue(context.out, "filled", result->noDataFilled);
    PrintValue(context.out, "pixelSize", info.pixelSizeMetres);
    PrintValue(context.out, "pixelWidth", info.pixelWidthMetres);
    PrintValue(context.out, "pixelHeight", info.pixelHeightMetres);
    const UtmFrame frame = UtmFrameOf(info.georef);
    PrintValue(context.out, "zone", frame.zone);
    if (info.hasGeoTransform) {
      PrintCoordinate(context.out, "xmin", frame.xMin);
      PrintCoordinate(context.out, "ymin", frame.yMin);
      PrintCoordinate(context.out, "xmax", frame.xMax);
      PrintCoordinate(context.out, "ymax", frame.yMax);
    }
    PrintValue(context.out, "raw", result->dataPath);
    PrintValue(context.out, "header", result->headerPath);
    return kExitOk;
  }

 private:
  GdalImportParams params_;
  std::string unit_ = "m";
};

class ExportGeoTiffCommand : public Command {
 public:
  std::string Name() const override { return "export-geotiff"; }
  std::string Summary() const override {
    return "Write the DEM as a GeoTIFF of elevations in metres";
  }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--out", out_, "GeoTIFF to write (.tif)")
        ->required()
        ->type_name("PATH.tif")
        ->check(CLI::Validator(
            [](std::string& value) -> std::string {
              return IsGeoTiffPath(value) ? "" : "'" + value + "' must end in .tif or .tiff";
            },
            "PATH.tif"));
    app.add_option("--zone", frame_.zone, "UTM zone of the frame (negative: south)")
        ->default_val(0);
    app.add_option("--xmin", frame_.xMin, "west edge")->default_val(0.0);
    app.add_option("--ymin", frame_.yMin, "south edge")->default_val(0.0);
    app.add_option("--xmax", frame_.xMax, "east edge (with --xmin..--ymax: the UTM frame wins "
                                          "over the DEM's own georeference)")
        ->default_val(0.0);
    app.add_option("--ymax", frame_.yMax, "north edge")->default_val(0.0);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    std::optional<GeoReference> georef = dem->georef;
    if (frame_.xMax > frame_.xMin && frame_.yMax > frame_.yMin) {
      frame_.lines = dem->model->lines;
      frame_.columns = dem->model->columns;
      georef = GeoReferenceFromUtmFrame(frame_);
    }
    return Report(context, ExportDemGeoTiff(*dem->model, dem->unitFactor, out_,
                                            georef ? &*georef : nullptr, context.progress));
  }

 private:
  DemOptions dem_;
  UtmFrame frame_;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeImportGdalCommand() { return std::make_unique<ImportGdalCommand>(); }
std::unique_ptr<Command> MakeExportGeoTiffCommand() {
  return std::make_unique<ExportGeoTiffCommand>();
}

}  // namespace orvane::cli
