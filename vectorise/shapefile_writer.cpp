#include "shapefile_writer.h"

#include "byte_order.h"
#include "file.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr int header_words = 50;
constexpr int record_header_words = 4;

std::int64_t content_words(const RecordArrays::Layout& record)
{
    return 22 + 2 * static_cast<std::int64_t>(record.parts) + 8 * static_cast<std::int64_t>(record.points);
}

// The output files' bytes pass through a buffer written out in large blocks.
class BufferedFile {
public:
    explicit BufferedFile(const std::string& path) : file_(path) { buffer_.reserve(block); }

    bool opened() const { return file_.good(); }
    std::vector<unsigned char>& buffer() { return buffer_; }

    void flush_if_full()
    {
        if (buffer_.size() >= block) flush();
    }

    std::error_code finish()
    {
        flush();
        return file_.finish();
    }

private:
    static constexpr std::size_t block = 1 << 20;

    void flush()
    {
        file_.write(buffer_.data(), buffer_.size());
        buffer_.clear();
    }

    WrittenFile file_;
    std::vector<unsigned char> buffer_;
};

void append_header(std::vector<unsigned char>& out, std::int64_t file_words, int shape_type, double x_min,
                   double y_min, double x_max, double y_max)
{
    byte_order::append_be32(out, 9994);
    for (int i = 0; i < 5; ++i) byte_order::append_be32(out, 0);
    byte_order::append_be32(out, static_cast<std::uint32_t>(file_words));
    byte_order::append_le32(out, 1000);
    byte_order::append_le32(out, static_cast<std::uint32_t>(shape_type));
    byte_order::append_le_double(out, x_min);
    byte_order::append_le_double(out, y_min);
    byte_order::append_le_double(out, x_max);
    byte_order::append_le_double(out, y_max);
    for (int i = 0; i < 4; ++i) byte_order::append_le_double(out, 0.0);
}

// The vertices of one part, in the order they stand in `point` or, for a
// ring to be turned round, in the reverse order (a closed ring keeps its
// first vertex).
void append_part_vertices(std::vector<unsigned char>& out, const double* xy, std::size_t first, std::size_t end,
                          bool reversed, const PixelToMap& to_map)
{
    for (std::size_t i = first; i < end; ++i) {
        const std::size_t v = reversed ? first + end - 1 - i : i;
        byte_order::append_le_double(out, to_map.x(xy[2 * v]));
        byte_order::append_le_double(out, to_map.y(xy[2 * v + 1]));
    }
}

// A box in pixel units.
struct PixelBox {
    double min_x, min_y, max_x, max_y;
};

// The record's box: its vertices' own extent, or, as the format's box is
// written by default, the extent seeded with the minimum at (width-1,
// height-1) and the maximum at (0, 0).
PixelBox record_box(const double* xy, std::int32_t points, const PixelToMap& to_map, bool seeded)
{
    PixelBox box{to_map.width - 1.0, to_map.height - 1.0, 0.0, 0.0};
    if (!seeded && points > 0) box = {xy[0], xy[1], xy[0], xy[1]};
    for (std::int32_t v = 0; v < points; ++v) {
        const double px = xy[2 * v], py = xy[2 * v + 1];
        if (px < box.min_x) box.min_x = px;
        if (px > box.max_x) box.max_x = px;
        if (py < box.min_y) box.min_y = py;
        if (py > box.max_y) box.max_y = py;
    }
    return box;
}

