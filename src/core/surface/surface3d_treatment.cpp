// The surface3d treatment's declaration: the ratio of the real surface to the map area in a
// square window, stretched over gray 0 ... 100.
#include "core/surface/surface3d.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunSurface3D(const TreatmentInputs& in, const TreatmentArgs& args,
                                       unsigned wanted, ProgressSink* progress) {
  const TDemModel& dem = *in.dem;
  auto result = ComputeSurface3D(dem, {args.Int("window")}, progress);
  if (!result) return result.error();
  TreatmentOutput output;
  if ((wanted & kOutputValues) || dem.HasNoData()) {
    ValueGrid& values = output.values.emplace(dem.columns, dem.lines, "");
    const int margin = result->margin;
    for (int l = margin; l < dem.lines - margin; ++l)
      for (int c = margin; c < dem.columns - margin; ++c)
      {
        const double q = result->ratio[static_cast<std::size_t>(l) * dem.columns + c];
        values.At(c, l) = q == kNoRatio ? kNoValue : static_cast<float>(q);
      }
  }
  output.margin = result->margin;
  output.picture = std::make_unique<TRasterImage>(std::move(result->image));
  MarkCellsWithoutGround(output, dem, WindowFrame::Margin(dem.columns, dem.lines, result->margin),
                         (wanted & kOutputValues) != 0);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kSurface3DTreatment{
    .id = "surface3d",
    .title = "Surface 3D",
    .menu = "Surface Parameters",
    .summary = "Surface 3D: real surface over map area in a square window",
    .inputs = kInputDem,
    .params =
        {
            WindowSideParam("Window size S in pixels", 1),
        },
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Surface 3D ratio",
    .valueNoData = "cells closer than trunc((S - 1) / 2) + 1 to a border",
    .noDataRule = "NaN where the cell is NoData or fewer than half of its window's cells have a "
                  "known area (a cell's area needs its 8 neighbours); the ratio is that of those "
                  "cells",
    // The window of half-size trunc((S - 1) / 2), and each cell's area reads its neighbours.
    .halo = [](const TreatmentArgs& args) -> std::optional<int> { return (args.Int("window") - 1) / 2 + 1; },
    .run = RunSurface3D,
    .examples = "orvane-cli surface3d --dem data/jacksboro_m2.raw --pixel 90 --window 5 --out surface.bmp",
};

}  // namespace orvane
