// The digital segments and walks of the trace lines, against the drawing
// done step by step with its error term and a walk over the drawn list.
#include "trace_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

namespace {

// The segment drawn point by point from its lower end, the error term
// starting at a quarter of the long side, then reversed when the ends were
// swapped.
PointList reference_segment(int x1, int y1, int x2, int y2, int width, int height)
{
    PointList points;
    bool swapped = false;
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
        swapped = true;
    }
    const int Dx = x2 - x1, Dy = y2 - y1;
    const int SegnoDx = Dx >= 0 ? 1 : -1;
    const bool steep = std::abs(Dx) < std::abs(Dy);
    const int long_side = steep ? std::abs(Dy) : std::abs(Dx);
    const int short_side = steep ? std::abs(Dx) : std::abs(Dy);
    int Salto = long_side / 4;
    int x = x1, y = y1;
    auto emit = [&] {
        if (steep ? (0 <= x && x < width) : (0 <= y && y < height)) points.push_back({x, y});
    };
    emit();
    for (int i = 0; i < long_side; ++i) {
        Salto += short_side;
        if (Salto >= long_side) {
            Salto -= long_side;
            x += SegnoDx;
            y += 1;
        } else if (steep) {
            y += 1;
        } else {
            x += SegnoDx;
        }
        emit();
    }
    if (swapped) std::reverse(points.begin(), points.end());
    return points;
}

// The walk as a list: the segment drawn whole, then its points in order.
TraceHit reference_scan(const Grid<std::uint8_t>& image, int x1, int y1, int x2, int y2, int colore_x, int scale,
                        int offset)
{
    TraceHit hit;
    const PointList list = reference_segment(offset + x1 * scale, offset + y1 * scale, offset + x2 * scale,
                                             offset + y2 * scale, image.width(), image.height());
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Point p = list[i];
        if (p.x < 0 || p.x > image.width() - 1 || p.y < 0 || p.y > image.height() - 1) {
            hit.pixel = {TraceHit::left_image, TraceHit::left_image};
            return hit;
        }
        if (image(p.x, p.y) == colore_x) {
            const Point before = i == 0 ? p : list[i - 1];
            hit.pixel = {(p.x - offset) / 2, (p.y - offset) / 2};
            hit.pixel_before = {(before.x - offset) / 2, (before.y - offset) / 2};
            return hit;
        }
    }
    return hit;
}

bool same_points(const PointList& a, const PointList& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    return true;
}

std::string text(const PointList& points)
{
    std::string s;
    for (const Point& p : points) s += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    return s;
}

}  // namespace

TEST(Segment, ErrorTermStartsAtAQuarterOfTheLongSide)
{
    PointList points;
    disegna_segmenti_vettore(points, 0, 0, 4, 1, 100, 100);
    EXPECT_EQ(text(points), "(0,0)(1,0)(2,0)(3,1)(4,1)");
    disegna_segmenti_vettore(points, 0, 0, 1, 4, 100, 100);
    EXPECT_EQ(text(points), "(0,0)(0,1)(0,2)(1,3)(1,4)");
}

TEST(Segment, DownwardSegmentIsDrawnFromItsLowerEndAndReversed)
{
    PointList points;
    // Drawn from (4, 0) to (0, 1), then reversed: not the drawing from (0, 1).
    disegna_segmenti_vettore(points, 0, 1, 4, 0, 100, 100);
    EXPECT_EQ(text(points), "(0,1)(1,1)(2,0)(3,0)(4,0)");
    disegna_segmenti_vettore(points, 4, 1, 0, 0, 100, 100);
    EXPECT_EQ(text(points), "(4,1)(3,1)(2,0)(1,0)(0,0)");
}

TEST(Segment, OnlyTheShortAxisIsBounded)
{
    PointList points;
    disegna_segmenti_vettore(points, -2, 0, 3, 0, 2, 1);  // flat: y bounded, x not
    EXPECT_EQ(text(points), "(-2,0)(-1,0)(0,0)(1,0)(2,0)(3,0)");
    disegna_segmenti_vettore(points, -1, 0, 2, 5, 2, 2);  // steep: x bounded
    EXPECT_EQ(text(points), "(0,2)(1,3)(1,4)");
    disegna_segmenti_vettore(points, 3, 3, 3, 3, 10, 10);
    EXPECT_EQ(text(points), "(3,3)");
}

TEST(Segment, MatchesTheStepByStepDrawingOnRandomSegments)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-40, 60), bound(1, 50);
    PointList points;
    for (int n = 0; n < 20000; ++n) {
        const int x1 = coordinate(random), y1 = coordinate(random), x2 = coordinate(random), y2 = coordinate(random);
        const int width = bound(random), height = bound(random);
        disegna_segmenti_vettore(points, x1, y1, x2, y2, width, height);
        ASSERT_TRUE(same_points(points, reference_segment(x1, y1, x2, y2, width, height)))
            << x1 << "," << y1 << " -> " << x2 << "," << y2 << " in " << width << "x" << height;
    }
}

