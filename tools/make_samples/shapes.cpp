#include "shapes.h"

namespace samples {

namespace {

void fill(Grid<std::uint8_t>& mask, int x, int y, int w, int h, std::uint8_t value)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) mask(i, j) = value;
}

Grid<std::uint8_t> block(int w, int h)
{
    return Grid<std::uint8_t>(w, h, 1);
}

// The mask turned by a quarter, clockwise.
Grid<std::uint8_t> turned(const Grid<std::uint8_t>& mask)
{
    Grid<std::uint8_t> out(mask.height(), mask.width());
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) out(mask.height() - 1 - y, x) = mask(x, y);
    return out;
}

Grid<std::uint8_t> turned_randomly(Grid<std::uint8_t> mask, Random& rng)
{
    for (int k = rng.range(0, 3); k > 0; --k) mask = turned(mask);
    return mask;
}

Grid<std::uint8_t> l_shape(Random& rng)
{
    const int w = rng.range(30, 60), h = rng.range(30, 60);
    Grid<std::uint8_t> mask = block(w, h);
    const int cw = rng.range(w / 3, w / 2 + 4), ch = rng.range(h / 3, h / 2 + 4);
    fill(mask, w - cw, 0, cw, ch, 0);  // cut the top-right corner
    return turned_randomly(mask, rng);
}

Grid<std::uint8_t> u_shape(Random& rng)
{
    const int w = rng.range(42, 68), h = rng.range(36, 60);
    Grid<std::uint8_t> mask = block(w, h);
    const int nw = rng.range(w / 3, w / 2), nh = rng.range(h / 3, h / 2 + 4);
    fill(mask, (w - nw) / 2, 0, nw, nh, 0);  // the notch opens upwards
    return turned_randomly(mask, rng);
}

Grid<std::uint8_t> t_shape(Random& rng)
{
    const int w = rng.range(36, 60), bar = rng.range(12, 18);
    const int stem_w = rng.range(12, 18), stem_h = rng.range(14, 30);
    Grid<std::uint8_t> mask(w, bar + stem_h, 0);
    fill(mask, 0, 0, w, bar, 1);
    fill(mask, (w - stem_w) / 2, bar, stem_w, stem_h, 1);
    return turned_randomly(mask, rng);
}

Grid<std::uint8_t> courtyard(Random& rng)
{
    const int w = rng.range(44, 72), h = rng.range(44, 72), wall = rng.range(8, 12);
    Grid<std::uint8_t> mask = block(w, h);
    fill(mask, wall, wall, w - 2 * wall, h - 2 * wall, 0);
    return mask;
}

Grid<std::uint8_t> corner_pair(Random& rng)
{
    const int w1 = rng.range(16, 30), h1 = rng.range(16, 30);
    const int w2 = rng.range(16, 30), h2 = rng.range(16, 30);
    Grid<std::uint8_t> mask(w1 + w2, h1 + h2, 0);
    fill(mask, 0, 0, w1, h1, 1);
    fill(mask, w1, h1, w2, h2, 1);
    return mask;
}

}  // namespace

Footprint make_footprint(Shape shape, Random& rng)
{
    Footprint f;
    switch (shape) {
    case Shape::rectangle: {
        const int w = rng.range(16, 52);
        f.mask = block(w, rng.range(16, 52));
        break;
    }
    case Shape::l_shape: f.mask = l_shape(rng); break;
    case Shape::u_shape: f.mask = u_shape(rng); break;
    case Shape::courtyard: f.mask = courtyard(rng); break;
    case Shape::t_shape: f.mask = t_shape(rng); break;
    case Shape::corner_pair: f.mask = corner_pair(rng); break;
    }
    return f;
}

int make_height_cm(Shape shape, Random& rng)
{
    int lo = 300, hi = 1400;  // in steps of 10 cm
    switch (shape) {
    case Shape::rectangle: break;
    case Shape::l_shape: lo = 450, hi = 1200; break;
    case Shape::u_shape: lo = 700, hi = 1300; break;
    case Shape::courtyard: lo = 900, hi = 1400; break;
    case Shape::t_shape: lo = 600, hi = 1100; break;
    case Shape::corner_pair: lo = 400, hi = 900; break;
    }
    return 10 * rng.range(lo / 10, hi / 10);
}

}  // namespace samples
