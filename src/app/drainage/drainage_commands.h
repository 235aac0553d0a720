// The drainage commands of the main frame: extraction of the network from the DEM, the four
// dissection densities and their information window, the headwaters density, and the
// incrusting of the network into the parameter image, each run through its declaration.
#pragma once

namespace orvane {

class TWorkbench;

void InstallDrainageCommands(TWorkbench& main);

}  // namespace orvane
