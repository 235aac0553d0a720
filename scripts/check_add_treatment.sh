#!/usr/bin/env bash
# Keeps the "Adding a treatment" walkthrough of docs/architecture.md true: copies the source
# tree to a scratch directory, adds a small treatment (the largest elevation step from a cell
# to its eight neighbours) in exactly the files the walkthrough lists, builds orvane-cli there
# and checks that the new command has its --help, its examples run, and --values and --stats
# give the values the oracle test expects on a small grid.
#
#   scripts/check_add_treatment.sh
#
# With ccache warm from a build of this tree made with CCACHE_BASEDIR at its root (it is set to
# the scratch tree here), only the changed files compile: about 20 s. Cold, it builds the whole
# core, which is why it is a script and not one of the ctest tests.
# The scratch tree is removed at the end; ORVANE_KEEP_SCRATCH=1 keeps it for a look.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/orvane-add-treatment.XXXXXX")"
cleanup() { if [[ "${ORVANE_KEEP_SCRATCH:-0}" != 1 ]]; then rm -rf "$scratch"; else echo "kept $scratch"; fi; }
trap cleanup EXIT
fail() { echo "check_add_treatment: $*" >&2; exit 1; }

# The tree as it stands (tracked and new files, not what git ignores).
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
   xargs -0 -I{} sh -c 'test -e "{}" && printf "%s\0" "{}"' |
   tar --null -T - -cf -) | tar -xf - -C "$scratch"
tree="$scratch"

# 1. The compute function and its header.
cat > "$tree/src/core/surface/cell_step.h" <<'EOF'
// Cell step: the largest absolute elevation difference, in metres, from a cell to its eight
// neighbours. Window 3 x 3; the cells of the border have no value. Cost: O(lines x columns).
#pragma once

#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/treatment/treatment.h"

namespace orvane {

// The steps of every inner cell (NaN on the border); elevations divided by `unitFactor`.
ValueGrid ComputeCellStep(const TDemModel& dem, int unitFactor);

}  // namespace orvane
EOF
cat > "$tree/src/core/surface/cell_step.cpp" <<'EOF'
#include "core/surface/cell_step.h"

#include <algorithm>
#include <cmath>

namespace orvane {

ValueGrid ComputeCellStep(const TDemModel& dem, int unitFactor) {
  ValueGrid values(dem.columns, dem.lines, "m");
  for (int l = 1; l + 1 < dem.lines; ++l) {
    for (int c = 1; c + 1 < dem.columns; ++c) {
      const double z = dem.GetElevation(c, l);
      double step = 0.0;
      for (int dl = -1; dl <= 1; ++dl)
        for (int dc = -1; dc <= 1; ++dc)
          step = std::max(step, std::fabs(dem.GetElevation(c + dc, l + dl) - z));
      values.At(c, l) = static_cast<float>(step / unitFactor);
    }
  }
  return values;
}

}  // namespace orvane
EOF

# 2. The declaration.
cat > "$tree/src/core/surface/cell_step_treatment.cpp" <<'EOF'
// The cell-step treatment's declaration: the largest elevation step around each cell.
#include <algorithm>
#include <cmath>

#include "core/surface/cell_step.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/treatment.h"

namespace orvane {

namespace {

Expected<TreatmentOutput> RunCellStep(const TreatmentInputs& in, const TreatmentArgs& args,
                                      unsigned wanted, ProgressSink*) {
  ValueGrid values = ComputeCellStep(*in.dem, in.unitFactor);
  TreatmentOutput output;
  if (wanted & kOutputPicture) {
    const double top = args.Real("top");
    auto picture = std::make_unique<TRasterImage>();
    if (Status made = picture->Allocate(values.columns, values.lines, kRasterGray); !made)
      return made.error();
    for (int l = 0; l < values.lines; ++l)
      for (int c = 0; c < values.columns; ++c) {
        const float step = values.At(c, l);
        picture->Row(l)[c] =
            std::isnan(step) ? 0 : static_cast<std::uint8_t>(std::min(255.0, step / top * 255.0));
      }
    output.picture = std::move(picture);
    output.margin = 1;
  }
  if (wanted & kOutputValues) output.values = std::move(values);
  return output;
}

}  // namespace

extern const TreatmentDescriptor kCellStepTreatment{
    .id = "cell-step",
    .title = "Cell Step",
    .menu = "Surface Parameters",
    .summary = "Cell step: the largest elevation difference from a cell to its neighbours",
    .params = {{.name = "top",
                .type = ParamType::kReal,
                .help = "step drawn white",
                .unit = "m",
                .positive = true,
                .positiveMessage = "The step drawn white must be above 0",
                .defaultText = "50",
                .showDefault = true}},
    .outputs = kOutputPicture | kOutputValues,
    .valueName = "Cell step",
    .valueUnit = "m",
    .valueNoData = "the cells of the border",
    .halo = [](const TreatmentArgs&) -> std::optional<int> { return 1; },
    .run = RunCellStep,
    .examples = "orvane-cli cell-step --dem data/jacksboro_m2.raw --pixel 90 --out step.bmp",
};

}  // namespace orvane
EOF

