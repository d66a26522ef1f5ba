// The programs' door to the suite's GDAL code, which lives in a shared
// module beside the programs (`<program folder>/../lib/suite/suite-gdal.so`)
// so that a run that never needs GDAL does not load it. The routines of
// crs.h, geo_input.h, geotiff_writer.h, envi_georeferencing.h and
// geopackage_writer.h that the programs call are defined here as forwarders:
// the first call loads the module, checks its table and keeps it for the
// rest of the run. A module that cannot be loaded makes every such call a
// problem (GeoProblem::Kind::module_unavailable) naming the module's file
// and the loader's reason.
#pragma once

#include "gdal_module.h"

// The module's table, loaded on the first call; none (and `problem` set)
// when the module cannot be loaded or is not of this build.
const GdalModuleTable* gdal_module(GeoProblem& problem);
