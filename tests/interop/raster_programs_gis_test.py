"""Georeferenced data through talvern, murgel, stelvar, traskel and drelwin.

Each program takes a GeoTIFF (or a segments file with a world file and a
".prj") as it is: its raster outputs open in GDAL with the input's
geotransform and CRS to the bit, its --of GTiff outputs carry them with
their nodata, and Traskel's GIS layout has header boxes equal to its
records' extent. A BMP/RAW run that is not placed writes what it always
wrote; a placed one writes the same bytes and only the sidecars beside.
"""

import os

import numpy as np
from osgeo import gdal, ogr, osr

import suite_files as sf

gdal.UseExceptions()

ORIGIN = (500000.0, 5000512.0)
CELL = 0.5
GEOTRANSFORM = (ORIGIN[0], CELL, 0.0, ORIGIN[1], 0.0, -CELL)


def utm32():
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(32632)
    return srs


def write_geotiff(path, grid, data_type=gdal.GDT_Byte, colour=None, geotransform=GEOTRANSFORM):
    """A single-band GeoTIFF in EPSG:32632; with `colour` a colour table:
    0 black, 1 that colour, the rest grey."""
    height, width = grid.shape
    dataset = gdal.GetDriverByName("GTiff").Create(path, width, height, 1, data_type)
    dataset.SetGeoTransform(geotransform)
    dataset.SetProjection(utm32().ExportToWkt())
    band = dataset.GetRasterBand(1)
    if colour:
        table = gdal.ColorTable()
        for i in range(256):
            table.SetColorEntry(i, (0, 0, 0, 255) if i == 0 else colour + (255,) if i == 1 else (i, i, i, 255))
        band.SetRasterColorTable(table)
    band.WriteArray(grid)
    dataset = None


def write_prj(path):
    srs = utm32()
    srs.MorphToESRI()
    with open(path, "w") as f:
        f.write(srs.ExportToWkt())


def listing(folder):
    return sorted(os.listdir(folder))


def band_of(path):
    """GDAL's dataset and its band 1 (the band needs its dataset alive)."""
    dataset = gdal.Open(path)
    return dataset, dataset.GetRasterBand(1)


def values_of(path):
    dataset, band = band_of(path)
    return band.ReadAsArray()


class GisRuns(sf.SuiteRuns):
    """Runs in sub-folders of the class's folder."""

    @classmethod
    def sub(cls, name):
        path = cls.folder.file(name)
        os.makedirs(path, exist_ok=True)
        return path

    def assert_placed(self, path, nodata=None):
        """The raster opens in GDAL with the inputs' geotransform and CRS (a
        BMP's from the ".prj" beside it, which GDAL's BMP driver does not
        read); its nodata is `nodata`. Returns its values."""
        dataset = gdal.Open(path)
        self.assertEqual(dataset.GetGeoTransform(), GEOTRANSFORM, path)
        if path.endswith(".bmp"):
            with open(path[:-4] + ".prj") as f:
                srs = osr.SpatialReference()
                srs.ImportFromWkt(f.read())
        else:
            srs = dataset.GetSpatialRef()
        self.assertTrue(srs.IsSame(utm32()), path)
        self.assertEqual(dataset.GetRasterBand(1).GetNoDataValue(), nodata, path)
        return dataset.GetRasterBand(1).ReadAsArray()


