"""suite-tiles against one run of the program on the whole mosaic: the same
files, byte for byte, on random class maps, grey images and masks, tiled in
several sizes; a mosaic given as a folder of GeoTIFF tiles; a tile that fails
and the run that completes it."""

import os
import shutil
import subprocess
import sys

import numpy as np
from osgeo import gdal, ogr, osr

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "interop"))
from suite_files import SuiteRuns, run_tests  # noqa: E402

BUILD = os.path.abspath(os.environ.get("SUITE_BUILD_DIR", "build"))
sys.path.insert(0, os.path.join(BUILD, "bin", "suite-tiles.d"))
import tiling  # noqa: E402

gdal.UseExceptions()

CLASS_COLOURS = [(200, 30, 40), (20, 160, 60), (40, 60, 220), (250, 200, 0)]


def class_palette():
    palette = bytearray(tiling.grey_palette())
    for i, (r, g, b) in enumerate(CLASS_COLOURS, start=1):
        palette[4 * i : 4 * i + 3] = bytes((b, g, r))
    return bytes(palette)


def random_class_map(rng, width, height):
    """Scattered pixels and clumps of four classes on grey, with frames
    holding islands, a diagonal pair across the corner of tiles of 16 and a
    ring over four such tiles."""
    pixels = np.zeros((height, width), dtype=np.uint8)
    scatter = rng.random((height, width)) < 0.3
    pixels[scatter] = rng.integers(1, 5, size=scatter.sum())
    for _ in range(3):
        x, y = int(rng.integers(0, width - 12)), int(rng.integers(0, height - 12))
        c = int(rng.integers(1, 5))
        pixels[y : y + 12, x : x + 12] = c
        pixels[y + 2 : y + 10, x + 2 : x + 10] = 0
        pixels[y + 5 : y + 7, x + 5 : x + 7] = c
    pixels[14:18, 14:18] = 0
    pixels[15, 15] = pixels[16, 16] = 1
    pixels[10:22, 10] = pixels[10:22, 21] = pixels[10, 10:22] = pixels[21, 10:22] = 2
    return pixels


