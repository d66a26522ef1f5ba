// The per-zone pipeline (rasterise, measure, paint, trace) against the
// whole-grid procedure on random backgrounds and polygons, for every
// function; and the tracing of zones that the vectoriser's grid would not
// show.
#include "function_choice.h"
#include "reference_vectoriser.h"
#include "reference_zonrik.h"
#include "test_records.h"
#include "zonal_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

template <typename T>
bool same_bits(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

Grid<float> random_background(std::mt19937& rng, int width, int height)
{
    Grid<float> background(width, height);
    std::uniform_real_distribution<float> u(-20.0f, 400.0f);
    for (float& v : background.cells()) {
        switch (rng() % 20) {
        case 0: v = std::numeric_limits<float>::quiet_NaN(); break;
        case 1: v = 0.0f; break;
        case 2: v = -0.0f; break;
        case 3: v = static_cast<float>(rng() % 100); break;
        case 4: v = -999999.0f; break;
        default: v = u(rng);
        }
    }
    return background;
}

// A random polygon record in pixel units, most of them inside the grid:
// stars of 3 to 9 points, some vertices on pixel corners, up to three rings.
PixelRecord random_polygon(std::mt19937& rng, int width, int height)
{
    std::uniform_real_distribution<double> ux(-1.0, width + 0.5), uy(-1.0, height + 0.5);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::vector<Ring> rings(1 + pick(3));
    for (Ring& ring : rings) {
        const double cx = ux(rng), cy = uy(rng), size = 1 + pick(std::min(9, std::min(width, height) / 2));
        const int n = 3 + pick(7);
        for (int i = 0; i < n; ++i) {
            const double angle = 2 * M_PI * i / n;
            const double reach = size * (pick(3) == 0 ? 0.4 : 1.0);
            double x = cx + reach * std::cos(angle), y = cy + reach * std::sin(angle);
            if (pick(3) == 0) {
                x = std::round(x);
                y = std::round(y);
            }
            ring.emplace_back(x, y);
        }
        ring.push_back(ring.front());
    }
    return record_of(rings);
}


}  // namespace

TEST(ZonalRun, SameOutputsAsTheWholeGridProcedure)
{
    std::mt19937 rng(77031);
    TestConsole input;
    testing::internal::CaptureStdout();  // the tracing's progress lines
    int records_traced = 0;
    for (int trial = 0; trial < 420; ++trial) {
        const int width = 4 + static_cast<int>(rng() % 30), height = 4 + static_cast<int>(rng() % 24);
        const Grid<float> background = random_background(rng, width, height);
        const int f_type = trial % 7;
        const CoverThresholds thresholds{static_cast<float>(rng() % 300), static_cast<float>(rng() % 100)};

        ZonalRun fast(background, f_type);
        fast.thresholds = thresholds;
        ReferenceZonrik reference(background, f_type, thresholds);
        std::string fast_report, reference_report;
        const int polygons = 1 + static_cast<int>(rng() % 12);
        for (int p = 0; p < polygons; ++p) {
            PixelRecord record = random_polygon(rng, width, height);
            // Every other trial measures polygons partly outside too.
            const bool partial = trial % 2 == 1;
            for (int retry = 0; retry < 30 && outside_background(record, width, height, partial); ++retry)
                record = random_polygon(rng, width, height);
            if (outside_background(record, width, height, partial)) continue;
            fast_report += fast.process(input.console, record);
            reference_report += reference.process(input.console, record);
            ++records_traced;
        }
        ASSERT_TRUE(same_bits(fast.valori_db, reference.valori_db)) << "trial " << trial;
        ASSERT_TRUE(same_bits(fast.Matrice_output.cells(), reference.Matrice_output.cells())) << "trial " << trial;
        ASSERT_EQ(fast.records.part, reference.records.part) << "trial " << trial;
        ASSERT_TRUE(same_bits(fast.records.point, reference.records.point)) << "trial " << trial;
        ASSERT_EQ(fast_report, reference_report) << "trial " << trial;
        if (f_type == function_code::cover) {
            ASSERT_EQ(fast.Immagine_bmp, reference.Immagine_bmp) << "trial " << trial;
        }
    }
    testing::internal::GetCapturedStdout();
    EXPECT_GT(records_traced, 300);
}

TEST(ZonalRun, ZoneWhoseValueIsTheOutsideMarkIsTracedFromItsPixels)
{
    Grid<float> background(6, 6, -999999.0f);
    ZonalRun run(background, function_code::mean);
    TestConsole input;
    run.process(input.console, record_of({rectangle(1, 1, 3, 4)}));
    EXPECT_EQ(run.valori_db, std::vector<float>{-999999.0f});
    const std::vector<std::int32_t> one_ring = {1, 5, 0, -3000};
    EXPECT_EQ(run.records.part, one_ring);
    EXPECT_EQ(run.records.point, (std::vector<double>{1, 1, 3, 1, 3, 4, 1, 4, 1, 1}));
}

TEST(ZonalRun, EmptyZoneGivesNaNAndAnEmptyRecord)
{
    Grid<float> background(6, 6, 1.0f);
    ZonalRun run(background, function_code::variance);
    TestConsole input;
    run.process(input.console, record_of({rectangle(2.1, 1, 2.9, 4)}));
    ASSERT_EQ(run.valori_db.size(), 1u);
    EXPECT_TRUE(std::isnan(run.valori_db[0]));
    EXPECT_EQ(run.records.part, (std::vector<std::int32_t>{0, 0, -3000}));
    EXPECT_TRUE(run.records.point.empty());
}

TEST(ZonalRun, ZoneInTwoPiecesTracesThePieceMetFirstAndPaintsBoth)
{
    Grid<float> background(8, 6, 2.0f);
    ZonalRun run(background, function_code::mean);
    TestConsole input;
    // An hourglass: two triangles meeting in a point give two pieces.
    PixelRecord record;
    record.box = {1, 1, 7, 5};
    record.parts = {0};
    record.points = {1, 1, 7, 5, 7, 1, 1, 5, 1, 1};
    run.process(input.console, record);
    int painted_left = 0, painted_right = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            if (run.Matrice_output(x, y) == 2.0f) (x < 4 ? painted_left : painted_right)++;
    EXPECT_GT(painted_left, 0);
    EXPECT_GT(painted_right, 0);
    EXPECT_EQ(run.records.part[0], 1);  // one ring only
}
