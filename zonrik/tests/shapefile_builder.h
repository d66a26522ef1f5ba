// Polygon shapefiles (".shp" main files) built byte by byte for tests, with
// the means to make them wrong in the ways a reader must notice.
#pragma once

#include "test_support.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

using TestRing = std::vector<std::pair<double, double>>;

struct TestRecord {
    TestRecord(std::vector<TestRing> rings = {}) : rings(std::move(rings)) {}

    std::vector<TestRing> rings;
    // Overrides of what is derived from the rings.
    std::optional<std::int32_t> number;
    std::optional<std::int32_t> shape_type;
    std::optional<std::array<double, 4>> box;
    std::optional<std::int32_t> numparts;
    std::optional<std::int32_t> numpoints;
    std::optional<std::int32_t> content_words;
};

// The rectangle x0..x1 by y0..y1 as a closed ring (clockwise, y up).
TestRing test_rectangle(double x0, double y0, double x1, double y1);

// A main file of the records, numbered 1, 2, ... unless overridden, with the
// given header box (by default the box of all points).
testsupport::Bytes polygon_shapefile(const std::vector<TestRecord>& records,
                                     std::optional<std::array<double, 4>> header_box = std::nullopt);

// The vertices of every record of a main file, as rings.
std::vector<std::vector<TestRing>> shapefile_rings(const testsupport::Bytes& shp);

// A float RAW background with its ".dim" file: values(x, y) with y = 0 the
// top row, written top row first.
void write_float_background(const std::string& raw_path, const std::string& dim_path, int width, int height,
                            const std::vector<float>& top_down_values);
