// The histogram and diagram windows in the main frame: "Gray Histo" and its button, the
// Diagram submenu and button, the "Slope Orientation" button. The windows are children of the
// frame (DiagramWindow<...>(main)); the treatments fill their counts.
#pragma once

namespace orvane {

class TWorkbench;

void InstallDiagramCommands(TWorkbench& main);

}  // namespace orvane
