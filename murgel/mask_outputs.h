// Where the cleaned mask goes, "<base>" being the input name without its
// extension followed by "_out":
// - result type "raw": "<base>.raw" and "<base>.dim", and an ENVI header
//   "<base>.hdr" (bytes, data type 1) so that GDAL opens the RAW as well;
// - result type "bmp": "<base>.bmp";
// - with either, when the input is georeferenced, the standard world file
//   "<base>.wld" and, when its CRS is known, "<base>.prj" (a RAW's header
//   then also holds "map info" and "coordinate system string");
// - with --of GTiff, "<base>.tif" alone: the BMP's palette and indices as a
//   Byte GeoTIFF with its colour table, geotransform and CRS.
#pragma once

#include "murgel_run.h"

#include <optional>
#include <string>
#include <vector>

// The output's files, sidecars aside.
std::vector<std::string> mask_files(const MurgelRun& run, const std::string& base);

// The sidecars of a georeferenced run (none for a GeoTIFF).
std::vector<std::string> mask_sidecars(const MurgelRun& run, const std::string& base);

// The reason a file of the output could not be written.
struct MaskWriteFailure {
    std::string file;
    std::error_code error;
    std::string reason;  // a GDAL writer's text, when `error` is none
};

// Writes every file of the output into its temporary. The writers' own
// messages (the RAW writer's, the BMP writer's memory message) are printed
// here, with their wait for a key; the driver's follow the failure.
std::optional<MaskWriteFailure> write_mask_files(MurgelRun& run, const std::string& base);
