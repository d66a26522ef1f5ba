"""Georeferenced rasters into zonrik, kestrom and vorlix.

Zonrik measures a GeoTIFF background with a nodata value inside polvane's
polygons of a class map on the same grid: each zone's mean is numpy's mean
over the blob's valid pixels, its value raster opens in GDAL where the
background lies, and its GeoTIFF and GeoPackage outputs hold the same
values. Kestrom and vorlix give on a GeoTIFF what they give on the RAW form
of the same data; vorlix places its segments beside them.
"""

import math
import os
import random

import numpy as np
from osgeo import gdal, ogr, osr

import suite_files as sf
from geotiff_inputs_test import ORIGIN, CELL, random_classes, utm32, write_palette_geotiff

gdal.UseExceptions()

NODATA = -9999.0


def write_geotiff(path, values, data_type, nodata=None, origin=ORIGIN, cell=CELL):
    height, width = values.shape
    dataset = gdal.GetDriverByName("GTiff").Create(path, width, height, 1, data_type)
    dataset.SetGeoTransform((origin[0], cell, 0.0, origin[1], 0.0, -cell))
    dataset.SetProjection(utm32().ExportToWkt())
    band = dataset.GetRasterBand(1)
    if nodata is not None:
        band.SetNoDataValue(nodata)
    band.WriteArray(values)
    dataset = None


def blob_labels(shapefile, like):
    """Feature i of the shapefile burnt as i + 1 onto the grid of `like`
    (one class's blobs never overlap)."""
    source = ogr.Open(shapefile)
    layer = source.GetLayer()
    labels = np.zeros((like.RasterYSize, like.RasterXSize), dtype=np.int32)
    target = gdal.GetDriverByName("MEM").Create("", like.RasterXSize, like.RasterYSize, 1, gdal.GDT_Byte)
    target.SetGeoTransform(like.GetGeoTransform())
    for fid in range(layer.GetFeatureCount()):
        target.GetRasterBand(1).Fill(0)
        layer.SetAttributeFilter(f"FID = {fid}")
        gdal.RasterizeLayer(target, [1], layer, burn_values=[1])
        labels[target.GetRasterBand(1).ReadAsArray() == 1] = fid + 1
    return labels


def read_numbers(path):
    with open(path) as f:
        return [float(word) for word in f.read().split()]


def zones(path):
    """(RECORD, VALUE) of every feature; VALUE None where empty."""
    source = ogr.Open(path)
    return [(feature["RECORD"], feature["VALUE"]) for feature in source.GetLayer()]


