"""Every file the demo writes, as GDAL and OGR read it.

The demo (demo/run_demo.sh) runs both work flows on the sample data; a few
more runs add the outputs it does not make (zonrik's cover picture, murgel
from and to RAW, stelvar's grey tones). Then every shapefile opens with OGR
with no error and the vertices and attribute values of its bytes, every
float RAW with its ENVI header opens with GDAL with its size, type and
values, and every BMP with its palette and pixels.
"""

import glob
import os
import subprocess
import sys

import numpy as np
from osgeo import gdal, ogr

import suite_files as sf
from gdal_checks import GdalChecks

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
DEMO = os.path.join(SOURCE, "demo", "run_demo.sh")


class DemoOutputs(GdalChecks):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        out = cls.folder.path
        subprocess.run(["sh", DEMO, cls.suite.bin, out], check=True, capture_output=True, timeout=600)
        buildings = cls.folder.file("buildings")
        # Cover of the roofs by temperatures between 295 and 300 K: a zone-
        # palette picture.
        cls.suite.run("zonrik", ["buildings_0.shp", "temperature.raw", "roof_cover", "c_cover", "--cover-max", 300,
                                 "--cover-min", 295], buildings)
        cls.suite.run("murgel", ["threshold_150.bmp", "raw", 40], buildings)
        cls.suite.run("murgel", ["threshold_150_out.raw", "bmp", 40], buildings)
        cls.suite.run("stelvar", ["aerial.bmp", 100, 200, 100, 1], buildings)

    def outputs(self, pattern):
        found = sorted(glob.glob(os.path.join(self.folder.path, "*", pattern)))
        self.assertTrue(found, pattern)
        return found

    def test_every_shapefile(self):
        shapefiles = self.outputs("*.shp")
        for path in shapefiles:
            shape_type = sf.read_shp(path).shape_type
            self.assert_ogr_reads_file_as_written(path[:-4], ogr.wkbPolygon if shape_type == 5 else ogr.wkbLineString)
        self.assertEqual([os.path.relpath(p, self.folder.path) for p in shapefiles],
                         ["buildings/buildings_0.shp", "buildings/found_0.shp", "buildings/roof_cover.shp",
                          "buildings/roof_temperature.shp", "lines/roads_lines.shp"])

    def test_every_float_raster_with_its_envi_header(self):
        headers = self.outputs("*.hdr")
        rasters = [h for h in headers if sf.read_envi_header(h)["data type"] == "4"]
        for header in rasters:
            self.assert_gdal_reads_envi_raster(header[:-4] + ".raw")
        self.assertEqual([os.path.relpath(p, self.folder.path) for p in rasters],
                         ["buildings/buildings_raise.hdr", "buildings/roof_cover.hdr", "buildings/roof_temperature.hdr",
                          "data/dtm.hdr", "data/temperature.hdr"])

    def test_murgel_raw_mask_opens_with_its_byte_header(self):
        raw = self.folder.file("buildings/threshold_150_out.raw")
        self.assertEqual(sf.read_envi_header(raw[:-4] + ".hdr")["data type"], "1")
        raster = gdal.Open(raw)
        self.assertEqual(raster.GetRasterBand(1).DataType, gdal.GDT_Byte)
        self.assertEqual(raster.GetRasterBand(1).ReadAsArray().tobytes(), sf.read_bytes(raw))

    def test_every_bmp(self):
        for path in self.outputs("*.bmp"):
            self.assert_gdal_reads_bmp(path)

    def test_polvane_buildings_in_map_units(self):
        shp = sf.read_shp(self.folder.file("buildings/buildings_0.shp"))
        self.assertEqual(shp.box, (500000.0, 5000000.0, 500512.0, 5000512.0))
        _fields, rows = sf.read_dbf(self.folder.file("buildings/buildings_0.dbf"))
        self.assertEqual({tuple(r) for r in rows}, {("0",)})

    def test_traskel_road_segments_in_map_units(self):
        shp = sf.read_shp(self.folder.file("lines/roads_lines.shp"))
        self.assertEqual(shp.shape_type, 3)
        with open(self.folder.file("lines/segmenti.txt")) as f:
            segments = [line.split() for line in f if line.strip()]
        self.assertEqual(len(shp.records), len(segments))
        for record, segment in zip(shp.records, segments):
            x0, y0, x1, y1 = (float(v) for v in segment[:4])
            # Rows turned upwards, 2 m cells from the world file's corner.
            self.assertEqual(record.parts, [[(501000 + 2 * x0, 5000000 + 2 * (1024 - y0 - 1)),
                                             (501000 + 2 * x1, 5000000 + 2 * (1024 - y1 - 1))]])

    def test_zonrik_values_are_the_reported_temperatures(self):
        base = self.folder.file("buildings/roof_temperature")
        shp = sf.read_shp(base + ".shp")
        self.assertEqual(len(shp.records), len(sf.read_shp(self.folder.file("buildings/buildings_0.shp")).records))
        _fields, rows = sf.read_dbf(base + ".dbf")
        with open(base + "_temp.txt") as f:
            report = [line.split() for line in f if line.strip() and line.split()[0].isdigit()]
        self.assertEqual([f"{float(r[0]):.2f}" for r in rows], [line[3] for line in report])

    def test_documented_picture_of_the_polygons_is_current(self):
        # The README's picture, drawn again from the demo's outputs by the
        # documented command, has the same pixels.
        picture = self.folder.file("sample_polygons.png")
        subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "render_polygons.py"),
                        self.folder.file("buildings/buildings.bmp"), self.folder.file("buildings/buildings_0.shp"),
                        picture, "232", "248", "384", "2"], check=True)
        drawn = gdal.Open(picture).ReadAsArray()
        self.assertEqual(drawn.shape, (3, 768, 768))
        documented = gdal.Open(os.path.join(SOURCE, "docs", "sample_polygons.png")).ReadAsArray()
        self.assertTrue(np.array_equal(drawn, documented))
        yellow = (drawn[0] == 255) & (drawn[1] == 230) & (drawn[2] == 0)
        self.assertGreater(int(yellow.sum()), 1000)


if __name__ == "__main__":
    sf.run_tests()