def shaded_buildings(rng, width, height, azimuth, largest, shadow_length, clear_corner=0):
    """Building and shadow maps (rows top first): rectangular buildings of 1
    to `largest` pixels each way on black, apart from one another, one
    across a corner of tiles of 16, none within `clear_corner` pixels of the
    top-left corner; each casts its shadow `shadow_length` pixels down the
    sun (azimuth in degrees from +x towards the top) where no building
    stands."""
    buildings = np.zeros((height, width), dtype=np.uint8)
    boxes = [(14, 14, 4, 3)]
    for _ in range(width * height // 40):
        w, h = (int(v) for v in rng.integers(1, largest + 1, 2))
        boxes.append((int(rng.integers(1, width - w)), int(rng.integers(1, height - h)), w, h))
    for x, y, w, h in boxes:
        if not buildings[max(0, y - 2) : y + h + 2, max(0, x - 2) : x + w + 2].any() and \
                (x >= clear_corner or y >= clear_corner):
            buildings[y : y + h, x : x + w] = 1
    shadows = np.zeros_like(buildings)
    rows, columns = np.nonzero(buildings)
    dx, dy = np.cos(np.radians(azimuth)), -np.sin(np.radians(azimuth))
    for t in np.arange(0.5, shadow_length + 0.5, 0.5):
        sx, sy = np.rint(columns + t * dx).astype(int), np.rint(rows + t * dy).astype(int)
        inside = (sx >= 0) & (sx < width) & (sy >= 0) & (sy < height)
        shadows[sy[inside], sx[inside]] = 3
    shadows[buildings == 1] = 0
    return buildings, shadows


def random_zones(rng, path, width, height, world):
    """A polygon shapefile over a width x height background placed by
    `world` (x size, y size, left, top): triangles and boxes anywhere,
    overlapping, some across tiles of 2 to 16; a box with a hole over four
    tiles of 16; a thin sliver; one polygon off the background (skipped)."""
    a, e, left, top = world

    def ring(points):
        r = ogr.Geometry(ogr.wkbLinearRing)
        for x, y in points + points[:1]:
            r.AddPoint_2D(left + x * a, top + (height - y) * e)
        return r

    fixed = [[[(10.3, 10.2), (22.7, 10.2), (22.7, 22.6), (10.3, 22.6)], [(14.5, 14.5), (18.5, 14.5), (18.5, 18.5)]],
             [[(3.2, 30.1), (3.6, 30.1), (3.6, 33.8)]], [[(-5.0, 2.0), (4.0, 2.0), (4.0, 6.0)]]]
    shapes = [[[(x * width / 40, y * height / 36) for x, y in points] for points in rings] for rings in fixed]
    for _ in range(12):
        x, y = rng.uniform(0, width - 2), rng.uniform(0, height - 2)
        w, h = rng.uniform(0.5, min(18, width - x)), rng.uniform(0.5, min(18, height - y))
        if rng.random() < 0.5:
            shapes.append([[(x, y), (x + w, y), (x + w, y + h), (x, y + h)]])
        else:
            shapes.append([[(x, y), (x + w, y + rng.uniform(0, h)), (x + rng.uniform(0, w), y + h)]])
    source = ogr.GetDriverByName("ESRI Shapefile").CreateDataSource(path)
    layer = source.CreateLayer("zones", geom_type=ogr.wkbPolygon)
    for rings in shapes:
        polygon = ogr.Geometry(ogr.wkbPolygon)
        for points in rings:
            polygon.AddGeometry(ring(points))
        feature = ogr.Feature(layer.GetLayerDefn())
        feature.SetGeometry(polygon)
        layer.CreateFeature(feature)
    source = None


class TileCensus(SuiteRuns):
    def test_census_of_column_blocks_as_a_plain_column_scan(self):
        rng = np.random.default_rng(8)
        for trial in range(40):
            height, width = (int(v) for v in rng.integers(1, 150, 2))
            levels = 256 if trial % 2 else 5
            pixels = (rng.integers(0, levels, (height, width)) * (1 if trial % 2 else 37)).astype(np.uint8)
            palette = bytes(rng.integers(0, 256, 1024, dtype=np.uint8))
            colours = tiling.packed_colours(palette)
            first = {}
            for x in range(width):
                for y in range(height):
                    c = int(colours[pixels[y, x]])
                    if c % 65793 and c not in first:
                        first[c] = x * height + y
            self.assertEqual(tiling.class_census(pixels, palette), sorted((i, c) for c, i in first.items()))


class TiledRuns(SuiteRuns):
    def setUp(self):
        if shutil.which("snakemake") is None:
            self.skipTest("Snakemake is not installed")
        self.work = os.path.join(self.folder.path, self.id().split(".")[-1])
        os.makedirs(self.work)

    def tiles(self, *args, programs=None, env=None):
        args = [str(a) for a in args]
        if programs:
            args[3:3] = ["--programs", programs]
        command = [os.path.join(self.suite.bin, "suite-tiles")] + args
        environment = {k: v for k, v in os.environ.items() if k != "SUITE_SHAPEFILE_RINGS"}
        environment.update(env or {})
        return subprocess.run(command, cwd=self.work, capture_output=True, text=True, timeout=900, env=environment)

    def one_run(self, program, *args):
        self.suite.run(program, args, self.work)

    def assertSameFiles(self, names, folder):
        self.assertTrue(names)
        for name in names:
            with open(os.path.join(self.work, name), "rb") as a, open(os.path.join(folder, name), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)

    def place(self, name, world, epsg):
        """A standard world file and an ESRI ".prj" beside name.bmp."""
        with open(os.path.join(self.work, name + ".wld"), "w") as f:
            f.write(world)
        srs = osr.SpatialReference()
        srs.ImportFromEPSG(epsg)
        srs.MorphToESRI()
        with open(os.path.join(self.work, name + ".prj"), "w") as f:
            f.write(srs.ExportToWkt())

    def outputs(self, prefix):
        return sorted(n for n in os.listdir(self.work) if n.startswith(prefix) and os.path.isfile(os.path.join(self.work, n)))

    def test_polvane_tiles_of_several_sizes_give_one_runs_shapefiles(self):
        rng = np.random.default_rng(3)
        tiling.write_bmp(os.path.join(self.work, "classes.bmp"), random_class_map(rng, 40, 40), class_palette())
        with open(os.path.join(self.work, "classes.bpw"), "w") as f:
            f.write("0.5\n0\n0\n-0.5\n420000.25\n5100000\n")
        self.one_run("polvane", "classes.bmp", "zones")
        for tile in (16, 27):
            out = os.path.join(self.work, f"out{tile}")
            done = self.tiles("polvane", "classes.bmp", out, "--tile", tile, "--jobs", 2, "--", "zones")
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            self.assertSameFiles(self.outputs("zones_"), out)
            self.assertEqual(sorted(os.listdir(out)), self.outputs("zones_"))
        # Rings in the orientation GIS readers expect, as one run writes them.
        self.suite.run("polvane", ["classes.bmp", "esri"], self.work, env={"SUITE_SHAPEFILE_RINGS": "esri"})
        out = os.path.join(self.work, "out_esri")
        done = self.tiles("polvane", "classes.bmp", out, "--tile", 27, "--", "esri", env={"SUITE_SHAPEFILE_RINGS": "esri"})
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertSameFiles(self.outputs("esri_"), out)

    def write_geotiff(self, name, pixels, table=True):
        """A class map as GeoTIFF: placed, with a CRS, with or without colour table."""
        height, width = pixels.shape
        ds = gdal.GetDriverByName("GTiff").Create(os.path.join(self.work, name), width, height, 1, gdal.GDT_Byte)
        ds.SetGeoTransform((600000.0, 0.5, 0, 5000000.0, 0, -0.5))
        srs = osr.SpatialReference()
        srs.ImportFromEPSG(32632)
        ds.SetProjection(srs.ExportToWkt())
        band = ds.GetRasterBand(1)
        if table:
            colours = gdal.ColorTable()
            palette = class_palette()
            for i in range(256):
                colours.SetColorEntry(i, (palette[4 * i + 2], palette[4 * i + 1], palette[4 * i], 255))
            band.SetColorTable(colours)
        band.WriteArray(pixels)

    def test_polvane_options_and_gis_layout_as_one_run(self):
        # A GeoTIFF is read through GDAL: the GIS layout and a .prj by
        # default; without colour table every value is a class, grey 0
        # included (one blob round all others, across every tile).
        rng = np.random.default_rng(9)
        pixels = random_class_map(rng, 40, 40)
        self.write_geotiff("table.tif", pixels)
        self.write_geotiff("values.tif", pixels, table=False)
        tiling.write_bmp(os.path.join(self.work, "classes.bmp"), pixels, class_palette())
        srs = osr.SpatialReference()
        srs.ImportFromEPSG(25832)
        srs.MorphToESRI()
        with open(os.path.join(self.work, "classes.prj"), "w") as f:
            f.write(srs.ExportToWkt())
        runs = [("table.tif", [], "gis", 16), ("values.tif", [], "values", 13),
                ("classes.bmp", ["--gis", "--mask"], "mask", 11)]
        for mosaic, options, name, tile in runs:
            self.one_run("polvane", *options, mosaic, name)
            out = os.path.join(self.work, f"out_{name}_{tile}")
            done = self.tiles("polvane", mosaic, out, "--tile", tile, "--jobs", 2, "--", *options, name)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            self.assertEqual(sorted(os.listdir(out)), self.outputs(name + "_"))
            self.assertSameFiles(self.outputs(name + "_"), out)
        self.assertIn("gis_0.prj", self.outputs("gis_"))
        self.assertIn("mask_0.prj", self.outputs("mask_"))

        # One GeoPackage: the same features, fields and CRS.
        def features(path):
            source = ogr.Open(path)  # kept open while its layer is read
            layer = source.GetLayer(0)
            rows = [(f.GetGeometryRef().ExportToWkt(), [f.GetField(i) for i in range(f.GetFieldCount())])
                    for f in layer]
            return layer.GetName(), layer.GetSpatialRef().ExportToWkt(), rows

        self.one_run("polvane", "--of", "GPKG", "table.tif", "package")
        out = os.path.join(self.work, "out_package")
        done = self.tiles("polvane", "table.tif", out, "--tile", 16, "--", "--of", "GPKG", "package")
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual(os.listdir(out), ["package.gpkg"])
        self.assertEqual(features(os.path.join(out, "package.gpkg")), features(os.path.join(self.work, "package.gpkg")))

    def test_folder_of_geotiffs_is_one_mosaic(self):
        rng = np.random.default_rng(4)
        pixels = random_class_map(rng, 40, 36)
        folder = os.path.join(self.work, "town")
        os.makedirs(folder)
        table = gdal.ColorTable()
        palette = class_palette()
        for i in range(256):
            table.SetColorEntry(i, (palette[4 * i + 2], palette[4 * i + 1], palette[4 * i], 255))
        for n, (x, y, w, h) in enumerate([(0, 0, 25, 20), (25, 0, 15, 20), (0, 20, 25, 16), (25, 20, 15, 16)]):
            ds = gdal.GetDriverByName("GTiff").Create(os.path.join(folder, f"part{n}.tif"), w, h, 1, gdal.GDT_Byte)
            ds.SetGeoTransform((600000.0 + 0.25 * x, 0.25, 0, 5000000.0 - 0.25 * y, 0, -0.25))
            band = ds.GetRasterBand(1)
            band.SetColorTable(table)
            band.WriteArray(pixels[y : y + h, x : x + w])
            ds = None
        # One run on the tiles' VRT, read through GDAL as the folder is.
        gdal.BuildVRT(os.path.join(self.work, "town.vrt"),
                      [os.path.join(folder, f"part{n}.tif") for n in range(4)])
        self.one_run("polvane", "town.vrt", "town")
        out = os.path.join(self.work, "out")
        done = self.tiles("polvane", "town", out, "--tile", 16)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertSameFiles(self.outputs("town_"), out)

    def test_stelvar_slices_put_together(self):
        rng = np.random.default_rng(5)
        grey = rng.integers(0, 256, size=(37, 53), dtype=np.uint8)
        tiling.write_bmp(os.path.join(self.work, "grey.bmp"), grey, tiling.grey_palette())
        self.one_run("stelvar", "grey.bmp", 0, 255, 100, 1)
        out = os.path.join(self.work, "out")
        done = self.tiles("stelvar", "grey.bmp", out, "--tile", 16, "--", 0, 255, 100, 1)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertSameFiles(self.outputs("threshold_"), out)

    def test_murgel_buildings_smaller_than_the_overlap_as_one_run(self):
        # Buildings of up to `overlap` pixels each way, apart from one
        # another, some across seams and tile corners.
        rng = np.random.default_rng(6)
        for overlap, kind in ((1, "bmp"), (2, "raw"), (5, "bmp")):
            mask = np.zeros((30, 33), dtype=np.uint8)
            cell = overlap + 3
            for y in range(1, 30 - cell, cell):
                for x in range(1, 33 - cell, cell):
                    block = rng.random((overlap, overlap)) < 0.7
                    mask[y : y + overlap, x : x + overlap] = np.where(block, 255, 0)
            name = f"mask{overlap}"
            tiling.write_bmp(os.path.join(self.work, name + ".bmp"), mask, tiling.grey_palette())
            if kind == "raw":
                # A placed mosaic: the results' world file, ".prj" and map info as one run's.
                self.place(name, "0.25\n0\n0\n-0.25\n500000.125\n5000000.875\n", 32632)
            self.one_run("murgel", name + ".bmp", kind, 3)
            out = os.path.join(self.work, f"out{overlap}")
            done = self.tiles("murgel", name + ".bmp", out, "--tile", 12, "--overlap", overlap, "--", kind, 3)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            self.assertSameFiles(self.outputs(name + "_out"), out)

    def test_talvern_buildings_smaller_than_the_overlap_as_one_run(self):
        # Azimuth 12.83858 puts the default 20-pixel search end a few
        # millionths past a half pixel, where single precision rounds
        # differently in tile and mosaic coordinates.
        rng = np.random.default_rng(10)
        runs = [(12.83858, None, 23, 6, 0), (137.4, 8, 17, 5, 20), (250.0, 8, 16, 6, 0), (300.7, 6, 31, 4, 45)]
        for n, (azimuth, search, tile, overlap, clear_corner) in enumerate(runs):
            buildings, shadows = shaded_buildings(rng, 90, 70, azimuth, overlap, (search or 20) - 2, clear_corner)
            for name, pixels in ((f"b{n}", buildings), (f"s{n}", shadows)):
                tiling.write_bmp(os.path.join(self.work, name + ".bmp"), pixels, class_palette())
                self.place(name, "0.5\n0\n0\n-0.5\n420000.25\n5100000.75\n", 32633)
            parameters = os.path.join(self.work, "raise_parameters.txt")
            if search:
                with open(parameters, "w") as f:
                    f.write(f"max_lenght_shadow = {search}\n")
            elif os.path.exists(parameters):
                os.remove(parameters)
            numbers = [repr(azimuth), "35", "0.25"]
            self.one_run("talvern", f"b{n}.bmp", f"s{n}.bmp", *numbers)
            out = os.path.join(self.work, f"out{n}")
            done = self.tiles("talvern", f"b{n}.bmp", out, "--tile", tile, "--overlap", overlap, "--jobs", 2,
                              "--", f"s{n}.bmp", *numbers)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            self.assertEqual(sorted(os.listdir(out)), self.outputs(f"b{n}_raise"))
            self.assertSameFiles(self.outputs(f"b{n}_raise"), out)
            heights = np.fromfile(os.path.join(out, f"b{n}_raise.raw"), dtype="<f4")
            self.assertGreater(np.count_nonzero(heights), buildings.sum() // 2)

        # Two building colours, each alone in its tile: refused as one run refuses them.
        two = np.zeros_like(buildings)
        two[10:13, 5:8], two[10:13, 80:83] = 1, 2
        tiling.write_bmp(os.path.join(self.work, "two.bmp"), two, class_palette())
        shutil.copy(os.path.join(self.work, f"b{n}.wld"), os.path.join(self.work, "two.wld"))
        done = self.tiles("talvern", "two.bmp", os.path.join(self.work, "two"), "--tile", 45, "--overlap", 4,
                          "--", f"s{n}.bmp", *numbers)
        self.assertEqual(done.returncode, 1)
        self.assertIn("Building classification should contain just one color", done.stderr)

    def test_zonrik_zones_measured_from_tiles_as_one_run(self):
        # A float background with NaN pixels, as RAW (".dim", ".rww") and as
        # a GeoTIFF with a nodata value (read through GDAL: the GIS layout).
        rng = np.random.default_rng(18)
        self.zonrik_as_one_run(rng, 40, 36, [("mean", ["--partial"], 20), ("c_cover", [], 16)])
        # Tiles of one and two pixels.
        self.zonrik_as_one_run(rng, 3, 2, [("variance", [], 1), ("sp_temp", [], 2)], "small")

    def zonrik_as_one_run(self, rng, width, height, runs, prefix=""):
        values = rng.normal(30, 20, (height, width)).astype("<f4")
        values[rng.random((height, width)) < 0.05] = np.nan
        values[rng.random((height, width)) < 0.05] = -9999
        values.tofile(os.path.join(self.work, "ground.raw"))
        with open(os.path.join(self.work, "ground.dim"), "w") as f:
            f.write(f"{width} {height}\n")
        with open(os.path.join(self.work, "ground.rww"), "w") as f:
            f.write("0.5\n0\n0\n-0.5\n420000.0\n5100000.0\n")
        ds = gdal.GetDriverByName("GTiff").Create(os.path.join(self.work, "grid.tif"), width, height, 1,
                                                  gdal.GDT_Float32)
        ds.SetGeoTransform((420000.0, 0.5, 0, 5100000.0, 0, -0.5))
        ds.GetRasterBand(1).SetNoDataValue(-9999)
        ds.GetRasterBand(1).WriteArray(values)
        ds = None
        random_zones(rng, os.path.join(self.work, "zones.shp"), width, height, (0.5, -0.5, 420000.0, 5100000.0))
        for n, (function, options, tile) in enumerate(runs):
            background = ("ground.raw", "grid.tif")[n % 2]
            if function == "c_cover":
                options = options + ["--cover-max", "40", "--cover-min", "10"]
            name = f"{prefix}z{n}"
            self.one_run("zonrik", *options, "zones.shp", background, name, function)
            out = os.path.join(self.work, f"out{prefix}{n}")
            done = self.tiles("zonrik", background, out, "--tile", tile, "--jobs", 2, "--", "zones.shp", name,
                              function, *options)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            self.assertEqual(sorted(os.listdir(out)), self.outputs(name))
            self.assertSameFiles(self.outputs(name), out)
            if function == "c_cover" and not prefix:
                with open(os.path.join(out, name + "_cover.txt")) as f:
                    lines = [line for line in f if line[:1].isdigit()]
                self.assertEqual(len(lines), 14)  # the polygon off the background skipped

    def test_a_failed_tile_fails_the_run_and_the_next_run_completes_only_it(self):
        rng = np.random.default_rng(7)
        tiling.write_bmp(os.path.join(self.work, "classes.bmp"), random_class_map(rng, 40, 40), class_palette())
        self.one_run("polvane", "classes.bmp", "zones")
        programs = os.path.join(self.work, "programs")
        os.makedirs(programs)
        calls, failing = os.path.join(self.work, "calls"), os.path.join(self.work, "fail")
        with open(os.path.join(programs, "polvane"), "w") as f:
            f.write(f'#!/bin/sh\nbasename "$PWD" >> "{calls}"\n'
                    f'if [ -e "{failing}" ] && [ "$(basename "$PWD")" = r1_c0 ]; then exit 3; fi\n'
                    f'exec "{self.suite.bin}/polvane" "$@"\n')
        os.chmod(os.path.join(programs, "polvane"), 0o755)
        open(failing, "w").close()
        out = os.path.join(self.work, "out")
        done = self.tiles("polvane", "classes.bmp", out, "--tile", 16, "--", "zones", programs=programs)
        self.assertNotEqual(done.returncode, 0)
        self.assertIn("the same command again completes what is missing", done.stdout)
        self.assertEqual([n for n in os.listdir(out) if not n.startswith(".")], [])
        with open(calls) as f:
            self.assertEqual(sorted(f.read().split()), sorted(f"r{r}_c{c}" for r in range(3) for c in range(3)))
        os.remove(failing)
        os.remove(calls)
        done = self.tiles("polvane", "classes.bmp", out, "--tile", 16, "--", "zones", programs=programs)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        with open(calls) as f:
            self.assertEqual(f.read().split(), ["r1_c0"])
        self.assertSameFiles(self.outputs("zones_"), out)
        self.assertFalse(os.path.exists(os.path.join(out, ".suite-tiles")))

    def test_wrong_command_lines_are_refused(self):
        for args in (["talvern", "a.bmp", "out"], ["zonrik", "a.tif", "out"], ["traskel", "s.txt", "out"],
                     ["polvane", "a.bmp", "out", "--", "--of", "GTiff", "z"], ["polvane", "a.bmp", "out", "--tile", "1x"],
                     ["stelvar", "a.bmp", "out", "--", "0", "255"], ["polvane", "a.bmp", "out", "--overlap", "3"],
                     ["polvane", "missing.bmp", "out"],
                     ["zonrik", "g.tif", "out", "--", "z.shp", "o", "mean", "--of", "GTiff"]):
            done = self.tiles(*args)
            self.assertEqual(done.returncode, 1, args)
            self.assertIn("Error: ", done.stdout)
        done = self.tiles("--help")
        self.assertEqual(done.returncode, 0)
        self.assertIn("suite-tiles PROGRAM MOSAIC OUTDIR", done.stdout)


if __name__ == "__main__":
    run_tests()