class Talvern(GisRuns):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        building = np.zeros((30, 40), np.uint8)
        shadow = np.zeros((30, 40), np.uint8)
        building[10:16, 5:11] = 1  # rows from the top; the shadow falls to +x
        shadow[10:16, 11:21] = 1
        building[20:26, 24:28] = 1
        shadow[20:26, 28:34] = 1
        cls.tif, cls.values = cls.sub("tif"), cls.sub("values")
        write_geotiff(os.path.join(cls.tif, "b.tif"), building, colour=(255, 0, 0))
        write_geotiff(os.path.join(cls.tif, "s.tif"), shadow, colour=(0, 0, 255))
        # Without colour tables: 0 the background, 1 the class.
        write_geotiff(os.path.join(cls.values, "b.tif"), building)
        write_geotiff(os.path.join(cls.values, "s.tif"), shadow)
        # The same maps as BMPs, without and with the standard world file
        # GDAL writes (and a ".prj" beside the building map).
        cls.plain, cls.placed = cls.sub("plain"), cls.sub("placed")
        for folder, world in ((cls.plain, "NO"), (cls.placed, "YES")):
            for name in ("b", "s"):
                gdal.Translate(os.path.join(folder, name + ".bmp"), os.path.join(cls.tif, name + ".tif"),
                               format="BMP", creationOptions=["WORLDFILE=" + world])
                aux = os.path.join(folder, name + ".bmp.aux.xml")
                if os.path.exists(aux):
                    os.remove(aux)
        write_prj(os.path.join(cls.placed, "b.prj"))
        cls.plain_files = listing(cls.plain)
        angles = ["0", "45", "0.5"]
        cls.suite.run("talvern", ["b.tif", "s.tif"] + angles, cls.tif)
        cls.suite.run("talvern", ["b.tif", "s.tif"] + angles, cls.values)
        cls.suite.run("talvern", ["--of", "GTiff", "b.tif", "s.tif"] + angles, cls.tif)
        for folder in (cls.plain, cls.placed):
            cls.suite.run("talvern", ["b.bmp", "s.bmp"] + angles, folder)

    def test_geotiff_maps_give_placed_heights(self):
        heights = self.assert_placed(os.path.join(self.tif, "b_raise.raw"))
        self.assertEqual(sorted(set(heights.flatten().tolist()))[0], 0.0)
        self.assertGreater(heights.max(), 0)
        for folder in (self.plain, self.values):
            self.assertEqual(sf.read_bytes(os.path.join(self.tif, "b_raise.raw")),
                             sf.read_bytes(os.path.join(folder, "b_raise.raw")), folder)
        for sidecar in ("b_raise.wld", "b_raise.prj"):
            self.assertTrue(os.path.exists(os.path.join(self.tif, sidecar)), sidecar)

    def test_unplaced_bmp_run_writes_the_raster_and_header_alone(self):
        self.assertEqual(listing(self.plain), sorted(self.plain_files + ["b_raise.hdr", "b_raise.raw"]))
        self.assertNotIn("map info", sf.read_envi_header(os.path.join(self.plain, "b_raise.hdr")))

    def test_placed_bmp_run_adds_sidecars_and_header_lines_only(self):
        self.assertEqual(sf.read_bytes(os.path.join(self.placed, "b_raise.raw")),
                         sf.read_bytes(os.path.join(self.plain, "b_raise.raw")))
        plain_header = sf.read_bytes(os.path.join(self.plain, "b_raise.hdr"))
        placed_header = sf.read_bytes(os.path.join(self.placed, "b_raise.hdr"))
        self.assertEqual(placed_header[: len(plain_header)], plain_header)
        added = placed_header[len(plain_header):].decode("ascii").splitlines()
        self.assertEqual([line.split(" = ")[0] for line in added], ["map info", "coordinate system string"])
        self.assertIn("b_raise.wld", listing(self.placed))
        self.assert_placed(os.path.join(self.placed, "b_raise.raw"))

    def test_geotiff_output_holds_the_heights_with_nodata_zero(self):
        heights = self.assert_placed(os.path.join(self.tif, "b_raise.tif"), nodata=0.0)
        self.assertTrue(np.array_equal(heights, values_of(os.path.join(self.tif, "b_raise.raw"))))
        _, band = band_of(os.path.join(self.tif, "b_raise.tif"))
        self.assertEqual(band.DataType, gdal.GDT_Float32)

    def test_maps_placed_apart_are_refused(self):
        folder = self.sub("apart")
        write_geotiff(os.path.join(folder, "b.tif"), np.eye(8, dtype=np.uint8), colour=(255, 0, 0))
        shifted = (ORIGIN[0] + CELL, CELL, 0.0, ORIGIN[1], 0.0, -CELL)
        write_geotiff(os.path.join(folder, "s.tif"), np.eye(8, dtype=np.uint8), colour=(0, 0, 255),
                      geotransform=shifted)
        output = self.suite.run("talvern", ["b.tif", "s.tif", "0", "45", "0.5"], folder)
        self.assertIn("georeferencing of building and shadow classification should be equal", output)
        self.assertEqual(listing(folder), ["b.tif", "s.tif"])


