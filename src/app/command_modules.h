// Connects every command module to the main frame (see command_modules.cpp).
#pragma once

namespace orvane {

class TMainForm;

void InstallCommandModules(TMainForm& main);

}  // namespace orvane
