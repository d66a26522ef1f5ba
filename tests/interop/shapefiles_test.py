"""The shapefiles of polvane, traskel and zonrik as OGR reads them.

On the sample data every shapefile the three programs write opens with no
error or warning, with the records, vertices and attribute values of its
bytes. On class maps with holes and islands, polygons written with
SUITE_SHAPEFILE_RINGS=esri cover under OGR exactly the pixels of their
colour; by default the rings keep the traced orientation.
"""

import random
import shutil
import unittest

from osgeo import gdal, ogr

import suite_files as sf

gdal.UseExceptions()


class GdalMessages:
    """Collects what GDAL reports (warnings included) while it is active."""

    def __enter__(self):
        self.messages = []
        gdal.PushErrorHandler(lambda level, number, text: self.messages.append(f"{level}/{number}: {text}"))
        return self

    def __exit__(self, *exc):
        gdal.PopErrorHandler()
        return False


def ogr_rings(geometry):
    """Every ring (or line) of a geometry as a list of (x, y)."""
    name = geometry.GetGeometryName()
    if name in ("LINESTRING", "LINEARRING"):
        return [[(x, y) for x, y, *_ in geometry.GetPoints()]]
    rings = []
    for i in range(geometry.GetGeometryCount()):
        rings += ogr_rings(geometry.GetGeometryRef(i))
    return rings


def read_with_ogr(path):
    """Feature geometries' rings, attribute rows, layer facts and messages."""
    with GdalMessages() as reported:
        source = ogr.Open(path)
        layer = source.GetLayer()
        definition = layer.GetLayerDefn()
        names = [definition.GetFieldDefn(i).GetName() for i in range(definition.GetFieldCount())]
        features = []
        for feature in layer:
            geometry = feature.GetGeometryRef()
            features.append({
                "rings": ogr_rings(geometry) if geometry is not None else [],
                "area": geometry.GetArea() if geometry is not None else 0.0,
                "envelope": geometry.GetEnvelope() if geometry is not None else None,
                "values": [feature.GetField(n) for n in names],
            })
        facts = {"geometry": layer.GetGeomType(), "names": names, "extent": layer.GetExtent()}
    return features, facts, reported.messages


class ShapefileChecks(unittest.TestCase):
    def assert_ogr_reads_file_as_written(self, base, geometry_type):
        shp = sf.read_shp(base + ".shp")
        fields, rows = sf.read_dbf(base + ".dbf")
        features, facts, messages = read_with_ogr(base + ".shp")
        self.assertEqual(messages, [], base)
        self.assertEqual(facts["geometry"], geometry_type)
        self.assertEqual(facts["names"], [name for name, *_ in fields])
        # OGR takes a layer's extent from the index file's header, which the
        # suite writes in pixel units (0, 0, width-1, height-1) whatever the
        # world file.
        xmin, ymin, xmax, ymax = sf.read_shx_box(base + ".shx")
        self.assertEqual(facts["extent"], (xmin, xmax, ymin, ymax))
        self.assertEqual(len(features), len(shp.records))
        self.assertGreater(len(features), 0)
        for i, (feature, record, row) in enumerate(zip(features, shp.records, rows)):
            # OGR may group a record's rings into polygons its own way; the
            # rings themselves, vertex for vertex, are the file's.
            self.assertEqual(sorted(feature["rings"]), sorted(record.parts), f"{base} record {i}")
            if record.parts:
                rxmin, rymin, rxmax, rymax = record.box
                self.assertEqual(feature["envelope"], (rxmin, rxmax, rymin, rymax), f"{base} record {i}")
            for (name, kind, _length, decimals), text, value in zip(fields, row, feature["values"]):
                if kind == "N" and decimals == 0:
                    self.assertEqual(value, int(text), f"{base} record {i} {name}")
                elif text:
                    self.assertAlmostEqual(value, float(text), places=6, msg=f"{base} record {i} {name}")
        return shp, rows


