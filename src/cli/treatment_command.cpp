// The orvane-cli command of a declared treatment: its options, checks and --help come from the
// declaration; the run loads the inputs, calls the treatment and writes what was asked for.
#include <cmath>
#include <deque>
#include <map>

#include "cli/command.h"
#include "core/exchange/gdal_raster.h"
#include "core/terrain/raster_file.h"
#include "core/treatment/treatment.h"

namespace orvane::cli {

namespace {

// The storage an option is bound to, by its type.
struct BoundValue {
  int integer = 0;
  double real = 0.0;
  bool flag = false;
  std::string text;
  CLI::Option* option = nullptr;
};

bool EndsWithRaw(const std::string& path) { return LowerExtension(path) == ".raw"; }

class TreatmentCommand : public Command {
 public:
  explicit TreatmentCommand(const TreatmentDescriptor& treatment) : treatment_(treatment) {}

  std::string Name() const override { return treatment_.id; }
  std::string Summary() const override { return treatment_.summary; }

  void AddOptions(CLI::App& app) override {
    if (!treatment_.Gives(kOutputValues)) {
      // Taken so that the refusal can say why, rather than "not expected". Their hidden group
      // comes before the help flag's: the help ends every group but the last one with a blank
      // line, so a hidden group last would leave a blank line over.
      const CLI::Option* help = app.get_help_ptr();
      const std::string helpName = help ? help->get_name(false, true) : std::string();
      const std::string helpText = help ? help->get_description() : std::string();
      app.set_help_flag();
      app.add_option("--values", values_, "not available: this treatment has no per-cell quantity")
          ->group("");
      app.add_flag("--stats", stats_, "not available")->group("");
      if (!helpName.empty()) app.set_help_flag(helpName, helpText);
    }
    if (treatment_.inputs & kInputDrainage)
      AddRasterInputOption(app, "--drainage", drainage_, treatment_.drainageHelp);
    if (treatment_.inputs & kInputParam)
      AddRasterInputOption(app, "--param", param_, treatment_.paramHelp);
    if (treatment_.inputs & kInputDem) dem_.Add(app);
    for (const ParamDeclaration& declared : treatment_.params) AddParam(app, declared, bound_.emplace_back());
    const bool histogram = treatment_.Gives(kOutputHistogram);
    if (histogram && !treatment_.histogramAfterPicture)
      AddHistogramOption(app, histogram_, treatment_.histogramRequired);
    if (treatment_.Gives(kOutputPicture))
      AddOutputOption(app, out_, treatment_.pictureRequired && !treatment_.Gives(kOutputValues));
    if (histogram && treatment_.histogramAfterPicture)
      AddHistogramOption(app, histogram_, treatment_.histogramRequired);
    if (treatment_.Gives(kOutputValues)) {
      app.add_option("--values", values_,
                     "write the " + ValueWords() +
                         " as a Float32 GeoTIFF (NaN where no value; georeferenced when the "
                         "DEM is)")
          ->type_name("PATH.tif")
          ->check(CLI::Validator(
              [](std::string& value) -> std::string {
                if (IsGeoTiffPath(value)) return {};
                return "'" + value + "' must end in .tif or .tiff";
              },
              "PATH.tif"));
      app.add_flag("--stats", stats_,
                   "print the count of valid cells, min, max, mean, stddev and the 5/25/50/75/95 "
                   "percentiles of the " + ValueWords());
    }
    if (treatment_.Gives(kOutputValues) || treatment_.Gives(kOutputPicture))
      AddCompressOption(app, compression_);
  }