void append_record(std::vector<unsigned char>& out, int number, const RecordArrays& records,
                   const RecordArrays::Layout& record, int shape_type, RingOrientation orientation,
                   const PixelToMap& to_map, bool true_box)
{
    const RecordRings rings{records.point.data() + record.point_index,
                            records.part.data() + record.part_index + 2, record.parts, record.points};
    const double* xy = rings.xy;
    const PixelBox box = record_box(xy, record.points, to_map, !true_box);
    byte_order::append_be32(out, static_cast<std::uint32_t>(number));
    byte_order::append_be32(out, static_cast<std::uint32_t>(content_words(record)));
    byte_order::append_le32(out, static_cast<std::uint32_t>(shape_type));
    byte_order::append_le_double(out, to_map.x(box.min_x));
    byte_order::append_le_double(out, to_map.y(box.min_y));
    byte_order::append_le_double(out, to_map.x(box.max_x));
    byte_order::append_le_double(out, to_map.y(box.max_y));
    byte_order::append_le32(out, static_cast<std::uint32_t>(record.parts));
    byte_order::append_le32(out, static_cast<std::uint32_t>(record.points));
    for (std::int32_t p = 0; p < record.parts; ++p)
        byte_order::append_le32(out, static_cast<std::uint32_t>(rings.starts[p]));

    const std::vector<bool> reverse =
        rings_to_reverse(rings, shape_type == shape_type_polygon ? orientation : RingOrientation::traced);
    for (std::int32_t p = 0; p < record.parts; ++p)
        append_part_vertices(out, xy, rings.ring_begin(p), rings.ring_end(p), reverse[static_cast<std::size_t>(p)],
                             to_map);
}

}  // namespace

ShapefilePaths shapefile_paths(const std::string& nome)
{
    return {nome + ".shp", nome + ".shx", nome + ".dbf"};
}

std::optional<OutputProblem> add_shapefile_outputs(OutputFiles& outputs, const std::string& nome)
{
    const ShapefilePaths paths = shapefile_paths(nome);
    for (const std::string* path : {&paths.shp, &paths.shx, &paths.dbf})
        if (auto problem = outputs.add_output(*path)) return problem;
    return std::nullopt;
}

std::optional<ShapefileProblem> shapefile_temporaries(OutputFiles& outputs, const std::string& nome,
                                                      ShapefilePaths& temporaries)
{
    struct File {
        const char* extension;
        std::string* temporary;
    };
    for (const File& file : {File{".shp", &temporaries.shp}, {".shx", &temporaries.shx}, {".dbf", &temporaries.dbf}}) {
        OutputFiles::Temporary made = outputs.temporary(nome + file.extension);
        if (made.problem) {
            const std::error_code error = made.problem->error ? made.problem->error
                                                              : std::make_error_code(std::errc::file_exists);
            return ShapefileProblem{file.extension, error};
        }
        *file.temporary = made.path;
    }
    return std::nullopt;
}

namespace {

// Appends the bytes of record `index` (numbered index + 1) to the main file.
using AppendRecord =
    std::function<void(std::size_t index, std::vector<unsigned char>& out, RingOrientation, const PixelToMap&)>;

std::int64_t content_words(const RecordSize& size)
{
    return content_words(RecordArrays::Layout{0, 0, size.parts, size.points});
}

// The three files of records of the sizes given, the records' bytes from
// `append`. With the GIS layout (options.true_extent) `records_box` is the
// extent of all records' vertices in pixel units (none: no vertices).
std::optional<ShapefileProblem> write_shapefile(const ShapefilePaths& nome, const std::vector<RecordSize>& sizes,
                                                const AppendRecord& append, int width, int height,
                                                const ShapefileOptions& options,
                                                const std::optional<PixelBox>& records_box)
{
    BufferedFile shp(nome.shp), shx(nome.shx), dbf(nome.dbf);
    for (auto [file, extension] : {std::pair{&shp, ".shp"}, {&shx, ".shx"}, {&dbf, ".dbf"}})
        if (!file->opened()) return ShapefileProblem{extension, file->finish()};

    const PixelToMap to_map{writer_extent(options.world, width, height), width, height};
    const RingOrientation orientation = options.rings ? *options.rings : ring_orientation_from_environment();
    std::int64_t file_words = header_words;
    for (const auto& size : sizes) file_words += record_header_words + content_words(size);

    // The main header's box: the image's whole extent, or the records' own
    // (0 when there are none); the index file's: the image's box in pixels,
    // or the same as the main header's.
    MapExtent main_box = to_map.extent;
    MapExtent index_box{0.0, 0.0, width - 1.0, height - 1.0};
    if (options.true_extent) {
        main_box = !records_box ? MapExtent{}
                                : MapExtent{to_map.x(records_box->min_x), to_map.y(records_box->min_y),
                                            to_map.x(records_box->max_x), to_map.y(records_box->max_y)};
        index_box = main_box;
    }

    append_header(shp.buffer(), file_words, options.shape_type, main_box.x_min, main_box.y_min, main_box.x_max,
                  main_box.y_max);
    for (std::size_t r = 0; r < sizes.size(); ++r) {
        append(r, shp.buffer(), orientation, to_map);
        shp.flush_if_full();
    }
    if (const std::error_code error = shp.finish()) return ShapefileProblem{".shp", error};

    append_header(shx.buffer(), header_words + 4 * static_cast<std::int64_t>(sizes.size()), options.shape_type,
                  index_box.x_min, index_box.y_min, index_box.x_max, index_box.y_max);
    std::int64_t offset = header_words;
    for (const auto& size : sizes) {
        byte_order::append_be32(shx.buffer(), static_cast<std::uint32_t>(offset));
        byte_order::append_be32(shx.buffer(), static_cast<std::uint32_t>(content_words(size)));
        offset += record_header_words + content_words(size);
        shx.flush_if_full();
    }
    if (const std::error_code error = shx.finish()) return ShapefileProblem{".shx", error};

    dbf.buffer() = attribute_table_bytes(options.table, sizes.size(), options.values, options.columns);
    if (const std::error_code error = dbf.finish()) return ShapefileProblem{".dbf", error};
    return std::nullopt;
}

}  // namespace

