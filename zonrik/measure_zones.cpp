// The second part of a run: the shapefile's header and bounding box, the
// record loop, and the outputs.
#include "zonrik_run.h"

#include "exit_status.h"
#include "function_choice.h"
#include "pixel_record.h"
#include "program_main.h"
#include "zonal_run.h"
#include "zone_outputs.h"
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
    if (temporary.problem) return report_not_written(run, temporary_failure(*temporary.problem));
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

// The record loop; `record_numbers` gets the number of each record
// measured.
std::optional<int> record_loop(Zonrik& run, ZonalRun* zonal, std::vector<long long>& record_numbers)
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
        if (!zonal) {
            run.visit_zone(placed);
            continue;
        }
        if (reported && zonal->reported_zones() == 0)
            if (const auto end = open_report(run, *zonal)) return end;
        const std::string line = zonal->process(run.console, placed);
        record_numbers.push_back(record.number);
        if (run.fp_aux) run.fp_aux->write(line);
        std::printf("   ok\n");
    }
}

}  // namespace

std::optional<int> measure_zones(Zonrik& run)
{
    if (const auto end = check_header(run)) return end;
    print_bounding_boxes(run);

    std::vector<long long> record_numbers;
    if (run.visit_zone) return record_loop(run, nullptr, record_numbers);
    ZonalRun zonal(run.Matrice_background, run.width, run.height, run.f_type, outside_zones(run), run.paint_rasters);
    zonal.zone_values = run.zone_values;
    if (const auto end = record_loop(run, &zonal, record_numbers)) return end;
    if (run.measured) run.measured(zonal.valori_db);
    if (const auto end = write_outputs(run, zonal, record_numbers)) return end;
    if (run.fp_aux)
        if (const std::error_code error = run.fp_aux->finish()) return report_not_written(run, error);
    return std::nullopt;
}
