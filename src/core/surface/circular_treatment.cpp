// The circular-window treatment's declaration: six elevation statistics over a disc.
#include "core/surface/circular_window.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

// The statistics' numbers, named for the dialog's buttons.
std::vector<ParamChoice> StatisticNames() {
  std::vector<ParamChoice> names;
  for (int statistic = kCircularMean; statistic <= kCircularPercentile; ++statistic)
    names.push_back({std::to_string(statistic), statistic, CircularStatisticName(statistic)});
  return names;
}

Expected<TreatmentOutput> RunCircular(const TreatmentInputs& in, const TreatmentArgs& args,
                                      unsigned wanted, ProgressSink* progress) {
  CircularParams params{args.Int("radius"), args.Int("stat")};
  TreatmentOutput output;
  // With NoData the values tell which cells have no statistic, so they are always made.
  if ((wanted & kOutputValues) || in.dem->HasNoData()) {
    const int statistic = params.statistic;
    const char* unit = statistic == kCircularDeviation   ? "standard score"
                       : statistic == kCircularPercentile ? "%"
                                                          : "m";
    params.values = output.values.emplace(in.dem->columns, in.dem->lines, unit).values.data();
    params.unitFactor = in.unitFactor;
  }
  auto result = ComputeCircularWindow(*in.dem, params, progress);
  if (!result) return result.error();
  output.picture = std::move(result->image);
  output.margin = result->margin;
  MarkCellsWithoutGround(output, *in.dem, WindowFrame::Margin(in.dem->columns, in.dem->lines, params.radius),
                         (wanted & kOutputValues) != 0);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kCircularTreatment{
    .id = "circular",
    .title = "Circular Window",
    .menu = "Surface Parameters",
    .summary = "Circular moving window statistic image",
    .inputs = kInputDem,
    .params =
        {
            {.name = "stat",
             .type = ParamType::kInteger,
             .help = "1 mean, 2 difference from mean, 3 standard deviation, 4 range, 5 deviation "
                     "from mean, 6 percentile",
             .required = true,
             .minimum = kCircularMean,
             .maximum = kCircularPercentile,
             .choices = StatisticNames()},
            {.name = "radius",
             .type = ParamType::kInteger,
             .help = "Radius R in pixels",
             .unit = "pixels",
             .required = true,
             .minimum = 1,
             .maximum = kMaxDemSide},
        },
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Circular statistic",
    .valueUnit = "m (mean, difference, standard deviation, range), standard score (deviation), "
                 "or %",
    .valueNoData = "cells closer than R to a border",
    .noDataRule = "NaN where the cell is NoData or fewer than half of its disc's cells hold ground; "
                  "the statistics are those of the disc's ground cells",
    // The statistics read the disc only: the picture's scaling by the largest statistic
    // belongs to the picture, not to the values.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> { return args.Int("radius"); },
    .run = RunCircular,
    .examples = "orvane-cli circular --dem data/jacksboro_m2.raw --pixel 90 --stat 3 --radius 5 "
                "--out stddev.bmp",
};

}  // namespace orvane
