// Finds and opens the GDAL module (liborvane_gdal.so) once per process, on first use.
//
// Where it is looked for, in order:
//   - the file named by the environment variable ORVANE_GDAL_MODULE, and nowhere else when
//     it is set;
//   - beside the program or the shared library holding this code (a build tree);
//   - the installed layout relative to that program: ../lib/<arch>/orvane from its bin/
//     (a relocated installation, a package unpacked elsewhere);
//   - the library directory of the installation the code was configured for.
#pragma once

#include "core/common/result.h"
#include "core/exchange/gdal_module_api.h"

namespace orvane {

// The module's table, or an error saying GDAL rasters need the module and why it could not
// be loaded. The outcome of the first call is kept for the life of the process.
Expected<const OrvaneGdalApi*> GdalModule();

}  // namespace orvane
