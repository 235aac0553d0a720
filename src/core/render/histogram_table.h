// Histogram and diagram tables: the counts behind the histogram and diagram windows and the
// tab-separated text the windows' "Save" button writes (one row per count, CR LF line ends,
// no header), so the desktop program and the command line write identical files.
//
// Numbers are formatted without the C locale: decimal points stay points whatever the user's
// language settings.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/common/result.h"
#include "core/terrain/raster_image.h"

namespace orvane {

using TGrayHistogram = std::array<std::int32_t, 256>;

// Counts of the gray values (stored bytes) of an 8-bit raster over lines and columns
// margin .. size - margin - 1; a kind 2 raster counts (blue + green + red) / 3. Empty when the
// margin leaves nothing.
TGrayHistogram GrayLevelHistogram(const TRasterImage& image, int margin);

// Largest count in counts[first .. end), 0 for an empty or all-zero range.
std::int32_t PeakCount(std::span<const std::int32_t> counts, int first, int end);

// Number of diagram classes drawn and saved for a treatment's bound (the class of its maximum):
// classes 0 .. bound, so the maximum's class counts too, as far as the `held` counts reach;
// none for a negative bound.
int DiagramClassCount(int bound, std::size_t held);

// "%d\t%d" rows (g, count g) for g = 0 .. 255.
std::string GrayHistogramTable(const TGrayHistogram& counts);
// "%d\t%d" rows (i, count i) for i = 0 .. 359.
std::string DirectionTable(std::span<const std::int32_t> counts);
// "%lf\t%d" rows (step * i with six decimals, count i) for i = first .. end - 1; the diagram
// tables of the densities (step 0.1) and of the fractal dimensions (step 0.01).
std::string ClassValueTable(std::span<const std::int32_t> counts, int first, int end, double step);

// The name a save dialog's choice gives: the extension of filter 1 (".xls") or filter 2 (".ts")
// appended to the name as typed.
std::string TableFileName(const std::string& typed, int filterIndex);

// Writes the text as it stands (the rows already end in CR LF), atomically: a failure (code 4
// when the file cannot be created, 6 when writing fails) names the file and the reason and
// leaves any previous file as it was.
Status WriteTextFile(const std::string& path, const std::string& text);

}  // namespace orvane