std::optional<ShapefileProblem> gen_file_shp_by_record(const ShapefilePaths& nome,
                                                       const std::vector<RecordSize>& sizes,
                                                       const std::function<void(std::size_t, RecordArrays&)>& fetch,
                                                       int width, int height, const ShapefileOptions& options)
{
    if (options.true_extent) throw std::invalid_argument("the GIS layout needs every record before the first");
    RecordArrays record;
    auto append = [&](std::size_t r, std::vector<unsigned char>& out, RingOrientation orientation,
                      const PixelToMap& to_map) {
        record.clear();
        fetch(r, record);
        const std::vector<RecordArrays::Layout> layouts = record.record_layouts();
        if (layouts.size() != 1 || layouts[0].parts != sizes[r].parts || layouts[0].points != sizes[r].points)
            throw std::invalid_argument("a fetched record does not have the size told");
        append_record(out, static_cast<int>(r) + 1, record, layouts[0], options.shape_type, orientation, to_map,
                      false);
    };
    return write_shapefile(nome, sizes, append, width, height, options, std::nullopt);
}

std::optional<ShapefileProblem> gen_file_shp(const ShapefilePaths& nome, const RecordArrays& records, int width,
                                             int height, const ShapefileOptions& options)
{
    const std::vector<RecordArrays::Layout> layouts = records.record_layouts();
    std::vector<RecordSize> sizes;
    sizes.reserve(layouts.size());
    for (const auto& layout : layouts) sizes.push_back({layout.parts, layout.points});
    std::optional<PixelBox> all;
    if (options.true_extent) {
        const PixelToMap to_map{writer_extent(options.world, width, height), width, height};
        for (const auto& record : layouts) {
            if (record.points == 0) continue;
            const PixelBox box = record_box(records.point.data() + record.point_index, record.points, to_map, false);
            all = !all ? box
                       : PixelBox{std::min(all->min_x, box.min_x), std::min(all->min_y, box.min_y),
                                  std::max(all->max_x, box.max_x), std::max(all->max_y, box.max_y)};
        }
    }
    auto append = [&](std::size_t r, std::vector<unsigned char>& out, RingOrientation orientation,
                      const PixelToMap& to_map) {
        append_record(out, static_cast<int>(r) + 1, records, layouts[r], options.shape_type, orientation, to_map,
                      options.true_extent);
    };
    return write_shapefile(nome, sizes, append, width, height, options, all);
}

std::optional<ShapefileProblem> write_shapefile_output(OutputFiles& outputs, const std::string& nome,
                                                       const RecordArrays& records, int width, int height,
                                                       const ShapefileOptions& options)
{
    ShapefilePaths files;
    if (auto problem = shapefile_temporaries(outputs, nome, files)) return problem;
    return gen_file_shp(files, records, width, height, options);
}
