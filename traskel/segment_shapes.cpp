#include "segment_shapes.h"

#include "shapefile_writer.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace {

using Vertex = std::pair<double, double>;

Vertex start_of(const float* s) { return {s[0], s[1]}; }
Vertex end_of(const float* s) { return {s[2], s[3]}; }

// Compares the floats as read, each coordinate exactly.
bool joined(const float* from, const float* to) { return from[2] == to[0] && from[3] == to[1]; }

}  // namespace

bool closed_groups_of_four(const SegmentTable& Matrice, int seg)
{
    for (int g = 0; g + 3 < seg; g += 4) {
        const float* s0 = Matrice.record(g);
        const float* s1 = Matrice.record(g + 1);
        const float* s2 = Matrice.record(g + 2);
        const float* s3 = Matrice.record(g + 3);
        if (!joined(s0, s1) || !joined(s1, s2) || !joined(s2, s3) || !joined(s3, s0)) return false;
    }
    return true;
}

int shape_type_of_segments(const SegmentTable& Matrice, int seg)
{
    if (seg % 4 != 0) return shape_type_polyline;
    return closed_groups_of_four(Matrice, seg) ? shape_type_polygon : shape_type_polyline;
}

RecordArrays segment_records(const SegmentTable& Matrice, int seg, int tip)
{
    const std::size_t segments = static_cast<std::size_t>(seg);
    RecordArrays records;
    // One record of one part, its vertices overwritten for every record.
    std::vector<std::vector<Vertex>> shape(1);
    std::vector<Vertex>& vertices = shape[0];
    if (tip == shape_type_polygon) {
        records.part.reserve(segments);
        records.point.reserve(segments / 4 * 10);
        vertices.resize(5);
        for (int g = 0; g + 3 < seg; g += 4) {
            vertices[0] = start_of(Matrice.record(g));
            for (int i = 0; i < 4; ++i) vertices[1 + i] = end_of(Matrice.record(g + i));
            records.append_record(shape);
        }
    } else {
        records.part.reserve(4 * segments);
        records.point.reserve(4 * segments);
        vertices.resize(2);
        for (int s = 0; s < seg; ++s) {
            vertices[0] = start_of(Matrice.record(s));
            vertices[1] = end_of(Matrice.record(s));
            records.append_record(shape);
        }
    }
    return records;
}
