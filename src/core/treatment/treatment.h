// The declaration of a treatment: what it is called, what it takes, what it gives, and the
// function that computes it. Every front end is built from these declarations: orvane-cli's
// commands (options, checks, --help, examples), the GUI's ranges and menu wiring, the Python
// functions and their docstrings, and the block size Dask adds around a chunk (the halo).
//
// A declaration lives next to its treatment's compute function (surface/slope_treatment.cpp
// beside surface/slope.cpp) and is listed once in AllTreatments() (treatment_registry.cpp).
#pragma once

#include <any>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"

namespace orvane {

class TDemModel;
class TRasterImage;
struct TSettings;

// ---- parameters ------------------------------------------------------------------------

enum class ParamType {
  kInteger,  // whole number, optionally limited to a range or a set of values
  kReal,     // real number, optionally limited to a range
  kFlag,     // on when given
  kChoice,   // one of named, labelled items, each standing for an integer
  kText,     // free text
};

struct ParamChoice {
  std::string name;   // as typed on the command line and in Python: "colored"
  int value = 0;      // what the treatment receives
  std::string label;  // the dialog's wording: "Colored Palette"
};

struct ParamDeclaration {
  std::string name;  // option name without the dashes: "window"
  ParamType type = ParamType::kInteger;
  std::string help;  // one line for --help and the docstring
  std::string unit;  // "pixels", "m", "degrees"; empty when none
  bool required = false;
  // kInteger / kReal: inclusive bounds; `positive` refuses 0 and below instead of a minimum.
  std::optional<double> minimum;
  std::optional<double> maximum;
  bool positive = false;
  std::string positiveMessage;  // the message of a refused non-positive value
  std::vector<int> allowed;      // kInteger: the only values accepted, when not empty
  // kChoice: the items. kInteger: names of its values for the dialogs' buttons (the value is
  // still typed as a number).
  std::vector<ParamChoice> choices;
  std::string defaultText;       // the default as typed; empty: none (a flag is off)
  bool showDefault = false;      // --help shows the default
  std::string typeName;          // --help's placeholder when not the usual one
};

// Parameters several treatments declare alike; each takes its own help line.
// "window": the side of the square window in pixels, required, within [minimum, maximum].
ParamDeclaration WindowSideParam(std::string help, double minimum, double maximum = 100000);
// "window": a side of 12 or 24 pixels, 12 by default.
ParamDeclaration WindowOf12Or24Param(std::string help);
// "scale": the gray picture's dynamic scale, 100 or 255.
ParamDeclaration DynamicScaleParam(std::string help, int defaultScale);
// "scale": the flag that spreads the class bounds over the range of the values.
ParamDeclaration SpreadClassesParam(std::string help);
// "smooth": the flag that interpolates colours between neighbouring classes.
ParamDeclaration SmoothColoursParam(std::string help);
// "shade": the flag that averages the picture with the shaded relief made at opening.
ParamDeclaration ShadedReliefParam(std::string help);
// "norm": the gray tones' normalization, one of `allowed`, `defaultNorm` by default.
ParamDeclaration GrayNormalizationParam(std::string help, std::vector<int> allowed, int defaultNorm);
// "dynamism": the gray level of a full measure, 100 (the default) or 255.
ParamDeclaration DynamismParam(std::string help);

// The parameters of one run, by name: numbers as doubles, choices as their value, flags as 0/1,
// texts as strings. Absent when neither given nor defaulted.
class TreatmentArgs {
 public:
  void Set(const std::string& name, double value) { values_[name] = value; }
  void SetText(const std::string& name, std::string value) { texts_[name] = std::move(value); }
  bool Has(const std::string& name) const {
    return values_.count(name) != 0 || texts_.count(name) != 0;
  }
  double Real(const std::string& name, double fallback = 0.0) const {
    const auto found = values_.find(name);
    return found == values_.end() ? fallback : found->second;
  }
  int Int(const std::string& name, int fallback = 0) const {
    const auto found = values_.find(name);
    return found == values_.end() ? fallback : static_cast<int>(found->second);
  }
  bool Flag(const std::string& name) const { return Real(name) != 0.0; }
  std::string Text(const std::string& name) const {
    const auto found = texts_.find(name);
    return found == texts_.end() ? std::string() : found->second;
  }

