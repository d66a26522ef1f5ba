#include "footprint.h"

namespace samples {

std::vector<Pixel> Footprint::pixels() const
{
    std::vector<Pixel> out;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            if (mask(x, y)) out.push_back({x0 + x, y0 + y});
    return out;
}

std::vector<Pixel> Footprint::outline() const
{
    std::vector<Pixel> out;
    for (const Pixel& p : pixels()) {
        bool inner = true;
        for (int dy = -1; dy <= 1 && inner; ++dy)
            for (int dx = -1; dx <= 1 && inner; ++dx) inner = contains(p.x + dx, p.y + dy);
        if (!inner) out.push_back(p);
    }
    return out;
}

}  // namespace samples
