// Segments as shapefile records: one two-vertex polyline per segment or, when
// the segments come in closed groups of four, one quadrilateral per group.
#pragma once

#include "record_arrays.h"
#include "segment_loader.h"

// True when the first `seg` segments of `Matrice` (a multiple of four) form
// consecutive groups s0, s1, s2, s3 in which each segment ends exactly where
// the next one starts and s3 ends where s0 starts. Stops at the first group
// that is not closed.
bool closed_groups_of_four(const SegmentTable& Matrice, int seg);

// The shape type `tip` for the first `seg` segments: polygons (5) when they
// come in closed groups of four, else polylines (3).
int shape_type_of_segments(const SegmentTable& Matrice, int seg);

// The records for shape type `tip`, in file order:
//   3: per segment, [1, 2, 0, -3000] and the vertices (x1, y1), (x2, y2);
//   5: per group of four, [1, 5, 0, -3000] and the vertices start of s0,
//      end of s0, end of s1, end of s2, end of s3 (back at the start).
RecordArrays segment_records(const SegmentTable& Matrice, int seg, int tip);
