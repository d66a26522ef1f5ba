// The suite's use of the GDAL library: drivers registered once, GDAL's
// error messages kept from the console and handed back as text, datasets
// closed when their owner goes.
#pragma once

#include "geo_problem.h"

#include <memory>
#include <string>

class GDALDataset;

// Registers GDAL's drivers (once per process; later calls do nothing).
void register_gdal_drivers();

// While one lives, GDAL's messages on this thread are not printed: the
// first failure's text is kept instead, warnings are dropped. Scopes nest
// (the innermost one keeps the messages).
class GdalErrorCapture {
public:
    GdalErrorCapture();
    ~GdalErrorCapture();
    GdalErrorCapture(const GdalErrorCapture&) = delete;
    GdalErrorCapture& operator=(const GdalErrorCapture&) = delete;

    bool failed() const { return failed_; }
    const std::string& text() const { return text_; }

    // A problem of `kind` about `path`, with GDAL's text.
    GeoProblem problem(GeoProblem::Kind kind, const std::string& path) const;

    // Called by GDAL's error handler for each failure.
    void record(const char* message);

private:
    bool failed_ = false;
    std::string text_;
};

struct GdalDatasetCloser {
    void operator()(GDALDataset* dataset) const;
};

// An open dataset, closed (and, when written, flushed) at destruction.
using GdalDataset = std::unique_ptr<GDALDataset, GdalDatasetCloser>;

// Removes a file GDAL may have left half written; nothing when absent.
void remove_gdal_output(const std::string& path);
