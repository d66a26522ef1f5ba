#include "stelvar.h"

#include "bmp_file.h"
#include "bmp.h"
#include "file.h"
#include "paths.h"
#include "platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

int controllo(StelvarRun& run, const BmpHead& head)
{
    if (head[0] == 'B' && head[1] == 'M' && head[28] == 8) return 0;
    std::printf("\nError in BMP format");
    run.console.wait_for_key();
    return 1;
}

namespace {

// One row of a slice. Kept free of the run state so that the byte stores
// cannot alias the loop bounds and the loops vectorise.
void slice_row(const std::uint8_t* in, std::uint8_t* out, std::size_t width, std::uint8_t level, bool grey)
{
    if (grey)
        for (std::size_t x = 0; x < width; ++x) out[x] = in[x] <= level ? in[x] : 255;
    else
        for (std::size_t x = 0; x < width; ++x) out[x] = in[x] <= level ? 0 : 255;
}

}  // namespace

void slice(StelvarRun& run, int first, int count)
{
    const bool grey = run.p == 's';
    const long long t = run.attuale;
    const std::size_t width = static_cast<std::size_t>(run.width);
    const std::size_t stride = static_cast<std::size_t>(bmp_stride(run.width));
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* in = run.Immagine_bn.row(run.height - 1 - (first + i));
        std::uint8_t* out = run.slice_rows.data() + stride * static_cast<std::size_t>(i);
        if (t < 0)
            std::memset(out, 255, width);
        else if (t >= 255 && grey)
            std::memcpy(out, in, width);
        else if (t >= 255)
            std::memset(out, 0, width);
        else
            slice_row(in, out, width, static_cast<std::uint8_t>(t), grey);
    }
}

std::string slice_name(const StelvarRun& run, long long threshold)
{
    return in_folder(run.check_path, run.path, "threshold_" + std::to_string(threshold) + ".bmp");
}

namespace {

// Writes the header and all rows of the slice of `attuale`, band by band.
bool write_slice(StelvarRun& run, std::FILE* file)
{
    const std::size_t stride = static_cast<std::size_t>(bmp_stride(run.width));
    if (std::fwrite(run.slice_head.data(), 1, run.slice_head.size(), file) != run.slice_head.size()) return false;
    const int band = stride == 0 ? run.height : static_cast<int>(run.slice_rows.size() / stride);
    for (int first = 0; first < run.height; first += band) {
        const int count = std::min(band, run.height - first);
        slice(run, first, count);
        const std::size_t size = stride * static_cast<std::size_t>(count);
        if (size > 0 && std::fwrite(run.slice_rows.data(), 1, size, file) != size) return false;
    }
    return true;
}

}  // namespace

SliceWritten bmp(StelvarRun& run)
{
    if (run.slice_head.empty()) {
        try {
            const std::size_t stride = static_cast<std::size_t>(bmp_stride(run.width));
            const std::size_t rows = std::max<std::size_t>(1, (std::size_t(1) << 20) / std::max<std::size_t>(stride, 1));
            run.slice_head = slice_file_head(run.head, run.width, run.height);
            run.slice_rows.assign(stride * std::min<std::size_t>(rows, static_cast<std::size_t>(run.height)), 255);
        } catch (const std::bad_alloc&) {
            std::printf("\nerror in memory allocation\n");
            run.console.wait_for_key();
            return SliceWritten::no_memory;
        }
    }
    const std::string name = slice_name(run, run.attuale);
    File file = open_file(name, "wb");
    bool ok = static_cast<bool>(file);
    if (ok) {
        ok = write_slice(run, file.get());
        ok = close_written_file(file) && ok;
        if (!ok) remove_file(name);
    }
    if (!ok) {
        report_unwritable(name);
        std::printf("\nError in creating bmp file");
        run.console.wait_for_key();
        return SliceWritten::not_created;
    }
    return SliceWritten::yes;
}