class Murgel(GisRuns):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.mask = np.zeros((30, 40), np.uint8)
        cls.mask[5:20, 5:25] = 200
        cls.mask[10, 10] = 0  # a hole the threshold fills
        cls.mask[25, 30] = 200  # a speck it removes
        cls.tif, cls.raw = cls.sub("tif"), cls.sub("raw")
        write_geotiff(os.path.join(cls.tif, "mask.tif"), cls.mask)
        with open(os.path.join(cls.raw, "mask.raw"), "wb") as f:
            f.write(cls.mask.tobytes())
        with open(os.path.join(cls.raw, "mask.dim"), "w") as f:
            f.write("40 30\n")
        cls.suite.run("murgel", ["mask.tif", "raw", "4"], cls.tif)
        cls.suite.run("murgel", ["--of", "GTiff", "mask.tif", "bmp", "4"], cls.tif)
        cls.suite.run("murgel", ["mask.raw", "raw", "4"], cls.raw)

    def test_geotiff_mask_gives_a_placed_raw_with_its_header(self):
        self.assertEqual(listing(self.tif), ["mask.tif", "mask_out.dim", "mask_out.hdr", "mask_out.prj",
                                             "mask_out.raw", "mask_out.tif", "mask_out.wld"])
        cleaned = self.assert_placed(os.path.join(self.tif, "mask_out.raw"))
        self.assertEqual(cleaned[10, 10], 200)
        self.assertEqual(cleaned[25, 30], 0)
        self.assertEqual(sf.read_bytes(os.path.join(self.tif, "mask_out.raw")),
                         sf.read_bytes(os.path.join(self.raw, "mask_out.raw")))
        self.assertEqual(sf.read_envi_header(os.path.join(self.tif, "mask_out.hdr"))["data type"], "1")

    def test_raw_run_adds_only_the_envi_header(self):
        self.assertEqual(listing(self.raw), ["mask.dim", "mask.raw", "mask_out.dim", "mask_out.hdr", "mask_out.raw"])
        _, band = band_of(os.path.join(self.raw, "mask_out.raw"))
        self.assertEqual(band.DataType, gdal.GDT_Byte)
        self.assertTrue(np.array_equal(band.ReadAsArray(),
                                       np.frombuffer(sf.read_bytes(os.path.join(self.raw, "mask_out.raw")),
                                                     np.uint8).reshape(30, 40)))

    def test_geotiff_output_is_a_placed_palette_byte_raster(self):
        values = self.assert_placed(os.path.join(self.tif, "mask_out.tif"))
        _, band = band_of(os.path.join(self.tif, "mask_out.tif"))
        self.assertIsNotNone(band.GetColorTable())
        self.assertTrue(np.array_equal(values, values_of(os.path.join(self.tif, "mask_out.raw"))))


class Stelvar(GisRuns):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.grey = (np.arange(30 * 40).reshape(30, 40) * 7 % 256).astype(np.uint8)
        cls.tif = cls.sub("tif")
        write_geotiff(os.path.join(cls.tif, "grey.tif"), cls.grey)
        cls.suite.run("stelvar", ["grey.tif", "0", "200", "100", "0"], cls.tif)
        cls.gtiff = cls.sub("gtiff")
        write_geotiff(os.path.join(cls.gtiff, "grey.tif"), cls.grey)
        cls.suite.run("stelvar", ["--of", "GTiff", "grey.tif", "0", "200", "100", "1"], cls.gtiff)

    def test_slices_of_a_geotiff_are_placed_bmps(self):
        self.assertEqual(len(listing(self.tif)), 1 + 3 * 3)
        for t in (0, 100, 200):
            values = self.assert_placed(os.path.join(self.tif, f"threshold_{t}.bmp"))
            self.assertTrue(np.array_equal(values, np.where(self.grey <= t, 0, 255)), t)

    def test_geotiff_slices_keep_the_grey_tones(self):
        self.assertEqual(listing(self.gtiff), ["grey.tif", "threshold_0.tif", "threshold_100.tif", "threshold_200.tif"])
        for t in (0, 100, 200):
            values = self.assert_placed(os.path.join(self.gtiff, f"threshold_{t}.tif"))
            self.assertTrue(np.array_equal(values, np.where(self.grey <= t, self.grey, 255)), t)

    def test_a_float_image_is_refused_naming_its_type(self):
        folder = self.sub("float")
        write_geotiff(os.path.join(folder, "f.tif"), np.zeros((3, 4), np.float32), gdal.GDT_Float32)
        output = self.suite.run("stelvar", ["f.tif", "0", "10", "5", "0"], folder)
        self.assertIn("Float32", output)
        self.assertEqual(listing(folder), ["f.tif"])


# Segments in pixels of a 40 x 30 image (y the row from the top); the last
# one reaches outside the image.
SEGMENTS = "0 0 10 0\n10 0 10 10\n3 4 20 25\n-5 -5 50 33\n"


