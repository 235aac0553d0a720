// Parameter checks and value summaries shared by every front end of the treatments.
#include "core/common/treatment.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "core/terrain/raster_image.h"

namespace orvane {

TreatmentOutput::TreatmentOutput() = default;
TreatmentOutput::TreatmentOutput(TreatmentOutput&&) noexcept = default;
TreatmentOutput& TreatmentOutput::operator=(TreatmentOutput&&) noexcept = default;
TreatmentOutput::~TreatmentOutput() = default;

const ParamSpec* TreatmentDescriptor::Param(const std::string& name) const {
  for (const ParamSpec& spec : params)
    if (spec.name == name) return &spec;
  return nullptr;
}

const TreatmentDescriptor* FindTreatment(const std::string& id) {
  for (const TreatmentDescriptor* treatment : AllTreatments())
    if (treatment->id == id) return treatment;
  return nullptr;
}

const ParamChoice* FindChoice(const ParamSpec& spec, const std::string& name) {
  for (const ParamChoice& choice : spec.choices)
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

Error OptionError(const ParamSpec& spec, const std::string& message) {
  return Error{kBadParameter, Join({"--", spec.name, ": ", message})};
}

Status CheckValue(const ParamSpec& spec, double value) {
  const std::string shown = NumberText(value);
  if (!std::isfinite(value)) return OptionError(spec, Join({"'", shown, "' is not a number"}));
  if (spec.type == ParamType::kInteger && value != std::trunc(value))
    return OptionError(spec, Join({"'", shown, "' is not a whole number"}));
  if (spec.positive && !(value > 0.0))
    return OptionError(spec, Join({"'", shown, "': ", spec.positiveMessage}));
  if ((spec.minimum && value < *spec.minimum) || (spec.maximum && value > *spec.maximum))
    return OptionError(spec, Join({"Value ", shown, " not in range [",
                                   NumberText(spec.minimum.value_or(-HUGE_VAL)), " - ",
                                   NumberText(spec.maximum.value_or(HUGE_VAL)), "]"}));
  if (!spec.allowed.empty() &&
      std::find(spec.allowed.begin(), spec.allowed.end(), static_cast<int>(value)) ==
          spec.allowed.end()) {
    std::string set;
    for (int v : spec.allowed) set.append(set.empty() ? "" : ", ").append(std::to_string(v));
    return OptionError(spec, Join({"Value ", shown, " not in {", set, "}"}));
  }
  return Status::Ok();
}

}  // namespace

Status CompleteArgs(const TreatmentDescriptor& treatment, TreatmentArgs& args) {
  for (const ParamSpec& spec : treatment.params) {
    if (!args.Has(spec.name)) {
      if (spec.required) return OptionError(spec, "is required");
      if (spec.defaultText.empty()) {
        if (spec.type == ParamType::kFlag) args.Set(spec.name, 0.0);
        continue;
      }
      if (spec.type == ParamType::kChoice) {
        const ParamChoice* choice = FindChoice(spec, spec.defaultText);
        if (choice) args.Set(spec.name, choice->value);
      } else if (spec.type == ParamType::kText) {
        args.SetText(spec.name, spec.defaultText);
      } else {
        args.Set(spec.name, std::strtod(spec.defaultText.c_str(), nullptr));
      }
      continue;
    }
    if (spec.type == ParamType::kInteger || spec.type == ParamType::kReal) {
      if (Status s = CheckValue(spec, args.Real(spec.name)); !s) return s;
    } else if (spec.type == ParamType::kChoice && !args.Text(spec.name).empty()) {
      // A choice given by name (Python, the GUI) becomes its value.
      const ParamChoice* choice = FindChoice(spec, args.Text(spec.name));
      if (!choice) {
        std::string names;
        for (const ParamChoice& c : spec.choices) names.append(names.empty() ? "" : ", ").append(c.name);
        return OptionError(spec, Join({"'", args.Text(spec.name), "' is not one of ", names}));
      }
      args.Set(spec.name, choice->value);
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
  if (valid.empty()) return stats;
  // Sums in long double over the values in order: the same figures on every run.
  long double sum = 0.0L;
  for (float v : valid) sum += v;
  const long double mean = sum / static_cast<long double>(valid.size());
  long double squares = 0.0L;
  for (float v : valid) squares += (v - mean) * (v - mean);
  stats.mean = static_cast<double>(mean);
  stats.stddev = static_cast<double>(std::sqrt(squares / static_cast<long double>(valid.size())));
  std::sort(valid.begin(), valid.end());
  stats.minimum = valid.front();
  stats.maximum = valid.back();
  const auto rank = [&](double percent) {
    // Nearest rank: the smallest value with at least `percent` of the values at or below it.
    const double n = static_cast<double>(valid.size());
    std::size_t k = static_cast<std::size_t>(std::ceil(percent / 100.0 * n));
    k = std::clamp<std::size_t>(k, 1, valid.size());
    return static_cast<double>(valid[k - 1]);
  };
  stats.p5 = rank(5);
  stats.p25 = rank(25);
  stats.p50 = rank(50);
  stats.p75 = rank(75);
  stats.p95 = rank(95);
  return stats;
}

}  // namespace orvane
