// The extract-drainage treatment's declaration: valley cells thinned to a one-pixel network.
#include <algorithm>

#include "core/drainage/drainage_extraction.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunExtractDrainage(const TreatmentInputs& in, const TreatmentArgs& args,
                                             unsigned wanted, ProgressSink* progress) {
  ExtractionParams params;
  params.lowerRange = args.Int("lower");
  params.upperRange = args.Int("upper");
  params.colourCode = args.Int("colour");
  TreatmentOutput output;
  if ((wanted & kOutputValues) || in.dem->HasNoData())
    params.mask = output.values.emplace(in.dem->columns, in.dem->lines, "").values.data();
  auto result = ExtractDrainage(*in.dem, params, progress);
  if (!result) return result.error();
  output.figures = {{"networkCells", result->networkCells}};
  MarkCellsWithoutGround(output, *in.dem, WindowFrame::Margin(in.dem->columns, in.dem->lines, 0),
                         (wanted & kOutputValues) != 0);
  // The network's NoData cells stay background: painted in a NoData colour, they would be
  // taken for network by the treatments that read the raster (any gray value but 255).
  output.picture = std::move(result->network);
  // The network is drawn in colour but saved as the drainage window saves it: its gray values
  // in a raw file.
  output.rawAsGray = true;
  return output;
}

}  // namespace

extern const TreatmentDescriptor kExtractDrainageTreatment{
    .id = "extract-drainage",
    .title = "Extract Drainage Network",
    .menu = "DEM Form",
    .summary = "Drainage network of a DEM: valley cells thinned to one-pixel lines",
    .inputs = kInputDem,
    .params =
        {
            {.name = "upper",
             .type = ParamType::kInteger,
             .help = "upper range R (window 2R + 1); the passes run R = 2 .. U",
             .unit = "pixels",
             .required = true},
            {.name = "lower",
             .type = ParamType::kInteger,
             .help = "lower range, at least 1 and below the upper range",
             .unit = "pixels",
             .defaultText = "1",
             .showDefault = true},
            {.name = "colour",
             .type = ParamType::kChoice,
             .help = "network colour",
             .choices = {{"black", kNetworkBlack, "Black"},
                         {"blue", kNetworkBlue, "Blue"},
                         {"red", kNetworkRed, "Red"},
                         {"green", kNetworkGreen, "Green"},
                         {"yellow", kNetworkYellow, "Yellow"}},
             .defaultText = "black",
             .showDefault = true},
        },
    .outputs = kOutputPicture | kOutputValues | kOutputFigures,
    .valueName = "Drainage network",
    .valueNoData = "none: 1 on the network, 0 elsewhere (cells closer than 2 to a border are "
                   "never valleys)",
    .noDataRule = "NaN on NoData cells, which are never stream cells: the valley windows and the "
                  "thinning treat them as outside the grid",
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return std::nullopt; },
    .notLocalReason = "the thinning (SkeletonizeGray in ExtractDrainage) peels the valley cells "
                      "over the whole grid until the lines are one pixel wide, so whether a cell "
                      "stays on the network depends on cells at any distance",
    .check = [](const TreatmentArgs& args) -> Status {
      // The dialog's checks and messages, on one line, naming the option at fault.
      const int lower = args.Int("lower");
      const Status valid = ValidateExtractionRanges(lower, args.Int("upper"));
      if (valid) return valid;
      std::string message = valid.message();
      std::replace(message.begin(), message.end(), '\n', ' ');
      return Error{kBadParameter, (lower < 1 ? "--lower: " : "--upper: ") + message};
    },
    .run = RunExtractDrainage,
    .examples =
        "orvane-cli extract-drainage --dem data/jacksboro_m2.raw --pixel 90 --upper 5 --out d.bmp",
};

}  // namespace orvane
