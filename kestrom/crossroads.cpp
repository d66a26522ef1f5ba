#include "crossroads.h"

#include "crossing_geometry.h"
#include "crossing_height.h"
#include "number_reader.h"

namespace {

// Evaluates one record; writes its line when the crossing stands out.
void evaluate_record(const Grid<float>& Dtm, const float* v, std::FILE* output)
{
    float x_float = 0, y_float = 0;
    if (MOD_intersezione_rette(&x_float, &y_float, v) == 1) {
        std::fputs("\nWarning: parallel segments found", stdout);
        return;
    }
    // Truncation toward zero keeps (-1, 0) in column or row 0.
    if (!(x_float > -1.0f && static_cast<double>(x_float) < Dtm.width())) return;
    if (!(y_float > -1.0f && static_cast<double>(y_float) < Dtm.height())) return;
    const int x = static_cast<int>(x_float);
    const int y = static_cast<int>(y_float);
    if (measured_on_nodata(Dtm, x, y)) return;

    const float k = peak_around(Dtm, x, y);
    const float orizz = row_mean(Dtm, x, y);
    const float vert = column_mean(Dtm, x, y);
    const float above_row = k - orizz;
    const float above_column = k - vert;
    if (above_row >= crossover_threshold || above_column >= crossover_threshold) {
        const float excess = above_row > above_column ? above_row : above_column;
        std::fprintf(output, "%d\t%d\t%.2f\n", x, y, excess);
        std::printf("%d\t%d\t%.2f\n", x, y, excess);
    }
}

}  // namespace

void evaluate_crossroads(const Grid<float>& Dtm, std::FILE* crossroads, std::FILE* output)
{
    NumberReader reader(crossroads);
    float v[crossing_record_values];
    for (;;) {
        int n = 0;
        NumberReader::Result result = NumberReader::Result::number;
        while (n < crossing_record_values && (result = reader.read_float(v[n])) == NumberReader::Result::number) ++n;
        if (n == crossing_record_values) {
            evaluate_record(Dtm, v, output);
            continue;
        }
        if (result == NumberReader::Result::not_a_number)
            std::fputs("\nWarning: the crossroads file holds text that is not a number; reading stops there",
                       stdout);
        if (n > 0) std::printf("\nWarning: the last record holds only %d of 8 numbers and is ignored", n);
        return;
    }
}