TEST(Scan, MatchesTheWalkOverTheDrawnListOnRandomImages)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> extent(1, 12), cell(0, 9);
    for (int n = 0; n < 20000; ++n) {
        const int w = extent(random), h = extent(random);
        Grid<std::uint8_t> image(2 * w + 4, 2 * h + 4);
        const int density = cell(random);
        for (auto& c : image.cells()) {
            const int v = cell(random);
            c = v < density ? 4 : v == 9 ? 1 : 0;
        }
        std::uniform_int_distribution<int> x_at(-6, w + 6), y_at(-6, h + 6);
        const int x1 = x_at(random), y1 = y_at(random), x2 = x_at(random), y2 = y_at(random);
        const int colore_x = n % 3 == 0 ? 0 : 4;
        const int scale = n % 5 == 0 ? 1 : 2, offset = n % 5 == 0 ? 0 : 1;
        const TraceHit hit = scan_tracce(image, {x1, y1}, {x2, y2}, colore_x, {scale, offset});
        const TraceHit expected = reference_scan(image, x1, y1, x2, y2, colore_x, scale, offset);
        ASSERT_EQ(hit.pixel.x, expected.pixel.x) << n;
        ASSERT_EQ(hit.pixel.y, expected.pixel.y) << n;
        if (expected.met()) {
            ASSERT_EQ(hit.pixel_before.x, expected.pixel_before.x) << n;
            ASSERT_EQ(hit.pixel_before.y, expected.pixel_before.y) << n;
        }
    }
}

TEST(Scan, FarEndsLeaveTheImageWithoutWalkingTheWholeSegment)
{
    // The search end lies two billion pixels away: the walk stops at the
    // border (a list of the whole segment would not fit in memory).
    Grid<std::uint8_t> image(24, 24, 1);
    EXPECT_EQ(scan_tracce(image, {3, 3}, {2000000000, 3}, 0).pixel.x, TraceHit::left_image);
    EXPECT_EQ(scan_tracce(image, {3, 3}, {5, 2000000000}, 0).pixel.x, TraceHit::left_image);
    // Left through the short axis: the points are dropped.
    EXPECT_EQ(scan_tracce(image, {3, 3}, {3 - 1000000000, 2000000000}, 0).pixel.x, TraceHit::not_met);
    const Point far = estremi_alfa({5, 5}, 0.0f, 2147483647);
    EXPECT_EQ(far.x, 2147483647);
    EXPECT_EQ(far.y, 5);
}

TEST(Scan, HitGivesThePixelAndThePixelBefore)
{
    Grid<std::uint8_t> image(24, 24, 0);
    for (int y = 0; y < 24; ++y) image(13, y) = image(14, y) = 4;  // pixel column 6
    TraceHit hit = scan_tracce(image, {10, 4}, {1, 4}, 4);  // right to left: enters at cell 14
    EXPECT_EQ(hit.pixel.x, 6);
    EXPECT_EQ(hit.pixel.y, 4);
    EXPECT_EQ(hit.pixel_before.x, 7);
    EXPECT_EQ(hit.pixel_before.y, 4);
    hit = scan_tracce(image, {6, 4}, {1, 4}, 4);  // hit on the first cell
    EXPECT_EQ(hit.pixel.x, 6);
    EXPECT_EQ(hit.pixel_before.x, 6);
    hit = scan_tracce(image, {1, 4}, {4, 4}, 4);  // ends before the column
    EXPECT_EQ(hit.pixel.x, TraceHit::not_met);
    EXPECT_EQ(hit.pixel.y, TraceHit::not_met);
}

TEST(SearchEnd, RoundsHalvesDownAndUsesItsOwnDegreesPerRadian)
{
    Point end = estremi_alfa({10, 20}, 0.0f, 7);
    EXPECT_EQ(end.x, 17);
    EXPECT_EQ(end.y, 20);
    // 180 degrees is a hair short of pi radians with 57.296 degrees each.
    end = estremi_alfa({10, 20}, 180.0f, 7);
    EXPECT_EQ(end.x, 3);
    EXPECT_EQ(end.y, 20);
    // Straight up at 100000 pixels: cos(90 / 57.296) * 100000 = 0.604, which
    // rounds to 1 (57.2965 would give 1.975, hence 2; pi/2 exactly, 0).
    end = estremi_alfa({0, 0}, 90.0f, 100000);
    EXPECT_EQ(end.x, 1);
    EXPECT_EQ(end.y, 100000);
}

TEST(Distance, IsTheEuclideanLength)
{
    EXPECT_EQ(pixel_distance(0, 0, 3, 4), 5.0f);
    EXPECT_EQ(pixel_distance(7, 2, 7, 2), 0.0f);
    EXPECT_EQ(MOD_distanza({1.5f, 0.0f, 0.0f, 2.0f}), 2.5f);
}