class ZonrikOnAGeoTiffBackground(sf.SuiteRuns):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        rng = random.Random(19)
        cls.classes = random_classes(rng, 53, 41)
        write_palette_geotiff(cls.folder.file("classes.tif"), cls.classes)
        values = np.array([[rng.uniform(-50, 400) for _ in range(53)] for _ in range(41)], dtype=np.float32)
        for _ in range(300):
            values[rng.randrange(41), rng.randrange(53)] = NODATA
        values[:8, :8] = NODATA  # whole blobs without a valid pixel, as likely as not
        cls.values = values
        write_geotiff(cls.folder.file("bg.tif"), values, gdal.GDT_Float32, NODATA)
        cls.suite.run("polvane", ["classes.tif", "blobs"], cls.folder.path)
        cls.class_count = len([n for n in os.listdir(cls.folder.path) if n.startswith("blobs_") and n.endswith(".shp")])
        cls.outputs = {}
        for n in range(cls.class_count):
            for form, args in (("raw", []), ("tif", ["--of", "GTiff"]), ("gpkg", ["--of", "GPKG"])):
                name = f"{form}_{n}"
                cls.outputs[name] = cls.suite.run("zonrik", args + [f"blobs_{n}.shp", "bg.tif", name, "mean"],
                                                  cls.folder.path)
        cls.suite.run("zonrik", ["--of", "GTiff", "blobs_0.shp", "bg.tif", "snow", "c_cover", "--cover-max", 300,
                                 "--cover-min", 0], cls.folder.path)

    def test_each_zone_mean_is_the_mean_of_its_valid_pixels(self):
        like = gdal.Open(self.folder.file("bg.tif"))
        valid = self.values != NODATA
        self.assertGreater(self.class_count, 1)
        empty = 0
        for n in range(self.class_count):
            labels = blob_labels(self.folder.file(f"blobs_{n}.shp"), like)
            measured = zones(self.folder.file(f"raw_{n}.shp"))
            # Every blob measured once, in the input's record order.
            self.assertEqual([record for record, _ in measured], list(range(1, labels.max() + 1)), self.outputs[f"raw_{n}"])
            for record, value in measured:
                pixels = self.values[(labels == record) & valid]
                if pixels.size == 0:
                    empty += 1
                    self.assertIsNone(value, f"class {n} record {record}")
                    continue
                expected = float(np.mean(pixels, dtype=np.float64))
                self.assertAlmostEqual(value, expected, delta=1e-6 + 1e-6 * abs(expected), msg=f"class {n} record {record}")
        self.assertGreater(empty, 0)

    def test_the_value_raster_lies_where_the_background_lies(self):
        background = gdal.Open(self.folder.file("bg.tif"))
        for n in range(self.class_count):
            raster = gdal.Open(self.folder.file(f"raw_{n}.raw"))
            self.assertEqual(raster.GetDriver().ShortName, "ENVI")
            self.assertEqual(raster.GetGeoTransform(), background.GetGeoTransform())
            self.assertTrue(raster.GetSpatialRef().IsSame(utm32()))
            with open(self.folder.file(f"raw_{n}.prj")) as f:
                self.assertTrue(osr.SpatialReference(f.read()).IsSame(utm32()))
            # The standard world file places the raster the same.
            world = read_numbers(self.folder.file(f"raw_{n}.wld"))
            gt = background.GetGeoTransform()
            self.assertEqual(world, [gt[1], gt[4], gt[2], gt[5], gt[0] + gt[1] / 2, gt[3] + gt[5] / 2])

    def test_geotiff_and_geopackage_hold_the_same_zones(self):
        for n in range(self.class_count):
            raw = gdal.Open(self.folder.file(f"raw_{n}.raw")).ReadAsArray()
            tif = gdal.Open(self.folder.file(f"tif_{n}.tif"))
            self.assertEqual(tif.GetGeoTransform(), gdal.Open(self.folder.file("bg.tif")).GetGeoTransform())
            self.assertTrue(tif.GetSpatialRef().IsSame(utm32()))
            self.assertTrue(math.isnan(tif.GetRasterBand(1).GetNoDataValue()))
            values = tif.ReadAsArray()
            labels = blob_labels(self.folder.file(f"blobs_{n}.shp"), tif)
            inside = labels > 0
            np.testing.assert_array_equal(values[inside], raw[inside])
            self.assertTrue(np.isnan(values[~inside]).all())
            self.assertTrue((raw[~inside] == 0).all())
            # The GeoPackage: the shapefile's zones, values and records.
            package = ogr.Open(self.folder.file(f"gpkg_{n}.gpkg"))
            layer = package.GetLayer()
            self.assertTrue(layer.GetSpatialRef().IsSame(utm32()))
            # Its values are the floats themselves; the table's have six decimals.
            package_zones = zones(self.folder.file(f"gpkg_{n}.gpkg"))
            table_zones = zones(self.folder.file(f"raw_{n}.shp"))
            self.assertEqual([r for r, _ in package_zones], [r for r, _ in table_zones])
            for (record, value), (_, written) in zip(package_zones, table_zones):
                if written is None:
                    self.assertIsNone(value, f"record {record}")
                else:
                    self.assertAlmostEqual(value, written, delta=5e-7, msg=f"record {record}")
            areas = [f.GetGeometryRef().GetArea() if f.GetGeometryRef() else 0.0 for f in layer]
            shapefile = ogr.Open(self.folder.file(f"raw_{n}.shp"))
            shapes = shapefile.GetLayer()
            self.assertEqual(areas, [f.GetGeometryRef().GetArea() if f.GetGeometryRef() else 0.0 for f in shapes])
            self.assertFalse(os.path.exists(self.folder.file(f"gpkg_{n}.shp")))

    def test_cover_picture_as_a_palette_geotiff(self):
        picture = gdal.Open(self.folder.file("snow_cover.tif"))
        self.assertEqual(picture.GetGeoTransform(), gdal.Open(self.folder.file("bg.tif")).GetGeoTransform())
        self.assertEqual(picture.GetRasterBand(1).GetColorTable().GetCount(), 256)
        indices = picture.ReadAsArray()
        labels = blob_labels(self.folder.file("blobs_0.shp"), picture)
        valid = self.values != NODATA
        # Pixels without a value show as no zone, and are left out of the
        # percentage: covered over the valid pixels only.
        self.assertTrue((indices[(labels == 0) | ~valid] == 255).all())
        self.assertTrue((indices[(labels > 0) & valid & (self.values >= 300)] == 16).all())
        with open(self.folder.file("snow_cover.txt")) as f:
            lines = [line.split() for line in f.read().splitlines() if line[:1].isdigit()]
        self.assertEqual([int(line[2]) for line in lines],
                         [int(((labels == r) & valid).sum()) for r in range(1, labels.max() + 1)])


