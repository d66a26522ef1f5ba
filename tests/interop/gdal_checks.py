"""What GDAL and OGR make of the suite's files, held against their bytes as
suite_files reads them."""

import numpy as np
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


class GdalChecks(sf.SuiteRuns):
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

    def assert_gdal_reads_envi_raster(self, raw_path):
        """A float RAW with its ENVI header: GDAL's size, type and values
        (bit for bit, NaN included) are those of the file."""
        header = sf.read_envi_header(raw_path[:-4] + ".hdr")
        width, height = int(header["samples"]), int(header["lines"])
        self.assertEqual((header["data type"], header["byte order"], header["bands"]), ("4", "0", "1"))
        with GdalMessages() as reported:
            raster = gdal.Open(raw_path)
            self.assertEqual(raster.GetDriver().ShortName, "ENVI")
            self.assertEqual((raster.RasterXSize, raster.RasterYSize, raster.RasterCount), (width, height, 1))
            band = raster.GetRasterBand(1)
            self.assertEqual(band.DataType, gdal.GDT_Float32)
            values = band.ReadAsArray()
        self.assertEqual(reported.messages, [], raw_path)
        with open(raw_path, "rb") as f:
            self.assertEqual(values.astype("<f4").tobytes(), f.read(), raw_path)
        return values

    def assert_gdal_reads_bmp(self, path):
        """An 8-bit BMP: GDAL's size, colour table and pixel indices are
        those of the file."""
        bmp = sf.read_bmp(path)
        with GdalMessages() as reported:
            raster = gdal.Open(path)
            self.assertEqual(raster.GetDriver().ShortName, "BMP")
            self.assertEqual((raster.RasterXSize, raster.RasterYSize, raster.RasterCount), (bmp.width, bmp.height, 1))
            band = raster.GetRasterBand(1)
            self.assertEqual(band.DataType, gdal.GDT_Byte)
            table = band.GetColorTable()
            self.assertIsNotNone(table, path)
            colours = [table.GetColorEntry(i)[:3] for i in range(table.GetCount())]
            pixels = band.ReadAsArray()
        self.assertEqual(reported.messages, [], path)
        self.assertEqual(colours, bmp.palette, path)
        self.assertTrue(np.array_equal(pixels, np.frombuffer(b"".join(bmp.rows), np.uint8).reshape(bmp.height, bmp.width)),
                        path)
        return bmp