 private:
  std::map<std::string, double> values_;
  std::map<std::string, std::string> texts_;
};

// ---- inputs and results ----------------------------------------------------------------

// What a treatment reads besides its parameters.
enum TreatmentInput : unsigned {
  kInputDem = 1u << 0,       // the DEM (--dem and its options)
  kInputDrainage = 1u << 1,  // a drainage network raster (--drainage)
  kInputParam = 1u << 2,     // a parameter image (--param)
};

struct TreatmentInputs {
  const TDemModel* dem = nullptr;
  const TRasterImage* drainage = nullptr;
  const TRasterImage* param = nullptr;
  const TSettings* settings = nullptr;  // light and sizes; never null when run by a front end
  int unitFactor = 1;  // U: stored elevation units per metre (1, 10, 100, 1000)
  int wholeMetres = 0;  // trunc(P): the pixel size in whole metres the dialogs work with
  // The names the inputs were given by (their paths), for messages about them.
  std::string drainageName;
  std::string paramName;
  // The pixel size in metres as given (the DEM's pixelSizeX holds it times U in single
  // precision); 0 when unknown.
  double pixelMetres = 0.0;
};

// What a treatment can give. A run is asked for a subset.
enum TreatmentOutputKind : unsigned {
  kOutputPicture = 1u << 0,    // the 8-bit gray, palette or 24-bit picture
  kOutputValues = 1u << 1,     // the real-valued grid, one value per cell
  kOutputFigures = 1u << 2,    // named scalar figures (key=value lines)
  kOutputHistogram = 1u << 3,  // a tab-separated table
  // The desktop's first phase of a treatment drawn in two (see TreatmentDescriptor::render):
  // keep what the picture is drawn from in TreatmentOutput::drawing instead of drawing it.
  kOutputDrawing = 1u << 4,
};

inline constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();

// One real value per cell of the DEM, line after line; NaN where no window reaches.
struct ValueGrid {
  int columns = 0;
  int lines = 0;
  std::vector<float> values;
  std::string unit;  // "degrees", "m", "%", "" for a ratio or a count

  ValueGrid() = default;
  ValueGrid(int columnCount, int lineCount, std::string valueUnit)
      : columns(columnCount), lines(lineCount),
        values(static_cast<std::size_t>(columnCount) * static_cast<std::size_t>(lineCount),
               kNoValue),
        unit(std::move(valueUnit)) {}
  float& At(int column, int line) {
    return values[static_cast<std::size_t>(line) * static_cast<std::size_t>(columns) +
                  static_cast<std::size_t>(column)];
  }
  float At(int column, int line) const {
    return values[static_cast<std::size_t>(line) * static_cast<std::size_t>(columns) +
                  static_cast<std::size_t>(column)];
  }
  float* Row(int line) {
    return values.data() + static_cast<std::size_t>(line) * static_cast<std::size_t>(columns);
  }
};

// A named figure of a result, printed as key=value in its order.
struct Figure {
  std::string key;
  std::variant<double, std::int64_t, std::string> value;
};

struct TreatmentOutput {
  std::unique_ptr<TRasterImage> picture;
  bool colourPicture = false;  // a colour result (cannot be saved as 8-bit raw)
  // A colour picture whose gray values are its content (a drainage network in its colour):
  // .raw saves those gray values instead of refusing.
  bool rawAsGray = false;
  // The picture's border left uncomputed, in cells: the GUI leaves it out of the gray
  // histogram and the printing.
  int margin = 0;
  std::optional<ValueGrid> values;
  std::vector<Figure> figures;
  std::string histogram;  // the --histogram table, when asked for and given
  std::vector<std::string> warnings;  // what the run worked around, for the user
  // Asked for kOutputDrawing: what `render` draws the picture from (a relief, a density
  // field), kept so that the colours can be chosen after the range is seen.
  std::any drawing;

