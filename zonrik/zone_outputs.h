// Where Zonrik's results go, in each mode.
//
// - The zones: "<output>.shp", ".shx" and ".dbf" in the current folder, field
//   VALUE; in the GIS layout also RECORD (the number of the input record the
//   zone was measured for, 1 for the first, as the ".shp" numbers them), ESRI
//   ring order and the records' own extent in the headers. A ".prj" beside
//   them when the CRS is known. With --of GPKG one GeoPackage "<output>.gpkg"
//   instead, fields VALUE and RECORD.
// - The value raster: "<output>.raw" and its ENVI ".hdr" in the working
//   folder; when the background is placed the header gains "map info" (and
//   "coordinate system string") and a standard ".wld" lies beside it, and a
//   ".prj" when the CRS is known. With --of GTiff "<output>.tif" instead:
//   Float32, NaN (its nodata value) outside every zone.
// - c_cover: the picture "<output>.bmp" in the current folder, with ".wld"
//   and ".prj" as the raster; with --of GTiff "<output>_cover.tif" (palette).
// - The reports of c_cover and sp_temp in the working folder.
// A sidecar two outputs share (without a working folder "out.prj" serves
// "out.shp" and "out.raw") is written once.
#pragma once

#include "zonal_run.h"
#include "zonrik_run.h"

#include <optional>
#include <vector>

// Names every output of the run (run.report_name included) after the
// inputs; none to go on, else the exit status after the message.
std::optional<int> declare_outputs(Zonrik& run);

// What the value raster holds outside every zone: 0, or NaN in a GeoTIFF.
float outside_zones(const Zonrik& run);

// Writes the zones, the value raster, the cover picture and the sidecars
// into their temporaries; `record_numbers` holds the input record of each
// zone. None when all are written, else the exit status after the message.
std::optional<int> write_outputs(Zonrik& run, const ZonalRun& zonal, const std::vector<long long>& record_numbers);
