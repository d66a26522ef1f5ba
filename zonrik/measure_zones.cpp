// The second part of a run: the shapefile's header and bounding box, the
// record loop, and the outputs.
#include "zonrik_run.h"

#include "bmp.h"
#include "exit_status.h"
#include "function_choice.h"
#include "pixel_record.h"
#include "program_main.h"
#include "raw.h"
#include "shapefile_writer.h"
#include "zonal_run.h"
#include "zone_reports.h"

#include <cstdio>

namespace {

std::optional<int> check_header(Zonrik& run)
{
    switch (run.shapefile->read_header(run.shp_box)) {
    case ShapeHeader::ok: return std::nullopt;
    case ShapeHeader::not_a_shapefile: std::printf("\nError: input file is not a  Shape file\n"); break;
    case ShapeHeader::wrong_version: std::printf("\nError in Shape file version\n"); break;
    case ShapeHeader::not_polygon: std::printf("\nError in Shape type - must be 'Polygon'"); break;
    case ShapeHeader::incomplete: std::printf("\nError: the Shape file ends inside its 100-byte header\n"); break;
    }
    run.console.wait_for_key();
    return closing(run, exit_status::error);
}

// The background's world file and extent as read.
void print_raster_extent(const WorldFile& rww, const MapExtent& e)
{
    static const char* const labels[6] = {
        "Cell size in the 'X' direction",       "Insertion point in the 'X' direction",
        "Insertion point in the 'Y' direction", "Cell size in the 'Y' direction",
        "Easting value of insertion point 'X'", "Northing value of insertion point 'Y'",
    };
    if (!rww.complete) {
        std::printf("\n\nRAW World files (RWW) not present");
    } else {
        std::printf("\n\nBMP World files (rww) present");
        for (int i = 0; i < 6; ++i) std::printf("\n\n\t\t\t%f\t%s", rww.values[i], labels[i]);
    }
    std::printf("\n\nXmin= %f\nYmin= %f", e.x_min, e.y_min);
    std::printf("\n\nXmax= %f\nYmax= %f", e.x_max, e.y_max);
}

void print_bounding_boxes(Zonrik& run)
{
    std::printf("\n\n\n   -------  SHAPE FILE BOUNDING BOX  -------");
    std::printf("\n\nXmin= %f\nYmin= %f", run.shp_box[0], run.shp_box[1]);
    std::printf("\n\nXmax= %f\nYmax= %f", run.shp_box[2], run.shp_box[3]);
    std::printf("\n\n\n   -------   RAW FILE BOUNDING BOX   -------");
    run.bmp_box = raster_extent(run.rww, run.width, run.height);
    print_raster_extent(run.rww, run.bmp_box);
    if (run.shp_box[0] < run.bmp_box.x_min || run.shp_box[1] < run.bmp_box.y_min ||
        run.shp_box[2] > run.bmp_box.x_max || run.shp_box[3] > run.bmp_box.y_max)
        std::printf("\n\nWARNING: Shape Bounding Box should be internal to RAW background Bounding Box\n");
}

// Why a temporary could not be made.
std::error_code reason(const OutputProblem& problem)
{
    return problem.error ? problem.error : std::make_error_code(std::errc::file_exists);
}

// A report that could not be made or written: its message, then the file
// and the reason.
int report_not_written(Zonrik& run, const std::error_code& error)
{
    const bool cover = run.f_type == function_code::cover;
    std::fputs(cover ? "\nError: in generating 'cover' ascii file\n" : "\nError: in generating 'temp' ascii file\n",
               stdout);
    report_write_failure(run.report_name, error);
    run.console.wait_for_key();
    return exit_status::failure;
}

// An albedo threshold from the command line, or asked for.
float threshold(Zonrik& run, const std::optional<float>& given, const char* prompt)
{
    if (given) return *given;
    const float value = run.console.ask_float(prompt);
    run.console.flush_input();
    return value;
}

// Before the first zone of the cover or temperature function: the report
// file, and for the cover the two thresholds.
std::optional<int> open_report(Zonrik& run, ZonalRun& zonal)
{
    const bool cover = run.f_type == function_code::cover;
    const OutputFiles::Temporary temporary = run.outputs.temporary(run.report_name);
    if (temporary.problem) return report_not_written(run, reason(*temporary.problem));
    run.fp_aux.emplace(temporary.path);
    if (!run.fp_aux->good()) return report_not_written(run, run.fp_aux->finish());
    if (cover) {
        zonal.thresholds.f_max = threshold(run, run.cover_max, "\nThreshold albedo max (0 - 100)=");
        zonal.thresholds.f_min = threshold(run, run.cover_min, "\nThreshold albedo min (0 - 100)=");
    }
    run.fp_aux->write(cover ? cover_report_header() : temperature_report_header());
    return std::nullopt;
}

// A record the loop cannot read (block number `block`): its message; the run
// ends at the closing step.
int unreadable_record(Zonrik& run, ShapeRead problem, std::int32_t block)
{
    switch (problem) {
    case ShapeRead::wrong_index:
        std::printf("\n\nError in Block indexes in Shape file");
        return closing(run, exit_status::error);
    case ShapeRead::not_polygon: std::printf("\n\nError in Shape type - all blocks must be 'Polygon'"); break;
    case ShapeRead::counts_too_large:
        std::printf("\n\nError: block %d of the Shape file has more parts or points than it holds\n", block);
        break;
    case ShapeRead::part_out_of_range:
        std::printf("\n\nError: block %d of the Shape file has a part starting outside its points\n", block);
        break;
    default:
        std::printf("\n\nError: the Shape file ends inside block %d\n", block);
        break;
    }
    run.console.wait_for_key();
    return closing(run, exit_status::error);
}

std::optional<int> record_loop(Zonrik& run, ZonalRun& zonal)
{
    std::printf("\n\n\n   -------   START ROUTINE   -----------  \n\n");
    const bool reported = run.f_type == function_code::cover || run.f_type == function_code::temperature;
    ShapeRecord record;
    for (;;) {
        ShapeRead read = run.shapefile->read_record_number(record);
        if (read == ShapeRead::end) return std::nullopt;
        if (read != ShapeRead::record) return unreadable_record(run, read, run.shapefile->indice() + 1);
        std::printf("\nProcessing block %d......   ", record.number);
        read = run.shapefile->read_record_body(record);
        if (read != ShapeRead::record) return unreadable_record(run, read, record.number);

        const PixelRecord placed = to_pixel_units(record, run.bmp_box, run.width, run.height);
        if (outside_background(placed, run.width, run.height, run.partial)) {
            std::printf("     skipped: external Shape Bounding Box\n");
            continue;
        }
        if (reported && zonal.reported_zones() == 0)
            if (const auto end = open_report(run, zonal)) return end;
        const std::string line = zonal.process(run.console, placed);
        if (run.fp_aux) run.fp_aux->write(line);
        std::printf("   ok\n");
    }
}

// The outputs written into their temporaries, to be put in place when all
// of them are complete.
std::optional<int> write_outputs(Zonrik& run, ZonalRun& zonal)
{
    ShapefileOptions options;
    options.shape_type = shape_type_polygon;
    options.world = run.tfw;
    options.table = AttributeTable::value;
    options.values = zonal.valori_db;
    ShapefilePaths files;
    auto shapefile_problem = shapefile_temporaries(run.outputs, run.nome_output_path, files);
    if (!shapefile_problem)
        shapefile_problem = gen_file_shp(files, zonal.records, run.width, run.height, options);
    if (shapefile_problem) {
        std::printf("\nError in creating '%s'\n", shapefile_problem->extension);
        report_write_failure(run.nome_output_path + shapefile_problem->extension, shapefile_problem->error);
        run.console.wait_for_key();
        return exit_status::error;
    }

    const std::string raw_name = run.named(run.raw_output + ".raw");
    const std::string header_name = envi_header_name(raw_name);
    const OutputFiles::Temporary raw = run.outputs.temporary(raw_name);
    const OutputFiles::Temporary header = run.outputs.temporary(header_name);
    std::optional<RasterWriteProblem> problem;
    if (raw.problem)
        problem = RasterWriteProblem{false, reason(*raw.problem)};
    else if (header.problem)
        problem = RasterWriteProblem{true, reason(*header.problem)};
    else
        problem = raw_32bit_create({raw.path, header.path}, zone_raster_base(raw_name), zonal.Matrice_output);
    if (problem) {
        if (problem->error == std::errc::not_enough_memory)
            std::fputs("Error in memory allocation\n", stdout);
        else
            std::fputs(problem->in_header ? "\nError in writing .hdr file\n" : "\nError in writing Raw image\n", stdout);
        report_write_failure(problem->in_header ? header_name : raw_name, problem->error);
        run.console.wait_for_key();
        std::printf("\nError in creating output image");
        run.console.wait_for_key();
        return closing(run, exit_status::error);
    }
    if (run.f_type == function_code::cover) {
        const std::string picture = run.raw_output + ".bmp";
        const OutputFiles::Temporary temporary = run.outputs.temporary(picture);
        const std::error_code error =
            temporary.problem ? reason(*temporary.problem) : bmp_256_create(temporary.path, zonal.Immagine_bmp);
        if (error) {
            if (error == std::errc::not_enough_memory) {
                std::fputs("\nError in opening bmp image\n", stdout);
                run.console.wait_for_key();
            } else {
                report_output_problem({OutputProblem::Kind::cannot_create, picture, {}, error});
            }
            return closing(run, exit_status::error);
        }
    }
    if (run.fp_aux)
        if (const std::error_code error = run.fp_aux->finish()) return report_not_written(run, error);
    return std::nullopt;
}

}  // namespace

std::optional<int> measure_zones(Zonrik& run)
{
    if (const auto end = check_header(run)) return end;
    print_bounding_boxes(run);

    ZonalRun zonal(run.Matrice_background, run.f_type);
    if (const auto end = record_loop(run, zonal)) return end;
    return write_outputs(run, zonal);
}
