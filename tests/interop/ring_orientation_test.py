"""Ring orientation of polygon shapefiles as OGR reads them.

Written with SUITE_SHAPEFILE_RINGS=esri, the polygons of every colour of a
class map with holes and islands cover under OGR exactly the pixels of the
colour; by default every record keeps the traced orientation: its outer
ring counter-clockwise, its holes and islands clockwise.
"""

import random

from osgeo import gdal, ogr

import suite_files as sf
from gdal_checks import GdalChecks, read_with_ogr


class SampleTownInEsriOrder(GdalChecks):
    """The sample town's buildings through polvane and zonrik in esri order."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        data = cls.folder.path
        cls.suite.make_samples(data)
        esri = {"SUITE_SHAPEFILE_RINGS": "esri"}
        cls.suite.run("polvane", ["buildings.bmp", "buildings"], data, env=esri)
        cls.suite.run("zonrik", ["buildings_0.shp", "temperature.raw", "roof_mean", "mean"], data, env=esri)
        cls.building_pixels = int((gdal.Open(cls.folder.file("buildings.bmp")).ReadAsArray() == 1).sum())

    def assert_area_of_building_pixels(self, base):
        self.assert_ogr_reads_file_as_written(base, ogr.wkbPolygon)
        features, _facts, _messages = read_with_ogr(base + ".shp")
        pixel_area = 0.5 * 0.5  # the world file's cells
        self.assertEqual(sum(f["area"] for f in features), self.building_pixels * pixel_area)

    def test_polvane_buildings(self):
        self.assert_area_of_building_pixels(self.folder.file("buildings_0"))

    def test_zonrik_zones(self):
        self.assert_area_of_building_pixels(self.folder.file("roof_mean"))


def random_class_map(rng, width, height):
    """Rectangles of two colours drawn over one another and cut by black
    ones: holes, islands in holes, corner contacts, single pixels."""
    grid = [["."] * width for _ in range(height)]
    for _ in range(rng.randrange(4, 14)):
        w, h = rng.randrange(1, width // 2), rng.randrange(1, height // 2)
        x, y = rng.randrange(0, width - w), rng.randrange(0, height - h)
        colour = rng.choice("ab.")
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                grid[yy][xx] = colour
    for _ in range(rng.randrange(0, 30)):
        grid[rng.randrange(height)][rng.randrange(width)] = rng.choice("ab.")
    return ["".join(row) for row in grid]


def class_order(rows):
    """The letters in the order polvane numbers their colours: columns from
    the left, each from the top."""
    order = []
    for x in range(len(rows[0])):
        for row in rows:
            if row[x] != "." and row[x] not in order:
                order.append(row[x])
    return order


NESTED = [
    "...........",
    ".aaaaaaaaa.",
    ".a.......a.",
    ".a.aaaaa.a.",
    ".a.a...a.a.",
    ".a.a.a.a.a.",
    ".a.a...a.a.",
    ".a.aaaaa.a.",
    ".a.......ab",
    ".aaaaaaaaab",
    "..bbb....bb",
]


class ClassMapsWithHolesAndIslands(GdalChecks):
    def vectorise(self, name, rows, esri):
        sf.write_class_bmp(self.folder.file(name + ".bmp"), rows, [0xFF0000, 0x00A000])
        env = {"SUITE_SHAPEFILE_RINGS": "esri"} if esri else {}
        self.suite.run("polvane", [name + ".bmp", name], self.folder.path, env=env)
        results = {}
        for k, letter in enumerate(class_order(rows)):
            base = self.folder.file(f"{name}_{k}")
            self.assert_ogr_reads_file_as_written(base, ogr.wkbPolygon)
            results[letter] = read_with_ogr(base + ".shp")[0]
        return results

    def class_maps(self):
        rng = random.Random(7)
        yield "nested", NESTED
        for i in range(12):
            yield f"random{i}", random_class_map(rng, rng.randrange(8, 48), rng.randrange(8, 48))

    def test_esri_order_areas_equal_pixel_counts(self):
        islands = 0
        for name, rows in self.class_maps():
            for letter, features in self.vectorise(name + "_esri", rows, esri=True).items():
                pixels = sum(row.count(letter) for row in rows)
                self.assertEqual(sum(f["area"] for f in features), pixels, f"{name} colour {letter}")
                for f in features:
                    areas = [sf.signed_area(ring) for ring in f["rings"]]
                    islands += sum(1 for a in areas[1:] if a < 0)
        self.assertGreater(islands, 0)  # the maps did hold islands

    def test_default_order_outer_ring_counter_clockwise_others_clockwise(self):
        holes = 0
        for name, rows in self.class_maps():
            for letter, features in self.vectorise(name, rows, esri=False).items():
                for f in features:
                    areas = [sf.signed_area(ring) for ring in f["rings"]]
                    counter_clockwise = [ring for ring, a in zip(f["rings"], areas) if a > 0]
                    self.assertEqual(len(counter_clockwise), 1, f"{name} colour {letter}")
                    xs = [x for x, _ in counter_clockwise[0]]
                    ys = [y for _, y in counter_clockwise[0]]
                    self.assertEqual((min(xs), max(xs), min(ys), max(ys)), f["envelope"])
                    self.assertEqual(sum(1 for a in areas if a < 0), len(areas) - 1)
                    holes += len(areas) - 1
        self.assertGreater(holes, 0)


if __name__ == "__main__":
    sf.run_tests()
