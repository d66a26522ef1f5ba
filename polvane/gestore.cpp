#include "polvane.h"

#include "class_outputs.h"
#include "class_tracing.h"
#include "record_arrays.h"

#include <cstdio>

int gestore(PolvaneRun& run, ClassOutputs& outputs)
{
    const int num_colori = static_cast<int>(run.colori.size());
    ClassTracer tracer(run.classi, no_class, num_colori);

    RecordArrays records;
    for (int i = 0; i < num_colori; ++i) {
        run.nome = run.nome_output_path + "_" + std::to_string(i);
        const ClassColour colour = class_colour(run.colours, run.colori[static_cast<std::size_t>(i)]);
        std::printf("\n\n\nProcessing Color: %d/%d%s\n\n", i + 1, num_colori, class_colour_text(colour).c_str());
        std::printf("blob in process: ... initializing");
        records.clear();
        int blob_number = 1;
        tracer.trace_class(
            i, records, [&blob_number] { std::printf(" %d", blob_number++); },
            [&run](bool primo) {
                std::fputs(primo ? "WARNING primo=true" : "WARNING primo=false", stdout);
                run.console.wait_for_key();
            });
        if (!outputs.write_class(i, records)) return 1;
    }
    return outputs.finish() ? 0 : 1;
}
