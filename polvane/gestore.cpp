#include "polvane.h"

#include "class_tracing.h"
#include "record_arrays.h"
#include "program_main.h"
#include "shapefile_writer.h"

#include <cstdio>

int gestore(PolvaneRun& run)
{
    const int num_colori = static_cast<int>(run.colori.size());
    ClassTracer tracer(run.classi, no_class, num_colori);
    ShapefileOptions options;
    options.world = run.tfw;

    RecordArrays records;
    for (int i = 0; i < num_colori; ++i) {
        run.nome = run.nome_output_path + "_" + std::to_string(i);
        const std::int32_t colour = run.colori[static_cast<std::size_t>(i)];
        std::printf("\n\n\nProcessing Color: %d/%d (palette index %d, RGB %d %d %d)\n\n", i + 1, num_colori,
                    palette_index_of(run.palette, colour), colour >> 16, (colour >> 8) & 255, colour & 255);
        std::printf("blob in process: ... initializing");
        records.clear();
        int blob_number = 1;
        tracer.trace_class(
            i, records, [&blob_number] { std::printf(" %d", blob_number++); },
            [&run](bool primo) {
                std::fputs(primo ? "WARNING primo=true" : "WARNING primo=false", stdout);
                run.console.wait_for_key();
            });
        ShapefilePaths files;
        auto problem = shapefile_temporaries(run.outputs, run.nome, files);
        if (!problem) problem = gen_file_shp(files, records, run.width, run.height, options);
        if (problem) {
            std::printf("\nError in creating '%s'\n", problem->extension);
            report_write_failure(run.nome + problem->extension, problem->error);
            run.console.wait_for_key();
            return 1;
        }
    }
    return 0;
}
