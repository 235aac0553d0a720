// The histogram and diagram windows in the main frame: "Gray Histo" and its button, the
// Diagram submenu and button, the "Slope Orientation" button. The windows are children of the
// frame (DiagramWindow<...>(main)); the treatments fill their counts.
#pragma once

#include <optional>

#include "core/render/histogram_table.h"

namespace orvane {

class TWorkbench;

// The gray-level counts of the current parameter image inside its margin, counted by the
// gray-histogram declaration (none without an image); empty after a cancel or a failed run.
std::optional<TGrayHistogram> ParameterGrayHistogram(TWorkbench& main);

void InstallDiagramCommands(TWorkbench& main);

}  // namespace orvane
