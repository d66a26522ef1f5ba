#include "class_tracing.h"

#include "blob_search.h"

ClassTracer::ClassTracer(const Grid<std::uint8_t>& classes, std::uint8_t no_class, int class_count)
    : classes_(classes),
      regions_(find_class_regions(classes, no_class)),
      by_class_(regions_by_class(regions_, class_count)),
      traced_(regions_.regions.size(), 0)
{
}

void ClassTracer::fill_window(int class_index)
{
    for (int Y = window_.first_y(); Y <= window_.last_y(); ++Y) {
        const std::uint8_t* row = classes_.row(Y - 1);
        const std::int32_t* region = regions_.region_of.row(Y - 1);
        for (int X = window_.first_x(); X <= window_.last_x(); ++X)
            if (row[X - 1] == class_index && !traced_[region[X - 1]]) window_.set_pixel(X, Y);
    }
}

void ClassTracer::mark_taken_regions(int class_index)
{
    for (int Y = window_.first_y(); Y <= window_.last_y(); ++Y) {
        const std::uint8_t* row = classes_.row(Y - 1);
        const std::int32_t* region = regions_.region_of.row(Y - 1);
        for (int X = window_.first_x(); X <= window_.last_x(); ++X)
            if (row[X - 1] == class_index && pixel_taken(window_, X, Y)) traced_[region[X - 1]] = 1;
    }
}

void ClassTracer::trace_class(int class_index, RecordArrays& records, const std::function<void()>& on_blob,
                              const LongRingNotice& on_long_ring)
{
    if (class_index < 0 || class_index >= static_cast<int>(by_class_.size())) return;
    for (const std::int32_t r : by_class_[class_index]) {
        if (traced_[r]) continue;
        const ClassRegion& blob = regions_.regions[r];
        open_work_window(window_, blob.x_min, blob.y_min, blob.x_max, blob.y_max, classes_.width(),
                         classes_.height());
        fill_window(class_index);
        prepare_work_window(window_);
        // Every pixel of the class before this region's first pixel in scan
        // order has been traced, so the search meets this region first.
        evidenzia(window_.box_blob, window_.Immagine4);
        if (on_blob) on_blob();
        trace_found_blob(window_, records, on_long_ring);
        mark_taken_regions(class_index);
    }
}
