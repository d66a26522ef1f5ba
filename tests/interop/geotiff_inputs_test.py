"""Georeferenced rasters in, placed outputs out.

A palette GeoTIFF class map (EPSG:32632, 0.5 m pixels, at a map origin) goes
into polvane as it is: burnt back onto the GeoTIFF's own grid by GDAL, every
class's polygons give exactly its pixels, in the GIS layout its input brings
and as one GeoPackage; the ".prj" is the input's CRS. The same map as a BMP
with the standard world file GDAL writes gives the same polygons, to the bit.
"""

import os
import random

import numpy as np
from osgeo import gdal, ogr, osr

import suite_files as sf
from gdal_checks import GdalMessages

gdal.UseExceptions()

ORIGIN = (500000.0, 5000512.0)
CELL = 0.5
COLOURS = [(200, 30, 30), (30, 160, 40), (20, 40, 220)]  # entries 1, 2, 3; 0 black, 4.. greys


def utm32():
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(32632)
    return srs


def random_classes(rng, width, height):
    """Palette indices: rectangles of three colours with black and grey cut
    into them, and single pixels (holes, islands, corner contacts)."""
    grid = np.zeros((height, width), dtype=np.uint8)
    for _ in range(rng.randrange(6, 16)):
        w, h = rng.randrange(1, width // 2), rng.randrange(1, height // 2)
        x, y = rng.randrange(0, width - w), rng.randrange(0, height - h)
        grid[y : y + h, x : x + w] = rng.choice([0, 1, 2, 3, 3, 7])
    for _ in range(40):
        grid[rng.randrange(height), rng.randrange(width)] = rng.choice([0, 1, 2, 3])
    return grid


def write_palette_geotiff(path, grid):
    height, width = grid.shape
    dataset = gdal.GetDriverByName("GTiff").Create(path, width, height, 1, gdal.GDT_Byte)
    dataset.SetGeoTransform((ORIGIN[0], CELL, 0.0, ORIGIN[1], 0.0, -CELL))
    dataset.SetProjection(utm32().ExportToWkt())
    table = gdal.ColorTable()
    table.SetColorEntry(0, (0, 0, 0, 255))
    for i, rgb in enumerate(COLOURS, start=1):
        table.SetColorEntry(i, rgb + (255,))
    for i in range(len(COLOURS) + 1, 256):
        table.SetColorEntry(i, (i, i, i, 255))
    band = dataset.GetRasterBand(1)
    band.SetRasterColorTable(table)
    band.WriteArray(grid)
    dataset = None


def census_order(grid):
    """Palette indices of the classes in polvane's order: first met column
    by column from the left, each column from the top."""
    order = []
    for x in range(grid.shape[1]):
        for value in grid[:, x]:
            if 1 <= value <= len(COLOURS) and value not in order:
                order.append(int(value))
    return order


def burnt(layer, like, where=None):
    """The layer's polygons burnt onto the grid of the raster `like` (pixel
    centres inside a polygon are 1)."""
    target = gdal.GetDriverByName("MEM").Create("", like.RasterXSize, like.RasterYSize, 1, gdal.GDT_Byte)
    target.SetGeoTransform(like.GetGeoTransform())
    target.SetProjection(like.GetProjection())
    if where is not None:
        layer.SetAttributeFilter(where)
    gdal.RasterizeLayer(target, [1], layer, burn_values=[1])
    if where is not None:
        layer.SetAttributeFilter(None)
    return target.GetRasterBand(1).ReadAsArray()


class PaletteGeoTiffThroughPolvane(sf.SuiteRuns):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        rng = random.Random(16)
        cls.grid = random_classes(rng, 61, 47)
        cls.tif = cls.folder.file("classes.tif")
        write_palette_geotiff(cls.tif, cls.grid)
        cls.order = census_order(cls.grid)
        cls.output = cls.suite.run("polvane", ["classes.tif", "out"], cls.folder.path)
        cls.gpkg_output = cls.suite.run("polvane", ["--of", "GPKG", "classes.tif", "zones"], cls.folder.path)

    def test_each_class_burns_back_to_its_pixels(self):
        like = gdal.Open(self.tif)
        self.assertGreater(len(self.order), 0)
        for n, index in enumerate(self.order):
            source = ogr.Open(self.folder.file(f"out_{n}.shp"))
            mask = burnt(source.GetLayer(), like)
            self.assertEqual(int((mask != (self.grid == index)).sum()), 0, f"class {n} (palette {index})")

    def test_the_prj_is_the_input_crs(self):
        for n in range(len(self.order)):
            with open(self.folder.file(f"out_{n}.prj")) as f:
                written = osr.SpatialReference()
                written.ImportFromWkt(f.read())
            self.assertTrue(written.IsSame(utm32()), f"class {n}")

    def test_gis_layout_names_each_class(self):
        for n, index in enumerate(self.order):
            base = self.folder.file(f"out_{n}")
            fields, rows = sf.read_dbf(base + ".dbf")
            self.assertEqual([f[0] for f in fields], ["Id", "CLASS_ID", "PALETTE", "RED", "GREEN", "BLUE"])
            red, green, blue = COLOURS[index - 1]
            for row in rows:
                self.assertEqual([int(v) for v in row[1:]], [n, index, red, green, blue])
            # OGR reads every polygon as valid, with its area in pixels.
            with GdalMessages() as reported:
                source = ogr.Open(base + ".shp")
                layer = source.GetLayer()
                area = sum(feature.GetGeometryRef().GetArea() for feature in layer)
                self.assertTrue(all(feature.GetGeometryRef().IsValid() for feature in layer))
            self.assertEqual(reported.messages, [])
            self.assertEqual(area, float((self.grid == index).sum()) * CELL * CELL)
            # The headers' boxes are the records' own extent, in map units.
            extent = layer.GetExtent()
            self.assertEqual(sf.read_shx_box(base + ".shx"), (extent[0], extent[2], extent[1], extent[3]))
            self.assertGreaterEqual(extent[0], ORIGIN[0])
            self.assertLessEqual(extent[3], ORIGIN[1])

    def test_one_geopackage_holds_every_blob_with_its_class(self):
        self.assertIn("zones.gpkg", sorted(os.listdir(self.folder.path)), self.gpkg_output)
        like = gdal.Open(self.tif)
        source = ogr.Open(self.folder.file("zones.gpkg"))
        layer = source.GetLayer()
        self.assertTrue(layer.GetSpatialRef().IsSame(utm32()))
        for n, index in enumerate(self.order):
            mask = burnt(layer, like, f"CLASS_ID = {n}")
            self.assertEqual(int((mask != (self.grid == index)).sum()), 0, f"class {n}")
        palettes = {feature["CLASS_ID"]: feature["PALETTE"] for feature in layer}
        self.assertEqual(palettes, {n: index for n, index in enumerate(self.order)})

    def test_the_same_map_as_bmp_with_a_standard_world_file_gives_the_same_polygons(self):
        bmp = self.folder.file("classes.bmp")
        gdal.Translate(bmp, self.tif, format="BMP", creationOptions=["WORLDFILE=YES"])
        self.assertTrue(sf.read_bytes(self.folder.file("classes.wld")))
        self.suite.run("polvane", ["--gis", "classes.bmp", "from_bmp"], self.folder.path)
        for n in range(len(self.order)):
            for extension in (".shp", ".shx", ".dbf"):
                self.assertEqual(sf.read_bytes(self.folder.file(f"from_bmp_{n}{extension}")),
                                 sf.read_bytes(self.folder.file(f"out_{n}{extension}")), f"class {n} {extension}")

    def test_a_class_map_that_is_not_byte_is_refused_naming_its_type(self):
        path = self.folder.file("float.tif")
        dataset = gdal.GetDriverByName("GTiff").Create(path, 4, 3, 1, gdal.GDT_Float32)
        dataset = None
        output = self.suite.run("polvane", ["float.tif", "none"], self.folder.path)
        self.assertIn("Float32", output)
        self.assertIn("Error in file opening", output)
        self.assertFalse(any(name.startswith("none") for name in os.listdir(self.folder.path)))


if __name__ == "__main__":
    sf.run_tests()