class KestromAndVorlixOnGeoTiffs(sf.SuiteRuns):
    def test_kestrom_reports_the_same_crossings_and_none_over_nodata(self):
        dtm = np.full((60, 60), 100.0, dtype=np.float32)
        dtm[13:18, 13:18] = 104.0  # crossing (15, 15)
        dtm[38:43, 38:43] = 109.5  # crossing (40, 40)
        dtm[40, 50] = NODATA       # in the row mean of (40, 40)
        dtm.tofile(self.folder.file("dtm.raw"))
        with open(self.folder.file("dtm.dim"), "w") as f:
            f.write("60\t60\n")
        write_geotiff(self.folder.file("plain.tif"), dtm, gdal.GDT_Float32)
        write_geotiff(self.folder.file("holes.tif"), dtm, gdal.GDT_Float32, NODATA)
        with open(self.folder.file("pairs.txt"), "w") as f:
            f.write("10 10 20 20 10 20 20 10\n35 35 45 45 35 45 45 35\n")
        reports = {}
        for dtm_name in ("dtm", "plain.tif", "holes.tif"):
            self.suite.run("kestrom", ["pairs.txt", dtm_name], self.folder.path)
            with open(self.folder.file("crossover_pairs.txt")) as f:
                reports[dtm_name] = f.read()
        self.assertEqual(reports["plain.tif"], reports["dtm"])
        self.assertEqual(reports["dtm"].splitlines()[0], "15\t15\t4.00")
        self.assertEqual(len(reports["dtm"].splitlines()), 2)
        self.assertEqual(reports["holes.tif"], "15\t15\t4.00\n")

    def test_vorlix_finds_the_same_segments_and_places_them(self):
        rng = np.random.default_rng(7)
        image = (180 + rng.integers(0, 25, (64, 80))).astype(np.uint8)
        image[30:33, 5:75] = 40
        image[5:60, 40:42] = 55
        image.tofile(self.folder.file("roads.raw"))
        write_geotiff(self.folder.file("roads.tif"), image, gdal.GDT_Byte, origin=(600000.0, 5100000.0), cell=2.0)
        segments = {}
        for args in (["roads", 80, 64], ["roads.tif", 0, 0]):
            self.suite.run("vorlix", args, self.folder.path)
            segments[args[0]] = sf.read_bytes(self.folder.file("segmenti.txt"))
        self.assertEqual(segments["roads.tif"], segments["roads"])
        self.assertGreater(len(segments["roads"]), 0)
        world = read_numbers(self.folder.file("segmenti.bpw"))
        self.assertEqual(world, [2.0, 0.0, 0.0, -2.0, 600000.0, 5100000.0])  # the outer corner
        with open(self.folder.file("segmenti.prj")) as f:
            self.assertTrue(osr.SpatialReference(f.read()).IsSame(utm32()))
        # A raster that is not Byte is refused, naming its type.
        write_geotiff(self.folder.file("float.tif"), image.astype(np.float32), gdal.GDT_Float32)
        output = self.suite.run("vorlix", ["float.tif", 0, 0], self.folder.path)
        self.assertIn("Float32", output)


if __name__ == "__main__":
    sf.run_tests()