# 3. One line in AllTreatments() and its declaration in treatment_registry.h: the command
# table, the desktop's menus and the Python functions follow the list.
python3 - "$tree" <<'EOF'
import sys
tree = sys.argv[1]
path = tree + "/src/core/treatment/treatment_registry.h"
text = open(path).read()
text = text.replace("extern const TreatmentDescriptor kSurface3DTreatment;\n",
                    "extern const TreatmentDescriptor kSurface3DTreatment;\n"
                    "extern const TreatmentDescriptor kCellStepTreatment;\n", 1)
assert text.count("kCellStepTreatment") == 1, "the registry header changed shape"
open(path, "w").write(text)
path = tree + "/src/core/treatment/treatment_registry.cpp"
text = open(path).read()
text = text.replace("      &kSurface3DTreatment,\n",
                    "      &kSurface3DTreatment,\n      &kCellStepTreatment,\n", 1)
assert text.count("kCellStepTreatment") == 1, "the registry changed shape"
open(path, "w").write(text)
EOF

# 4. The oracle test (compiled, not run: the command checks below run the same figures).
cat > "$tree/tests/core/surface/cell_step_test.cpp" <<'EOF'
#include "core/surface/cell_step.h"

#include <gtest/gtest.h>

#include "support/dems.h"

namespace orvane {
namespace {

TEST(CellStep, LargestStepToTheEightNeighbours) {
  const auto dem = testing::DemFrom({{10, 10, 10}, {10, 14, 10}, {10, 10, 3}});
  const ValueGrid values = ComputeCellStep(*dem, 1);
  EXPECT_EQ(values.At(1, 1), 11.0f);
  EXPECT_TRUE(std::isnan(values.At(0, 0)));
}

}  // namespace
}  // namespace orvane
EOF

# Build orvane-cli (and compile the test) in the scratch tree.
export CCACHE_BASEDIR="$tree"
cmake -S "$tree" -B "$tree/build" -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_GUI=OFF \
  -DORVANE_BUILD_PYTHON=OFF > "$scratch/configure.log" 2>&1 || { cat "$scratch/configure.log"; fail "configure failed"; }
cmake --build "$tree/build" -j2 --target orvane-cli > "$scratch/build.log" 2>&1 ||
  { tail -40 "$scratch/build.log"; fail "orvane-cli does not build with the new treatment"; }
make -C "$tree/build/tests" -s core/surface/cell_step_test.cpp.o > "$scratch/test_build.log" 2>&1 ||
  { tail -40 "$scratch/test_build.log"; fail "the oracle test does not compile"; }

cli="$tree/build/src/cli/orvane-cli"
cd "$tree"
"$cli" --help | grep -q "cell-step" || fail "--help does not list cell-step"
"$cli" cell-step --help | grep -q "step drawn white" || fail "cell-step --help lacks its parameter"
"$cli" cell-step --help | grep -q "orvane-cli cell-step --dem data/jacksboro_m2.raw" ||
  fail "cell-step --help lacks its example"
"$cli" cell-step --dem data/jacksboro_m2.raw --pixel 90 --out "$scratch/step.bmp" --quiet ||
  fail "the example does not run"
if "$cli" cell-step --dem data/jacksboro_m2.raw --pixel 90 --top 0 --out "$scratch/x.bmp" \
     2> "$scratch/refused.txt"; then
  fail "--top 0 was accepted"
fi
grep -q "must be above 0" "$scratch/refused.txt" || fail "--top 0 refused without the declared message"

# --values and --stats on a 3 x 3 grid whose middle cell stands 4 above and 11 above its lowest
# neighbour: one value, 11.
python3 - "$scratch" <<'EOF'
import struct, sys
scratch = sys.argv[1]
rows = [[10, 10, 10], [10, 14, 10], [10, 10, 3]]
with open(scratch + "/step_m2.raw", "wb") as f:
    for row in rows:
        f.write(struct.pack("<3H", *row))
EOF
"$cli" cell-step --dem "$scratch/step_m2.raw" --lines 3 --columns 3 --pixel 1 --values "$scratch/step.tif" \
  --stats > "$scratch/stats.txt" 2>&1 || { cat "$scratch/stats.txt"; fail "--values --stats failed"; }
grep -q "^values.count=1$" "$scratch/stats.txt" || { cat "$scratch/stats.txt"; fail "wrong value count"; }
grep -q "^values.max=11$" "$scratch/stats.txt" || { cat "$scratch/stats.txt"; fail "wrong step"; }
test -s "$scratch/step.tif" || fail "no value GeoTIFF written"
echo "check_add_treatment: a treatment added in the documented files works from orvane-cli"
