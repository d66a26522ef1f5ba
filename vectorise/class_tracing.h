// All blobs of each class of a class map, traced blob by blob in windows of
// their own (work_window.h) rather than on a whole work image per class.
//
// The records come out exactly as the whole-image procedure gives them: per
// class, caricamento / MOD_raddoppiatore / MOD_completamento / sentinels on
// the whole image, then evidenzia, archivia, MOD_evidenzia_contorno,
// filtraggio_condivisi, gestore_contorno and cancellatore per blob. The
// blobs of a class are taken in the order that search meets them, each with
// the islands inside its holes; the cells a blob's routines see are the
// same, because its window holds every pixel of the class that is still
// untraced there (regions traced earlier are left out, as the whole-image
// procedure has cleared them).
//
// Cost: one labelling pass over the image, then per blob its own window.
//
// Plain twin: vectorise/tests/reference_vectoriser.cpp:reference_trace_class.
#pragma once

#include "class_regions.h"
#include "record_arrays.h"
#include "work_window.h"

#include <cstdint>
#include <functional>
#include <vector>

class ClassTracer {
public:
    // classes: class index per pixel, row 0 the bottom row of the image
    // (mask orientation); `no_class` marks pixels of no class; classes are
    // 0 .. class_count-1. Keeps a reference to `classes`.
    ClassTracer(const Grid<std::uint8_t>& classes, std::uint8_t no_class, int class_count);

    // Appends one polygon record per blob of `class_index` to `records`, in
    // whole-image pixel units; calls `on_blob` before tracing each blob.
    void trace_class(int class_index, RecordArrays& records, const std::function<void()>& on_blob = {},
                     const LongRingNotice& on_long_ring = {});

private:
    void fill_window(int class_index);
    void mark_taken_regions(int class_index);

    const Grid<std::uint8_t>& classes_;
    ClassRegions regions_;
    std::vector<std::vector<std::int32_t>> by_class_;
    std::vector<std::uint8_t> traced_;  // per region
    WorkWindow window_;
};
