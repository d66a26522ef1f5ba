#include "shapefile_writer.h"

#include "byte_order.h"
#include "file.h"

#include <cstdio>

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

void append_record(std::vector<unsigned char>& out, int number, const RecordArrays& records,
                   const RecordArrays::Layout& record, int shape_type, RingOrientation orientation,
                   const PixelToMap& to_map)
{
    const RecordRings rings{records.point.data() + record.point_index,
                            records.part.data() + record.part_index + 2, record.parts, record.points};
    const double* xy = rings.xy;
    double min_x = to_map.width - 1, min_y = to_map.height - 1, max_x = 0, max_y = 0;
    for (std::int32_t v = 0; v < record.points; ++v) {
        const double px = xy[2 * v], py = xy[2 * v + 1];
        if (px < min_x) min_x = px;
        if (px > max_x) max_x = px;
        if (py < min_y) min_y = py;
        if (py > max_y) max_y = py;
    }
    byte_order::append_be32(out, static_cast<std::uint32_t>(number));
    byte_order::append_be32(out, static_cast<std::uint32_t>(content_words(record)));
    byte_order::append_le32(out, static_cast<std::uint32_t>(shape_type));
    byte_order::append_le_double(out, to_map.x(min_x));
    byte_order::append_le_double(out, to_map.y(min_y));
    byte_order::append_le_double(out, to_map.x(max_x));
    byte_order::append_le_double(out, to_map.y(max_y));
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

std::optional<ShapefileProblem> gen_file_shp(const ShapefilePaths& nome, const RecordArrays& records, int width,
                                             int height, const ShapefileOptions& options)
{
    const std::vector<RecordArrays::Layout> layouts = records.record_layouts();

    BufferedFile shp(nome.shp), shx(nome.shx), dbf(nome.dbf);
    for (auto [file, extension] : {std::pair{&shp, ".shp"}, {&shx, ".shx"}, {&dbf, ".dbf"}})
        if (!file->opened()) return ShapefileProblem{extension, file->finish()};

    const PixelToMap to_map{writer_extent(options.world, width, height), width, height};
    const RingOrientation orientation = options.rings ? *options.rings : ring_orientation_from_environment();
    std::int64_t file_words = header_words;
    for (const auto& record : layouts) file_words += record_header_words + content_words(record);

    append_header(shp.buffer(), file_words, options.shape_type, to_map.extent.x_min, to_map.extent.y_min,
                  to_map.extent.x_max, to_map.extent.y_max);
    int number = 0;
    for (const auto& record : layouts) {
        append_record(shp.buffer(), ++number, records, record, options.shape_type, orientation, to_map);
        shp.flush_if_full();
    }
    if (const std::error_code error = shp.finish()) return ShapefileProblem{".shp", error};

    append_header(shx.buffer(), header_words + 4 * static_cast<std::int64_t>(layouts.size()), options.shape_type,
                  0.0, 0.0, width - 1, height - 1);
    std::int64_t offset = header_words;
    for (const auto& record : layouts) {
        byte_order::append_be32(shx.buffer(), static_cast<std::uint32_t>(offset));
        byte_order::append_be32(shx.buffer(), static_cast<std::uint32_t>(content_words(record)));
        offset += record_header_words + content_words(record);
        shx.flush_if_full();
    }
    if (const std::error_code error = shx.finish()) return ShapefileProblem{".shx", error};

    dbf.buffer() = attribute_table_bytes(options.table, layouts.size(), options.values);
    if (const std::error_code error = dbf.finish()) return ShapefileProblem{".dbf", error};
    return std::nullopt;
}
