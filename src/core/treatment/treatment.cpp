// Parameter checks and value summaries shared by every front end of the treatments.
#include "core/treatment/treatment.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/terrain/raster_image.h"

namespace orvane {

TreatmentOutput::TreatmentOutput() = default;
TreatmentOutput::TreatmentOutput(TreatmentOutput&&) noexcept = default;
TreatmentOutput& TreatmentOutput::operator=(TreatmentOutput&&) noexcept = default;
TreatmentOutput::~TreatmentOutput() = default;

const ParamDeclaration* TreatmentDescriptor::Param(const std::string& name) const {
  for (const ParamDeclaration& declared : params)
    if (declared.name == name) return &declared;
  return nullptr;
}

ParamDeclaration WindowSideParam(std::string help, double minimum, double maximum) {
  return {.name = "window",
          .type = ParamType::kInteger,
          .help = std::move(help),
          .unit = "pixels",
          .required = true,
          .minimum = minimum,
          .maximum = maximum};
}

ParamDeclaration WindowOf12Or24Param(std::string help) {
  return {.name = "window",
          .type = ParamType::kInteger,
          .help = std::move(help),
          .unit = "pixels",
          .allowed = {12, 24},
          .defaultText = "12",
          .showDefault = true};
}

ParamDeclaration DynamicScaleParam(std::string help, int defaultScale) {
  return {.name = "scale",
          .type = ParamType::kInteger,
          .help = std::move(help),
          .allowed = {100, 255},
          .defaultText = std::to_string(defaultScale),
          .showDefault = true};
}

ParamDeclaration SpreadClassesParam(std::string help) {
  return {.name = "scale", .type = ParamType::kFlag, .help = std::move(help)};
}

ParamDeclaration SmoothColoursParam(std::string help) {
  return {.name = "smooth", .type = ParamType::kFlag, .help = std::move(help)};
}

ParamDeclaration ShadedReliefParam(std::string help) {
  return {.name = "shade", .type = ParamType::kFlag, .help = std::move(help)};
}

ParamDeclaration GrayNormalizationParam(std::string help, std::vector<int> allowed, int defaultNorm) {
  return {.name = "norm",
          .type = ParamType::kInteger,
          .help = std::move(help),
          .allowed = std::move(allowed),
          .defaultText = std::to_string(defaultNorm),
          .showDefault = true};
}

ParamDeclaration DynamismParam(std::string help) {
  return {.name = "dynamism",
          .type = ParamType::kInteger,
          .help = std::move(help),
          .allowed = {100, 255},
          .defaultText = "100"};
}

const TreatmentDescriptor* FindTreatment(const std::string& id) {
  for (const TreatmentDescriptor* treatment : AllTreatments())
    if (treatment->id == id) return treatment;
  return nullptr;
}

const ParamChoice* FindChoice(const ParamDeclaration& declared, const std::string& name) {
  for (const ParamChoice& choice : declared.choices)
    if (choice.name == name) return &choice;
  return nullptr;
}

namespace {

std::string NumberText(double value) {
  // Whole numbers as integers (100000, not 1e+05), as the CLI prints its ranges.
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
    return std::to_string(static_cast<long long>(value));
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// Pieces joined by appending: GCC 12 warns wrongly (-Wrestrict) on chains of string sums.
std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text.append(piece);
  return text;
}

Error OptionError(const ParamDeclaration& declared, const std::string& message) {
  return Error{kBadParameter, Join({"--", declared.name, ": ", message})};
}

}  // namespace

Status CheckParamValue(const ParamDeclaration& declared, double value) {
  const std::string shown = NumberText(value);
  if (!std::isfinite(value)) return OptionError(declared, Join({"'", shown, "' is not a number"}));
  if (declared.type == ParamType::kInteger && value != std::trunc(value))
    return OptionError(declared, Join({"'", shown, "' is not a whole number"}));
  if (declared.positive && !(value > 0.0))
    return OptionError(declared, Join({"'", shown, "': ", declared.positiveMessage}));
  if ((declared.minimum && value < *declared.minimum) || (declared.maximum && value > *declared.maximum))
    return OptionError(declared, Join({"Value ", shown, " not in range [",
                                   NumberText(declared.minimum.value_or(-HUGE_VAL)), " - ",
                                   NumberText(declared.maximum.value_or(HUGE_VAL)), "]"}));
  if (!declared.allowed.empty() &&
      std::find(declared.allowed.begin(), declared.allowed.end(), static_cast<int>(value)) ==
          declared.allowed.end()) {
    std::string set;
    for (int v : declared.allowed) set.append(set.empty() ? "" : ", ").append(std::to_string(v));
    return OptionError(declared, Join({"Value ", shown, " not in {", set, "}"}));
  }
  return Status::Ok();
}

Status CompleteArgs(const TreatmentDescriptor& treatment, TreatmentArgs& args) {
  for (const ParamDeclaration& declared : treatment.params) {
    if (!args.Has(declared.name)) {
      if (declared.required) return OptionError(declared, "is required");
      if (declared.defaultText.empty()) {
        if (declared.type == ParamType::kFlag) args.Set(declared.name, 0.0);
        continue;
      }
      if (declared.type == ParamType::kChoice) {
        const ParamChoice* choice = FindChoice(declared, declared.defaultText);
        if (choice) args.Set(declared.name, choice->value);
      } else if (declared.type == ParamType::kText) {
        args.SetText(declared.name, declared.defaultText);
      } else {
        args.Set(declared.name, std::strtod(declared.defaultText.c_str(), nullptr));
      }
      continue;
    }
    if (declared.type == ParamType::kInteger || declared.type == ParamType::kReal) {
      if (Status s = CheckParamValue(declared, args.Real(declared.name)); !s) return s;
    } else if (declared.type == ParamType::kChoice && !args.Text(declared.name).empty()) {
      // A choice given by name (Python, the GUI) becomes its value.
      const ParamChoice* choice = FindChoice(declared, args.Text(declared.name));
      if (!choice) {
        std::string names;
        for (const ParamChoice& c : declared.choices) names.append(names.empty() ? "" : ", ").append(c.name);
        return OptionError(declared, Join({"'", args.Text(declared.name), "' is not one of ", names}));
      }
      args.Set(declared.name, choice->value);
    }
  }
  if (treatment.check) return treatment.check(args);
  return Status::Ok();
}

ValueStatistics SummarizeValues(const ValueGrid& grid) {
  std::vector<float> valid;
  valid.reserve(grid.values.size());
  for (float v : grid.values)
    if (!std::isnan(v)) valid.push_back(v);
  ValueStatistics stats;
  stats.count = static_cast<std::int64_t>(valid.size());
  stats.noValue = static_cast<std::int64_t>(grid.values.size()) - stats.count;
  if (valid.empty()) return stats;
  // Sums in long double over the values in order: the same figures on every run.
  long double sum = 0.0L;
  for (float v : valid) sum += v;
  const long double mean = sum / static_cast<long double>(valid.size());
  long double squares = 0.0L;
  for (float v : valid) squares += (v - mean) * (v - mean);
  stats.mean = static_cast<double>(mean);
  stats.stddev = static_cast<double>(std::sqrt(squares / static_cast<long double>(valid.size())));
  const auto [low, high] = std::minmax_element(valid.begin(), valid.end());
  stats.minimum = *low;
  stats.maximum = *high;
  // Nearest rank: the smallest value with at least `percent` of the values at or below it.
  // The ranks rise, so each selection works on what lies above the one before: no full sort.
  auto from = valid.begin();
  const auto rank = [&](double percent) {
    const double n = static_cast<double>(valid.size());
    std::size_t k = static_cast<std::size_t>(std::ceil(percent / 100.0 * n));
    k = std::clamp<std::size_t>(k, 1, valid.size());
    const auto at = valid.begin() + static_cast<std::ptrdiff_t>(k - 1);
    std::nth_element(from, at, valid.end());
    from = at;
    return static_cast<double>(*at);
  };
  stats.p5 = rank(5);
  stats.p25 = rank(25);
  stats.p50 = rank(50);
  stats.p75 = rank(75);
  stats.p95 = rank(95);
  return stats;
}

}  // namespace orvane