def write_segments_folder(folder, world_extension):
    """The segments file with a world file placing the image at ORIGIN and
    a ".prj": "seg.bpw" holds the outer corner, "seg.wld" the pixel centre."""
    with open(os.path.join(folder, "seg.txt"), "w") as f:
        f.write(SEGMENTS)
    x, y = ORIGIN if world_extension == "bpw" else (ORIGIN[0] + CELL / 2, ORIGIN[1] - CELL / 2)
    with open(os.path.join(folder, "seg." + world_extension), "w") as f:
        f.write(f"{CELL}\n0\n0\n{-CELL}\n{x}\n{y}\n")
    write_prj(os.path.join(folder, "seg.prj"))


class Traskel(GisRuns):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.placed = cls.sub("placed")
        write_segments_folder(cls.placed, "wld")
        for args in (["seg.txt", "out", "40", "30"], ["--gis", "seg.txt", "gis", "40", "30"],
                     ["--of", "GPKG", "seg.txt", "lines", "40", "30"]):
            cls.suite.run("traskel", args, cls.placed)

    def test_a_standard_world_file_places_the_vertices_and_the_prj_is_carried(self):
        shp = sf.read_shp(os.path.join(self.placed, "out.shp"))
        # Vertex (3, 4): column 3, row 4 from the top, at the lower-left
        # corner of its pixel.
        self.assertEqual(shp.records[2].parts[0][0], (ORIGIN[0] + 3 * CELL, ORIGIN[1] - 5 * CELL))
        with open(os.path.join(self.placed, "out.prj")) as f:
            written = osr.SpatialReference()
            written.ImportFromWkt(f.read())
        self.assertTrue(written.IsSame(utm32()))

    def test_gis_layout_boxes_are_the_records_extent(self):
        shp = sf.read_shp(os.path.join(self.placed, "gis.shp"))
        boxes = [record.box for record in shp.records]
        extent = (min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes),
                  max(b[3] for b in boxes))
        self.assertEqual(shp.box, extent)
        self.assertEqual(sf.read_shx_box(os.path.join(self.placed, "gis.shx")), extent)
        self.assertLess(extent[0], ORIGIN[0])  # the last segment leaves the image
        self.assertEqual([r.parts for r in shp.records], [r.parts for r in sf.read_shp(
            os.path.join(self.placed, "out.shp")).records])

    def test_geopackage_holds_the_same_lines_with_the_crs(self):
        self.assertNotIn("lines.shp", listing(self.placed))
        source = ogr.Open(os.path.join(self.placed, "lines.gpkg"))
        layer = source.GetLayer()
        self.assertTrue(layer.GetSpatialRef().IsSame(utm32()))
        lines = [feature.GetGeometryRef().GetGeometryRef(0).GetPoints() for feature in layer]
        shp = sf.read_shp(os.path.join(self.placed, "out.shp"))
        self.assertEqual(lines, [record.parts[0] for record in shp.records])


class Drelwin(GisRuns):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.placed, cls.plain = cls.sub("placed"), cls.sub("plain")
        write_segments_folder(cls.placed, "bpw")
        with open(os.path.join(cls.plain, "seg.txt"), "w") as f:
            f.write(SEGMENTS)
        cls.suite.run("drelwin", ["seg.txt", "out.bmp", "40", "30"], cls.placed)
        cls.suite.run("drelwin", ["--of", "GTiff", "seg.txt", "lines.bmp", "40", "30"], cls.placed)
        cls.suite.run("drelwin", ["seg.txt", "out.bmp", "40", "30"], cls.plain)

    def test_the_segments_world_file_places_the_image(self):
        self.assert_placed(os.path.join(self.placed, "out.bmp"))
        self.assertEqual(sf.read_bytes(os.path.join(self.placed, "out.bmp")),
                         sf.read_bytes(os.path.join(self.plain, "out.bmp")))
        self.assertEqual(listing(self.plain), ["out.bmp", "seg.txt"])

    def test_geotiff_output_is_placed(self):
        self.assertIn("lines.tif", listing(self.placed))
        self.assertNotIn("lines.bmp", listing(self.placed))
        values = self.assert_placed(os.path.join(self.placed, "lines.tif"))
        self.assertTrue(np.array_equal(values, values_of(os.path.join(self.placed, "out.bmp"))))


if __name__ == "__main__":
    sf.run_tests()