class SampleDataShapefiles(ShapefileChecks):
    @classmethod
    def setUpClass(cls):
        cls.suite = sf.suite_under_test()
        cls.folder = sf.TempFolder()
        data = cls.folder.path
        cls.suite.make_samples(data)
        cls.suite.run("polvane", ["buildings.bmp", "buildings"], data)
        cls.suite.run("polvane", ["buildings.bmp", "buildings_esri"], data, env={"SUITE_SHAPEFILE_RINGS": "esri"})
        cls.suite.run("vorlix", ["roads", 1024, 1024], data)
        shutil.copy(cls.folder.file("roads.rww"), cls.folder.file("segmenti.bpw"))
        cls.suite.run("traskel", ["segmenti.txt", "roads_lines", 1024, 1024], data)
        if cls.suite.has("zonrik"):
            cls.suite.run("zonrik", ["buildings_0.shp", "temperature.raw", "roof_temperature", "sp_temp"], data)
            cls.suite.run("zonrik", ["buildings_esri_0.shp", "temperature.raw", "roof_mean", "mean"], data,
                          env={"SUITE_SHAPEFILE_RINGS": "esri"})

    @classmethod
    def tearDownClass(cls):
        cls.folder.remove()

    def test_polvane_buildings(self):
        shp, rows = self.assert_ogr_reads_file_as_written(self.folder.file("buildings_0"), ogr.wkbPolygon)
        # In map units through the world file: the town's 512 m square.
        self.assertEqual(shp.box, (500000.0, 5000000.0, 500512.0, 5000512.0))
        self.assertEqual({tuple(r) for r in rows}, {("0",)})

    def test_polvane_buildings_in_esri_order_have_the_area_of_their_pixels(self):
        self.assert_ogr_reads_file_as_written(self.folder.file("buildings_esri_0"), ogr.wkbPolygon)
        features, _facts, _messages = read_with_ogr(self.folder.file("buildings_esri_0.shp"))
        classes = gdal.Open(self.folder.file("buildings.bmp")).ReadAsArray()
        pixel_area = 0.5 * 0.5
        self.assertEqual(sum(f["area"] for f in features), float((classes == 1).sum()) * pixel_area)

    def test_traskel_road_segments(self):
        shp, _rows = self.assert_ogr_reads_file_as_written(self.folder.file("roads_lines"), ogr.wkbLineString)
        self.assertEqual(shp.shape_type, 3)
        with open(self.folder.file("segmenti.txt")) as f:
            segments = [line.split() for line in f if line.strip()]
        self.assertEqual(len(shp.records), len(segments))
        x0, y0, x1, y1 = (float(v) for v in segments[0][:4])
        # Rows turned upwards, 2 m cells from the world file's corner.
        self.assertEqual(shp.records[0].parts[0],
                         [(501000 + 2 * x0, 5002048 - 2048 + 2 * (1024 - y0 - 1)),
                          (501000 + 2 * x1, 5002048 - 2048 + 2 * (1024 - y1 - 1))])

    def test_zonrik_zones_with_their_temperatures(self):
        if not self.suite.has("zonrik"):
            self.skipTest("zonrik not built")
        shp, rows = self.assert_ogr_reads_file_as_written(self.folder.file("roof_temperature"), ogr.wkbPolygon)
        self.assertEqual(len(shp.records), len(sf.read_shp(self.folder.file("buildings_0.shp")).records))
        with open(self.folder.file("roof_temperature_temp.txt")) as f:
            report = [line.split() for line in f if line.strip() and line.split()[0].isdigit()]
        self.assertEqual([f"{float(r[0]):.2f}" for r in rows], [line[3] for line in report])

    def test_zonrik_zones_in_esri_order(self):
        if not self.suite.has("zonrik"):
            self.skipTest("zonrik not built")
        self.assert_ogr_reads_file_as_written(self.folder.file("roof_mean"), ogr.wkbPolygon)


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


class RingOrientation(ShapefileChecks):
    @classmethod
    def setUpClass(cls):
        cls.suite = sf.suite_under_test()
        cls.folder = sf.TempFolder()

    @classmethod
    def tearDownClass(cls):
        cls.folder.remove()

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
