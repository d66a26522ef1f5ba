#include "class_regions.h"

#include <algorithm>

namespace {

// Union-find over provisional labels. Provisional labels are handed out in
// scan order and a union keeps the smaller root, so every region's root is
// the label of its first pixel in scan order.
class LabelForest {
public:
    std::int32_t add()
    {
        parent_.push_back(static_cast<std::int32_t>(parent_.size()));
        return parent_.back();
    }

    std::int32_t find(std::int32_t label)
    {
        while (parent_[label] != label) {
            parent_[label] = parent_[parent_[label]];
            label = parent_[label];
        }
        return label;
    }

    std::int32_t unite(std::int32_t a, std::int32_t b)
    {
        a = find(a);
        b = find(b);
        if (a == b) return a;
        if (b < a) std::swap(a, b);
        parent_[b] = a;
        return a;
    }

    std::size_t size() const { return parent_.size(); }

private:
    std::vector<std::int32_t> parent_;
};

}  // namespace

ClassRegions find_class_regions(const Grid<std::uint8_t>& classes, std::uint8_t no_class)
{
    const int width = classes.width();
    const int height = classes.height();
    ClassRegions found;
    found.region_of.resize(width, height, -1);
    // No pixels, no regions: the rows of an image without columns are not
    // walked, however many there are.
    if (found.region_of.empty()) return found;
    LabelForest forest;

    // First pass, rows from the bottom, each from the left: provisional
    // labels joined with the same-class neighbours already visited (left,
    // and the three below). The pixel below, when of the class, touches the
    // other three, which were joined with it before; the left pixel has
    // already been joined with the one below it.
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = classes.row(y);
        const std::uint8_t* below = y > 0 ? classes.row(y - 1) : nullptr;
        std::int32_t* labels = found.region_of.row(y);
        const std::int32_t* labels_below = y > 0 ? found.region_of.row(y - 1) : nullptr;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t c = row[x];
            if (c == no_class) continue;
            const bool left = x > 0 && row[x - 1] == c;
            const bool down = below && below[x] == c;
            const bool down_left = below && x > 0 && below[x - 1] == c;
            const bool down_right = below && x + 1 < width && below[x + 1] == c;
            std::int32_t label;
            if (down) {
                label = labels_below[x];
            } else if (left || down_left) {
                label = left ? labels[x - 1] : labels_below[x - 1];
                if (down_right) label = forest.unite(label, labels_below[x + 1]);
            } else if (down_right) {
                label = labels_below[x + 1];
            } else {
                label = forest.add();
            }
            labels[x] = label;
        }
    }

    // Roots in increasing order are the regions in the order of their first
    // pixels; number them so, then resolve every pixel.
    std::vector<std::int32_t> region_of_label(forest.size(), -1);
    for (std::size_t label = 0; label < forest.size(); ++label) {
        const std::int32_t root = forest.find(static_cast<std::int32_t>(label));
        if (root == static_cast<std::int32_t>(label)) {
            region_of_label[label] = static_cast<std::int32_t>(found.regions.size());
            found.regions.emplace_back();
        }
    }
    std::vector<bool> seen(found.regions.size(), false);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = classes.row(y);
        std::int32_t* labels = found.region_of.row(y);
        for (int x = 0; x < width; ++x) {
            if (labels[x] < 0) continue;
            const std::int32_t r = region_of_label[forest.find(labels[x])];
            labels[x] = r;
            ClassRegion& region = found.regions[r];
            if (!seen[r]) {
                seen[r] = true;
                region.class_index = row[x];
                region.x_min = region.x_max = x + 1;
                region.y_min = region.y_max = y + 1;
            } else {
                region.x_min = std::min(region.x_min, x + 1);
                region.x_max = std::max(region.x_max, x + 1);
                region.y_max = y + 1;
            }
        }
    }
    return found;
}

std::vector<std::vector<std::int32_t>> regions_by_class(const ClassRegions& found, int class_count)
{
    std::vector<std::vector<std::int32_t>> lists(static_cast<std::size_t>(std::max(class_count, 0)));
    for (std::size_t r = 0; r < found.regions.size(); ++r) {
        const int c = found.regions[r].class_index;
        if (c < class_count) lists[c].push_back(static_cast<std::int32_t>(r));
    }
    return lists;
}