  int Run(CommandContext& context) override {
    if (!treatment_.Gives(kOutputValues) && (!values_.empty() || stats_))
      return Report(context, UsageError(Name() +
                                        (treatment_.Gives(kOutputPicture) ? " makes a picture"
                                                                          : " gives figures") +
                                        ", not a per-cell quantity: " +
                                        "--values and --stats are not available"));
    const bool picture = treatment_.Gives(kOutputPicture) && !out_.empty();
    if (treatment_.Gives(kOutputPicture) && treatment_.pictureRequired && !picture &&
        values_.empty() && !stats_)
      return Report(context, UsageError("--out is required (or --values or --stats)"));
    // A colour result cannot be stored as an 8-bit raw grid: said before any work.
    if (picture && treatment_.colourPicture && EndsWithRaw(out_))
      return Report(context, UsageError("--out: a colour image can only be saved as .bmp, not '" +
                                        out_ + "'"));
    TreatmentArgs args;
    for (std::size_t k = 0; k < treatment_.params.size(); ++k) Collect(treatment_.params[k], bound_[k], args);
    if (Status s = CompleteArgs(treatment_, args); !s) return Report(context, s);

    // Values alone of a local treatment over a GDAL raster: read, computed and written a band
    // at a time, the next band computed while the last one is compressed.
    const std::optional<int> halo =
        treatment_.halo ? treatment_.halo(args) : std::optional<int>();
    if (halo && treatment_.inputs == kInputDem && !picture && !values_.empty() && !stats_ &&
        histogram_.empty() && !treatment_.Gives(kOutputFigures) &&
        !IsRawDemSource(dem_.Source()) && !dem_.fillNoData)
      return RunValuesInBands(treatment_, args, *halo, dem_, values_, compression_, context);

    TreatmentInputs inputs;
    Expected<LoadedDem> dem = Error{};
    TSettings settings;
    if (treatment_.inputs & kInputDem) {
      dem = LoadDem(dem_, context);
      if (!dem) return Report(context, dem.error());
      inputs.dem = dem->model.get();
      inputs.settings = &dem->settings;
      inputs.unitFactor = dem->unitFactor;
      inputs.wholeMetres = dem->wholeMetres;
      inputs.pixelMetres = dem->pixelMetres;
    } else {
      inputs.settings = &settings;
    }
    std::unique_ptr<TRasterImage> drainage, param;
    if (treatment_.inputs & kInputDrainage) {
      auto loaded = LoadRasterInput(drainage_, context);
      if (!loaded) return Report(context, loaded.error());
      drainage = std::move(*loaded);
      inputs.drainage = drainage.get();
      inputs.drainageName = drainage_;
    }
    if (treatment_.inputs & kInputParam) {
      auto loaded = LoadRasterInput(param_, context);
      if (!loaded) return Report(context, loaded.error());
      param = std::move(*loaded);
      inputs.param = param.get();
      inputs.paramName = param_;
    }

    unsigned wanted = kOutputFigures;
    if (picture || (treatment_.Gives(kOutputPicture) && values_.empty() && !stats_)) wanted |= kOutputPicture;
    if (!values_.empty() || stats_) wanted |= kOutputValues;
    if (!histogram_.empty()) wanted |= kOutputHistogram;
    auto result = treatment_.run(inputs, args, wanted, context.progress);
    if (!result) return Report(context, result.error());

    for (const std::string& warning : result->warnings)
      context.err << "orvane-cli: warning: " << warning << '\n';
    if (picture && result->picture) {
      const bool colour = !result->rawAsGray &&
                          (result->colourPicture || result->picture->kind != kRasterGray);
      const Status written =
          !dem ? WriteRasterOutput(*result->picture, out_, 0, colour, compression_)
          : treatment_.pictureOnDemGrid
              ? WriteRasterOutput(*result->picture, out_, *dem, colour, compression_)
              : WriteRasterOutput(*result->picture, out_, dem->PixelSizeTruncated(), colour,
                                  compression_);
      if (!written) return Report(context, written);
    }
    if (!values_.empty() && result->values) {
      const GeoReference* georef = dem && dem->georef ? &*dem->georef : nullptr;
      if (Status s = WriteValuesOutput(*result->values, values_, georef, compression_); !s)
        return Report(context, s);
    }
    if (!histogram_.empty()) {
      if (Status s = WriteTextOutput(histogram_, result->histogram); !s) return Report(context, s);
    }
    for (const Figure& figure : result->figures) {
      std::visit([&](const auto& value) { PrintValue(context.out, figure.key, value); },
                 figure.value);
    }
    if (stats_ && result->values) PrintStatistics(context.out, SummarizeValues(*result->values));
    return kExitOk;
  }

 private:
  std::string ValueWords() const {
    return treatment_.valueName.empty() ? std::string("values")
                                        : treatment_.valueName + " values" +
                                              (treatment_.valueUnit.empty()
                                                   ? std::string()
                                                   : " (" + treatment_.valueUnit + ")");
  }

