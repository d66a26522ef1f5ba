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
                          "buildings/roof_temperature.shp", "geotiff/found_0.shp", "geotiff/roof_temperature.shp",
                          "lines/roads_lines.shp"])

    def test_geotiff_flow_finds_the_same_buildings_placed_in_their_crs(self):
        def layer_geometries(path):
            source = ogr.Open(path)
            layer = source.GetLayer(0)
            geometries = [f.GetGeometryRef().Clone() for f in layer]
            srs = layer.GetSpatialRef()
            return geometries, srs.GetAuthorityCode(None) if srs else None

        from_bmp, _ = layer_geometries(self.folder.file("buildings/found_0.shp"))
        from_tiff, srs = layer_geometries(self.folder.file("geotiff/found_0.shp"))
        self.assertEqual(len(from_tiff), len(from_bmp))
        # The BMP flow's mask has no world file: its polygons are in pixel
        # units, y up from the bottom edge (the town's lower-left corner is
        # 500000, 5000000 at 0.5 m).
        def rings(polygon, place):
            # Each ring as its set of vertices: the GIS layout turns rings round.
            return sorted(sorted(place(*polygon.GetGeometryRef(r).GetPoint_2D(i))
                                 for i in range(polygon.GetGeometryRef(r).GetPointCount()))
                          for r in range(polygon.GetGeometryCount()))

        for a, b in zip(from_bmp, from_tiff):
            self.assertEqual(rings(a, lambda x, y: (500000 + 0.5 * x, 5000000 + 0.5 * y)),
                             rings(b, lambda x, y: (x, y)))
        self.assertEqual(srs, "32632")
        raster = gdal.Open(self.folder.file("geotiff/buildings_raise.tif"))
        heights = raster.GetRasterBand(1).ReadAsArray()
        raw = np.fromfile(self.folder.file("buildings/buildings_raise.raw"), dtype="<f4").reshape(heights.shape)
        self.assertTrue(np.array_equal(heights, raw))

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
