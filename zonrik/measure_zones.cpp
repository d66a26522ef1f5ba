// The second part of a run: the shapefile's header and bounding box, the
// record loop, and the outputs.
#include "zonrik_run.h"

#include "bmp.h"
#include "function_choice.h"
#include "pixel_record.h"
#include "raw.h"
#include "shapefile_writer.h"
#include "zonal_run.h"
#include "zone_reports.h"

#include <cstdio>

namespace {

StepEnd check_header(Zonrik& run)
{
    switch (run.shapefile->read_header(run.shp_box)) {
    case ShapeHeader::ok: return {};
    case ShapeHeader::not_a_shapefile: std::printf("\nError: input file is not a  Shape file\n"); break;
    case ShapeHeader::wrong_version: std::printf("\nError in Shape file version\n"); break;
    case ShapeHeader::not_polygon: std::printf("\nError in Shape type - must be 'Polygon'"); break;
    case ShapeHeader::incomplete: std::printf("\nError: the Shape file ends inside its 100-byte header\n"); break;
    }
    run.console.wait_for_key();
    return closing(run);
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

// Before the first zone of the cover or temperature function: the report
// file, and for the cover the two thresholds.
StepEnd open_report(Zonrik& run, ZonalRun& zonal)
{
    const bool cover = run.f_type == function_code::cover;
    run.report_name = run.named(run.raw_output + (cover ? "_cover.txt" : "_temp.txt"));
    run.fp_aux = open_file(run.report_name, "wb");
    if (!run.fp_aux)
        return failure(run, cover ? "\nError: in generating 'cover' ascii file"
                                  : "\nError: in generating 'temp' ascii file");
    if (cover) {
        std::printf("\nThreshold albedo max (0 - 100)=");
        zonal.thresholds.f_max = run.console.read_float();
        run.console.flush_input();
        std::printf("\nThreshold albedo min (0 - 100)=");
        zonal.thresholds.f_min = run.console.read_float();
        run.console.flush_input();
    }
    std::fputs((cover ? cover_report_header() : temperature_report_header()).c_str(), run.fp_aux.get());
    return {};
}

// A record the loop cannot read (block number `block`): its message; the run
// ends at the closing step.
StepEnd unreadable_record(Zonrik& run, ShapeRead problem, std::int32_t block)
{
    switch (problem) {
    case ShapeRead::wrong_index:
        std::printf("\n\nError in Block indexes in Shape file");
        return closing(run);
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
    return closing(run);
}

StepEnd record_loop(Zonrik& run, ZonalRun& zonal)
{
    std::printf("\n\n\n   -------   START ROUTINE   -----------  \n\n");
    const bool reported = run.f_type == function_code::cover || run.f_type == function_code::temperature;
    ShapeRecord record;
    for (;;) {
        ShapeRead read = run.shapefile->read_record_number(record);
        if (read == ShapeRead::end) return {};
        if (read != ShapeRead::record) return unreadable_record(run, read, run.shapefile->indice() + 1);
        std::printf("\nProcessing block %d......   ", record.number);
        read = run.shapefile->read_record_body(record);
        if (read != ShapeRead::record) return unreadable_record(run, read, record.number);

        const PixelRecord placed = to_pixel_units(record, run.bmp_box, run.width, run.height);
        if (outside_background(placed, run.width, run.height, run.partial)) {
            std::printf("     skipped: external Shape Bounding Box\n");
            continue;
        }
        if (reported && zonal.reported_zones() == 0) {
            const StepEnd end = open_report(run, zonal);
            if (!end.go_on) return end;
        }
        const std::string line = zonal.process(run.console, placed);
        if (run.fp_aux) std::fputs(line.c_str(), run.fp_aux.get());
        std::printf("   ok\n");
    }
}

StepEnd write_outputs(Zonrik& run, ZonalRun& zonal)
{
    ShapefileOptions options;
    options.shape_type = shape_type_polygon;
    options.world = run.tfw;
    options.table = AttributeTable::value;
    options.values = zonal.valori_db;
    // A shapefile that cannot be written ends the run after the writer's
    // message and wait, with status 0.
    if (const auto problem =
            gen_file_shp(shapefile_paths(run.nome_output_path), zonal.records, run.width, run.height, options)) {
        std::printf("\nError in creating '%s'\n", problem->extension);
        run.console.wait_for_key();
        return {false, 0};
    }

    const std::string raw_name = run.named(run.raw_output + ".raw");
    if (const auto problem =
            raw_32bit_create({raw_name, envi_header_name(raw_name)}, zone_raster_base(raw_name), zonal.Matrice_output)) {
        if (problem->error == std::errc::not_enough_memory)
            std::fputs("Error in memory allocation\n", stdout);
        else
            std::fputs(problem->in_header ? "\nError in writing .hdr file\n" : "\nError in writing Raw image\n", stdout);
        run.console.wait_for_key();
        std::printf("\nError in creating output image");
        run.console.wait_for_key();
        return closing(run);
    }
    if (run.f_type == function_code::cover) {
        const std::string picture = run.raw_output + ".bmp";
        if (const std::error_code error = bmp_256_create(picture, zonal.Immagine_bmp)) {
            if (error == std::errc::not_enough_memory) {
                std::fputs("\nError in opening bmp image\n", stdout);
                run.console.wait_for_key();
            } else {
                std::printf("\nError: cannot write '%s'\n", picture.c_str());
            }
            return closing(run);
        }
    }
    if (run.fp_aux && !close_written_file(run.fp_aux)) {
        std::printf("\nError: cannot write '%s'\n", run.report_name.c_str());
        return closing(run);
    }
    return {};
}

}  // namespace

StepEnd measure_zones(Zonrik& run)
{
    StepEnd end = check_header(run);
    if (!end.go_on) return end;
    print_bounding_boxes(run);

    ZonalRun zonal(run.Matrice_background, run.f_type);
    end = record_loop(run, zonal);
    if (!end.go_on) return end;
    return write_outputs(run, zonal);
}
