#include "line_mask_file.h"

#include "file.h"

RasterRead read_raster_bytes(const std::string& name, Grid<std::uint8_t>& image)
{
    File file = open_file(name, "rb");
    if (!file) return RasterRead::cannot_open;
    const std::size_t width = static_cast<std::size_t>(image.width());
    for (int y = 0; y < image.height(); ++y)
        if (std::fread(image.row(y), 1, width, file.get()) != width) return RasterRead::short_file;
    return RasterRead::complete;
}

bool write_raster_bytes(const std::string& name, const Grid<std::uint8_t>& image)
{
    File file = open_file(name, "wb");
    if (!file) return false;
    const std::size_t width = static_cast<std::size_t>(image.width());
    for (int y = 0; y < image.height(); ++y)
        if (std::fwrite(image.row(y), 1, width, file.get()) != width) return false;
    return close_written_file(file);
}
