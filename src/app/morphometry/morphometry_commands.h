// The drainage morphometry commands of the main frame: fractal dimension of the network
// (global and drainage segments) and its information window, 3D dissection density, ratio of
// drainage depth to surface, each run through its declaration.
#pragma once

namespace orvane {

class TWorkbench;

void InstallMorphometryCommands(TWorkbench& main);

}  // namespace orvane
