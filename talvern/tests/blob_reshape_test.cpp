// The blob reshaping before the height is written, on masks small enough to
// follow cell by cell: which pixels rise_write covers.
#include "blob_reshape.h"
#include "blob_search.h"
#include "work_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Picture rows top first: '#' a building pixel. Runs the blob routines on
// the first blob and returns the pixels rise_write covers, as a picture.
std::vector<std::string> written_pixels(const std::vector<std::string>& picture)
{
    const int height = static_cast<int>(picture.size()), width = static_cast<int>(picture[0].size());
    Grid<std::uint8_t> Immagine(width + 2, height + 2, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (picture[y][x] == '#') Immagine(x + 1, height - y) = 1;
    Grid<std::uint8_t> Immagine4;
    build_work_image(Immagine, width, height, Immagine4);
    BlobBox box_blob = initial_box_blob(width, height);
    EXPECT_EQ(evidenzia(box_blob, Immagine4), 1);
    archivia(box_blob, Immagine4);
    MOD_completamento_inverso(box_blob, Immagine4);
    MOD_completamento_spigoli_diagonali(box_blob, Immagine4);
    Grid<float> raise(width, height, 0.0f);
    rise_write(box_blob, 7.0f, Immagine4, raise);

    std::vector<std::string> written(height, std::string(width, '.'));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (raise(x, y) == 7.0f) written[height - 1 - y][x] = picture[height - 1 - y][x] == '#' ? '#' : '+';
    return written;
}

using Picture = std::vector<std::string>;

}  // namespace

TEST(BlobReshape, GrowthIsUndoneOnAConvexBuilding)
{
    EXPECT_EQ(written_pixels({".....", ".###.", ".###.", "....."}), Picture({".....", ".###.", ".###.", "....."}));
    EXPECT_EQ(written_pixels({"...", ".#.", "..."}), Picture({"...", ".#.", "..."}));
}

TEST(BlobReshape, InsideOfAUTakesTheHeightNextToTheLeftArm)
{
    // The growth cells of the left arm face the U's inside: the pixels
    // right of it are written too ('+'), to be cleared on output.
    EXPECT_EQ(written_pixels({".....", ".#.#.", ".#.#.", ".###.", "....."}),
              Picture({".....", ".#+#.", ".#+#.", ".###.", "....."}));
    EXPECT_EQ(written_pixels({"......", ".#..#.", ".#..#.", ".####.", "......"}),
              Picture({"......", ".#+.#.", ".#+.#.", ".####.", "......"}));
}

TEST(BlobReshape, CornerContactIsJoinedAcrossTheTwoOtherPixels)
{
    EXPECT_EQ(written_pixels({"....", "..#.", ".#..", "...."}), Picture({"....", ".+#.", ".#+.", "...."}));
}