  static void AddParam(CLI::App& app, const ParamDeclaration& declared, BoundValue& bound) {
    const std::string name = "--" + declared.name;
    CLI::Option* option = nullptr;
    switch (declared.type) {
      case ParamType::kFlag:
        bound.option = app.add_flag(name, bound.flag, declared.help);
        return;
      case ParamType::kInteger:
        option = app.add_option(name, bound.integer, declared.help);
        if (!declared.allowed.empty()) option->check(CLI::IsMember(declared.allowed));
        if (declared.minimum || declared.maximum)
          option->check(CLI::Range(static_cast<int>(declared.minimum.value_or(INT32_MIN)),
                                   static_cast<int>(declared.maximum.value_or(INT32_MAX))));
        break;
      case ParamType::kReal:
        option = app.add_option(name, bound.real, declared.help);
        if (declared.positive) option->check(PositiveReal(declared.positiveMessage));
        if (declared.minimum || declared.maximum)
          option->check(CLI::Range(declared.minimum.value_or(-HUGE_VAL), declared.maximum.value_or(HUGE_VAL)));
        break;
      case ParamType::kChoice: {
        option = app.add_option(name, bound.text, declared.help);
        std::vector<std::string> names;
        for (const ParamChoice& choice : declared.choices) names.push_back(choice.name);
        option->check(CLI::IsMember(names));
        break;
      }
      case ParamType::kText:
        option = app.add_option(name, bound.text, declared.help);
        break;
    }
    if (declared.required) option->required();
    if (!declared.defaultText.empty()) {
      if (declared.type == ParamType::kChoice || declared.type == ParamType::kText)
        bound.text = declared.defaultText;
      else if (declared.type == ParamType::kInteger)
        bound.integer = std::stoi(declared.defaultText);
      else
        bound.real = std::stod(declared.defaultText);
      if (declared.showDefault) option->default_str(declared.defaultText);
    }
    if (!declared.typeName.empty()) option->type_name(declared.typeName);
    bound.option = option;
  }

  static void Collect(const ParamDeclaration& declared, const BoundValue& bound, TreatmentArgs& args) {
    const bool given = bound.option->count() > 0;
    if (!given && declared.defaultText.empty() && declared.type != ParamType::kFlag) return;
    switch (declared.type) {
      case ParamType::kFlag: args.Set(declared.name, bound.flag ? 1.0 : 0.0); break;
      case ParamType::kInteger: args.Set(declared.name, bound.integer); break;
      case ParamType::kReal: args.Set(declared.name, bound.real); break;
      case ParamType::kChoice: args.SetText(declared.name, bound.text); break;
      case ParamType::kText: args.SetText(declared.name, bound.text); break;
    }
  }

  static void PrintStatistics(std::ostream& out, const ValueStatistics& stats) {
    // Prefixed: a treatment's own figures may already be called min and max.
    PrintValue(out, "values.count", stats.count);
    // The cells without a value (NoData ground, margins): NoData in the --values GeoTIFF.
    PrintValue(out, "values.nodata", stats.noValue);
    if (stats.count == 0) return;
    PrintValue(out, "values.min", stats.minimum);
    PrintValue(out, "values.max", stats.maximum);
    PrintValue(out, "values.mean", stats.mean);
    PrintValue(out, "values.stddev", stats.stddev);
    PrintValue(out, "values.p5", stats.p5);
    PrintValue(out, "values.p25", stats.p25);
    PrintValue(out, "values.p50", stats.p50);
    PrintValue(out, "values.p75", stats.p75);
    PrintValue(out, "values.p95", stats.p95);
  }

  const TreatmentDescriptor& treatment_;
  DemOptions dem_;
  std::string drainage_;
  std::string param_;
  std::deque<BoundValue> bound_;  // stable addresses for CLI11's bindings
  std::string out_;
  std::string values_;
  std::string histogram_;
  bool stats_ = false;
  GeoTiffCompression compression_ = GeoTiffCompression::kDeflate;
};

}  // namespace

std::unique_ptr<Command> MakeTreatmentCommand(const TreatmentDescriptor& treatment) {
  return std::make_unique<TreatmentCommand>(treatment);
}

}  // namespace orvane::cli
