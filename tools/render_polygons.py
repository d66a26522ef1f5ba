#!/usr/bin/env python3
"""Draws a class map with the polygons traced from it, as a PNG, with GDAL.

Usage: render_polygons.py <class map.bmp> <polygons.shp> <picture.png> [x y size scale]

A square of the class map (columns x.., rows y.. from the top, `size`
pixels a side; the whole map by default) is shown in its palette's colours,
enlarged `scale` times, and the rings of every polygon of the shapefile are
burnt over it in yellow by GDAL's rasteriser. The shapefile may be in map
units: its main header's box is the class map's whole extent.
"""

import os
import struct
import sys

try:
    import numpy as np
    from osgeo import gdal, ogr
except ImportError:
    # A python3 of its own earlier on the PATH (a virtual environment, pyenv)
    # may lack the system's GDAL bindings: run again with the system's one.
    system_python = "/usr/bin/python3"
    if os.path.realpath(sys.executable) != os.path.realpath(system_python) and os.path.exists(system_python):
        os.execv(system_python, [system_python] + sys.argv)
    sys.exit("render_polygons.py needs GDAL's Python bindings and numpy: sudo apt-get install python3-gdal python3-numpy")

gdal.UseExceptions()

OUTLINE = (255, 230, 0)


def main(argv):
    if len(argv) not in (4, 8):
        sys.exit(__doc__.split("\n\n")[1])
    class_map, shapefile, picture = argv[1:4]
    raster = gdal.Open(class_map)
    width, height = raster.RasterXSize, raster.RasterYSize
    x0, y0, size, scale = (int(v) for v in argv[4:8]) if len(argv) == 8 else (0, 0, max(width, height), 1)
    columns, rows = min(size, width - x0), min(size, height - y0)

    band = raster.GetRasterBand(1)
    indices = band.ReadAsArray(x0, y0, columns, rows)
    table = band.GetColorTable()
    palette = np.array([table.GetColorEntry(i)[:3] for i in range(table.GetCount())], dtype=np.uint8)
    rgb = palette[indices].repeat(scale, axis=0).repeat(scale, axis=1)

    # The shapefile's header box is the map's extent: pixel (x0, y0) at the
    # top-left of the picture, `scale` picture pixels a map pixel.
    with open(shapefile, "rb") as f:
        x_min, y_min, x_max, y_max = struct.unpack("<4d", f.read(100)[36:68])
    cell_x, cell_y = (x_max - x_min) / width, (y_max - y_min) / height
    canvas = gdal.GetDriverByName("MEM").Create("", columns * scale, rows * scale, 1, gdal.GDT_Byte)
    canvas.SetGeoTransform((x_min + x0 * cell_x, cell_x / scale, 0, y_max - y0 * cell_y, 0, -cell_y / scale))

    # The rings as lines, so that only the outlines are burnt. (Data sources
    # are kept in variables: their layers live only as long as they do.)
    memory = ogr.GetDriverByName("Memory").CreateDataSource("")
    lines = memory.CreateLayer("rings", geom_type=ogr.wkbLineString)
    polygons_source = ogr.Open(shapefile)
    for feature in polygons_source.GetLayer():
        geometry = feature.GetGeometryRef()
        polygons = [geometry] if geometry.GetGeometryName() == "POLYGON" else \
            [geometry.GetGeometryRef(i) for i in range(geometry.GetGeometryCount())]
        for polygon in polygons:
            for r in range(polygon.GetGeometryCount()):
                line = ogr.Geometry(ogr.wkbLineString)
                for x, y, *_ in polygon.GetGeometryRef(r).GetPoints():
                    line.AddPoint_2D(x, y)
                ring = ogr.Feature(lines.GetLayerDefn())
                ring.SetGeometry(line)
                lines.CreateFeature(ring)
    gdal.PushErrorHandler("CPLQuietErrorHandler")  # neither has a coordinate system: no matter
    gdal.RasterizeLayer(canvas, [1], lines, burn_values=[1], options=["ALL_TOUCHED=TRUE"])
    gdal.PopErrorHandler()
    outline = canvas.GetRasterBand(1).ReadAsArray() == 1
    thick = outline.copy()  # two picture pixels wide, to stand out
    thick[1:, :] |= outline[:-1, :]
    thick[:, 1:] |= outline[:, :-1]
    rgb[thick] = OUTLINE

    image = gdal.GetDriverByName("MEM").Create("", columns * scale, rows * scale, 3, gdal.GDT_Byte)
    for b in range(3):
        image.GetRasterBand(b + 1).WriteArray(rgb[:, :, b])
    gdal.GetDriverByName("PNG").CreateCopy(picture, image)


if __name__ == "__main__":
    main(sys.argv)
