// export-ilwis and import-ilwis: the DEM to and from the four files of an ILWIS raster map.
#include <map>

#include "cli/command.h"
#include "core/exchange/ilwis_export.h"
#include "core/exchange/ilwis_import.h"

namespace orvane::cli {

namespace {

class ExportIlwisCommand : public Command {
 public:
  std::string Name() const override { return "export-ilwis"; }
  std::string Summary() const override {
    return "Write the DEM as an ILWIS raster map (.mp#, .grf, .dom, .mpr)";
  }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--name", params_.name, "generic name of the four files")->required();
    app.add_option("--dir", params_.folder, "output folder")->default_val(".");
    app.add_option("--zone", params_.zone, "UTM zone")->default_val(0);
    app.add_option("--xmin", params_.xMin, "west edge")->default_val(0.0);
    app.add_option("--ymin", params_.yMin, "south edge")->default_val(0.0);
    app.add_option("--xmax", params_.xMax, "east edge")->default_val(0.0);
    app.add_option("--ymax", params_.yMax, "north edge")->default_val(0.0);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    params_.unitDivisor = dem->unitFactor;
    auto result = ExportIlwis(*dem->model, params_, context.progress);
    if (!result) return Report(context, result.error());
    PrintValue(context.out, "min", static_cast<std::int64_t>(result->minValue));
    PrintValue(context.out, "max", static_cast<std::int64_t>(result->maxValue));
    return kExitOk;
  }

 private:
  DemOptions dem_;
  IlwisExportParams params_;
};

class ImportIlwisCommand : public Command {
 public:
  std::string Name() const override { return "import-ilwis"; }
  std::string Summary() const override {
    return "Convert an ILWIS raster map into a DEM raw file and header";
  }
  void AddOptions(CLI::App& app) override {
    const std::map<std::string, IlwisElementType> types = {
        {"char", IlwisElementType::kCharacter}, {"ushort", IlwisElementType::kUnsignedShort},
        {"int", IlwisElementType::kInteger},    {"float", IlwisElementType::kFloat},
        {"double", IlwisElementType::kDouble}};
    app.add_option("--mpr", params_.mprPath, "ILWIS map description (.mpr)")->required();
    app.add_option("--type", params_.type, "element type of the .mp# data")
        ->required()
        ->transform(CLI::CheckedTransformer(types, CLI::ignore_case));
    app.add_option("--name", params_.outputName, "output name without extension")->required();
  }
  int Run(CommandContext& context) override {
    auto result = ImportIlwis(params_, context.progress);
    if (!result) return Report(context, result.error());
    if (!result->warning.empty()) context.err << "orvane-cli: " << result->warning << '\n';
    PrintValue(context.out, "lines", result->info.lines);
    PrintValue(context.out, "columns", result->info.columns);
    PrintValue(context.out, "elementSize", result->info.elementSize);
    PrintValue(context.out, "min", static_cast<std::int64_t>(result->minValue));
    PrintValue(context.out, "max", static_cast<std::int64_t>(result->maxValue));
    PrintValue(context.out, "raw", result->dataPath);
    PrintValue(context.out, "header", result->headerPath);
    return kExitOk;
  }

 private:
  IlwisImportParams params_;
};

}  // namespace

std::unique_ptr<Command> MakeExportIlwisCommand() { return std::make_unique<ExportIlwisCommand>(); }
std::unique_ptr<Command> MakeImportIlwisCommand() { return std::make_unique<ImportIlwisCommand>(); }

}  // namespace orvane::cli
