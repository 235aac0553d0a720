// Connects every command module to the main frame (see command_modules.cpp).
#pragma once

namespace orvane {

class TWorkbench;

void InstallCommandModules(TWorkbench& main);

}  // namespace orvane