  TreatmentOutput();
  TreatmentOutput(TreatmentOutput&&) noexcept;
  TreatmentOutput& operator=(TreatmentOutput&&) noexcept;
  ~TreatmentOutput();
};

// What a treatment drawn in two phases keeps in TreatmentOutput::drawing between its run and
// its picture: what the picture is drawn from, and the cells it paints in the NoData colour
// (empty without NoData).
template <typename Computed>
struct KeptDrawing {
  Computed computed;
  std::vector<std::uint8_t> noData;
};

// The drawing of this kind that a run kept in `output`, or null.
template <typename Computed>
const KeptDrawing<Computed>* KeptDrawingOf(const TreatmentOutput& output) {
  return std::any_cast<KeptDrawing<Computed>>(&output.drawing);
}

// ---- the declaration -------------------------------------------------------------------

struct TreatmentDescriptor {
  std::string id;       // the command name: "total-depth"
  std::string title;    // the menu's wording: "Total Depth"
  // The desktop's top menu it is found under ("Surface Parameters"): other front ends group
  // the treatments the same way.
  std::string menu;
  std::string summary;  // one line for --help
  unsigned inputs = kInputDem;
  std::vector<ParamDeclaration> params;
  unsigned outputs = kOutputPicture;  // what it can give
  std::string valueName;  // the quantity of the value grid: "Slope"
  std::string valueUnit;  // its unit: "degrees"
  std::string valueNoData;  // where the value grid has no value, for the docs
  // Where the value grid has no value because the DEM has NoData cells (short, for the docs
  // and the help): "NaN where the cell or one of its 8 neighbours is NoData".
  std::string noDataRule;
  bool colourPicture = false;  // the picture is colour (the CLI refuses .raw for it)
  bool pictureRequired = true;  // the command needs --out unless another output is asked for
  // The picture covers the DEM's cells (not a view of it): a GeoTIFF of it carries the DEM's
  // georeference.
  bool pictureOnDemGrid = true;
  bool histogramRequired = false;  // the histogram is the result (no picture): --histogram needed
  // The words --drainage and --param describe their raster by (the CLI adds the file kinds).
  std::string drainageHelp = "drainage raster";
  std::string paramHelp = "parameter image";
  bool histogramAfterPicture = false;  // --help lists --histogram after --out, not before
  // The cells around an output cell that its value reads (the window radius plus what the
  // computation reads around it), from the parameters; std::nullopt when the value is not
  // local (a global extreme or a network traced over the whole grid), with the reason.
  std::function<std::optional<int>(const TreatmentArgs&)> halo;
  std::string notLocalReason;
  // Checks between parameters that a range cannot say; the error's message is the CLI's.
  std::function<Status(const TreatmentArgs&)> check;
  // Computes the outputs asked for (a subset of `outputs`).
  std::function<Expected<TreatmentOutput>(const TreatmentInputs&, const TreatmentArgs&,
                                          unsigned wanted, ProgressSink*)>
      run;
  // The second phase of a treatment whose colours the desktop chooses after the run (from
  // its range or its diagram): draws the picture from the `drawing` a run asked for
  // kOutputDrawing kept, with the display parameters in `args`. Empty when `run` always draws
  // the picture itself. `run` asked for a picture draws it with the same function.
  std::function<Expected<std::unique_ptr<TRasterImage>>(const TreatmentOutput& computed,
                                                        const TreatmentArgs& args)>
      render;
  std::string examples;  // command lines that run from the source folder, one per line

  const ParamDeclaration* Param(const std::string& name) const;
  bool Gives(unsigned kind) const { return (outputs & kind) != 0; }
};

// Every declared treatment, in the order of orvane-cli --help.
const std::vector<const TreatmentDescriptor*>& AllTreatments();
// The treatment with this id, or null.
const TreatmentDescriptor* FindTreatment(const std::string& id);

// Fills in defaults and checks every given value against its declaration and the treatment's own
// check: the error message names the option as the CLI does ("--window: ...").
Status CompleteArgs(const TreatmentDescriptor& treatment, TreatmentArgs& args);

// Checks one number against its declaration (whole, positive, range, allowed values); the
// message names the option as the CLI does ("--range: Value 9999 not in range [0 - 8000]").
Status CheckParamValue(const ParamDeclaration& declared, double value);

// The choice of the parameter `declared` named `name`, or null.
const ParamChoice* FindChoice(const ParamDeclaration& declared, const std::string& name);

// Summary figures of a value grid (NaN cells left out): count, min, max, mean, standard
// deviation (population) and the 5/25/50/75/95 percentiles (nearest rank). Count 0 when empty.
struct ValueStatistics {
  std::int64_t count = 0;
  std::int64_t noValue = 0;  // NaN cells: count + noValue is every cell of the grid
  double minimum = 0.0, maximum = 0.0, mean = 0.0, stddev = 0.0;
  double p5 = 0.0, p25 = 0.0, p50 = 0.0, p75 = 0.0, p95 = 0.0;
};
ValueStatistics SummarizeValues(const ValueGrid& grid);

}  // namespace orvane
