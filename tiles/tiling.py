"""Cutting a mosaic into tiles in the suite's formats and putting the tiles'
results back together; used by the runner suite-tiles and its work flow.

Coordinates are pixels of the whole mosaic, x from the left and y from the
top. A tile is cut around its core (the pixels it answers for) with an
overlap of context on every side, clipped to the mosaic.
"""

import json
import math
import os
import shutil
import struct
import subprocess
import sys

import numpy as np
from osgeo import gdal, osr

from program_rules import RULES, polvane_request, vorlix_request, zonrik_command, zonrik_request

gdal.UseExceptions()
# Each tile is read once: GDAL's block cache would only grow with the mosaic.
gdal.SetCacheMax(64 * 2**20)

BMP_HEADER_SIZE = 54
PALETTE_SIZE = 1024
DATA_OFFSET = BMP_HEADER_SIZE + PALETTE_SIZE


# --- The mosaic ------------------------------------------------------------


class MosaicError(Exception):
    """A mosaic that cannot be tiled; the message says why."""


def open_mosaic(path, work, vrt_name="mosaic.vrt"):
    """The GDAL raster of MOSAIC: the raster itself, or, for a folder of
    GeoTIFF tiles, a VRT of them built in the work folder as `vrt_name`."""
    if os.path.isdir(path):
        names = sorted(n for n in os.listdir(path) if n.lower().endswith((".tif", ".tiff")))
        if not names:
            raise MosaicError(f"the folder '{path}' holds no GeoTIFF (.tif, .tiff) tiles")
        vrt = os.path.join(work, vrt_name)
        gdal.BuildVRT(vrt, [os.path.join(path, n) for n in names])
        return vrt
    return path


def bmp_header(width, height):
    """The 54 bytes the suite's BMP writers put before the palette."""
    stride = (width + 3) // 4 * 4
    size = stride * height
    return (b"BM" + struct.pack("<IIIIiiHHIIiiII", DATA_OFFSET + size, 0, DATA_OFFSET, 40, width, height, 1, 8, 0,
                                size, 2800, 2800, 256, 256))


def grey_palette():
    return bytes(v for i in range(256) for v in (i, i, i, 0))


def value_palette():
    """For the tiles of a class map without colour table, where every value
    is a class of its own, greys included: value v gets the colour red v,
    green (v + 1) % 256, blue 0, never grey (the merge's
    value_of_tile_colour)."""
    return bytes(c for v in range(256) for c in (0, (v + 1) % 256, v, 0))


def suite_bmp(path):
    """Whether `path` is an 8-bit BMP as the suite reads it."""
    try:
        with open(path, "rb") as f:
            head = f.read(BMP_HEADER_SIZE)
    except OSError:
        return False
    return len(head) == BMP_HEADER_SIZE and head[:2] == b"BM" and head[28] == 8


def read_world_values(path):
    """The first six numbers of a world file; None when it has fewer."""
    try:
        with open(path, "rb") as f:
            words = f.read().split()
    except OSError:
        return None
    try:
        values = [float(w) for w in words[:6]]
    except ValueError:
        return None
    return values if len(values) == 6 else None


def describe_mosaic(mosaic_path, raster_path):
    """Size, palette, BMP header and world file of the mosaic.

    The palette is the BMP's own 1024 bytes for a BMP mosaic, else the
    raster's colour table (or grey). The world file, in the suite's
    convention (the outer top-left corner), is the suite's ".bpw" beside a
    file mosaic (the name with its last three characters replaced), else the
    raster's geotransform; None when the mosaic is not placed.
    """
    ds = gdal.Open(raster_path)
    band = ds.GetRasterBand(1)
    if band.DataType != gdal.GDT_Byte:
        raise MosaicError(f"the mosaic's band 1 is of type {gdal.GetDataTypeName(band.DataType)}, "
                          "not Byte: class maps, masks and grey images are 8-bit")
    info = {"width": ds.RasterXSize, "height": ds.RasterYSize, "world": None,
            "through_gdal": not suite_bmp(mosaic_path), "colour_table": True}
    if suite_bmp(mosaic_path):
        with open(mosaic_path, "rb") as f:
            head = f.read(DATA_OFFSET)
        info["header"] = list(head[:BMP_HEADER_SIZE])
        info["palette"] = list(head[BMP_HEADER_SIZE:])
    else:
        info["header"] = list(bmp_header(ds.RasterXSize, ds.RasterYSize))
        table = band.GetColorTable()
        if table is None:
            info["colour_table"] = False
            palette = grey_palette()
        else:
            palette = bytearray(PALETTE_SIZE)
            for i in range(min(table.GetCount(), 256)):
                r, g, b = table.GetColorEntry(i)[:3]
                palette[4 * i : 4 * i + 3] = bytes((b, g, r))
        info["palette"] = list(palette)
    if os.path.isfile(mosaic_path) and len(os.path.basename(mosaic_path)) >= 3:
        world = read_world_values(mosaic_path[:-3] + "bpw")
        if world is not None:
            info["world"] = world
    if info["world"] is None:
        gt = ds.GetGeoTransform(can_return_null=True)
        if gt is not None:
            if gt[2] != 0 or gt[4] != 0:
                raise MosaicError("the mosaic's geotransform is rotated; the suite places images without rotation")
            info["world"] = [gt[1], 0.0, 0.0, gt[5], gt[0], gt[3]]
    info["prj"] = mosaic_prj(mosaic_path, ds)
    return info


def mosaic_prj(mosaic_path, ds):
    """The mosaic's CRS as the text of a ".prj" (ESRI WKT): the ".prj"
    beside a file mosaic, else the raster's own CRS; None without one."""
    if os.path.isfile(mosaic_path):
        beside = os.path.splitext(mosaic_path)[0] + ".prj"
        if os.path.isfile(beside):
            with open(beside) as f:
                return f.read()
    wkt = ds.GetProjection()
    if not wkt:
        return None
    srs = osr.SpatialReference()
    srs.ImportFromWkt(wkt)
    srs.MorphToESRI()
    return srs.ExportToWkt()


def tile_grid(width, height, tile, overlap):
    """The tiles as dictionaries: id, core (x, y, w, h) and area (the core
    widened by the overlap, clipped to the mosaic)."""
    tiles = []
    for row, y in enumerate(range(0, height, tile)):
        for col, x in enumerate(range(0, width, tile)):
            w, h = min(tile, width - x), min(tile, height - y)
            ax, ay = max(0, x - overlap), max(0, y - overlap)
            aw, ah = min(width, x + w + overlap) - ax, min(height, y + h + overlap) - ay
            tiles.append({"id": f"r{row}_c{col}", "core": [x, y, w, h], "area": [ax, ay, aw, ah]})
    return tiles


# --- Tiles -----------------------------------------------------------------


def write_bmp(path, pixels, palette, header=None):
    """An 8-bit BMP in the suite's layout from rows top first."""
    height, width = pixels.shape
    stride = (width + 3) // 4 * 4
    rows = np.full((height, stride), 255, dtype=np.uint8)
    rows[:, :width] = pixels[::-1]
    with open(path, "wb") as f:
        f.write(bytes(header) if header is not None else bmp_header(width, height))
        f.write(bytes(palette))
        f.write(rows.tobytes())


def packed_colours(palette):
    p = np.frombuffer(bytes(palette), dtype=np.uint8).reshape(256, 4).astype(np.int64)
    return p[:, 2] * 65536 + p[:, 1] * 256 + p[:, 0]


def class_census(pixels, palette, mask=False):
    """The class colours of a tile in the order the census finds them
    (columns from the left, each from the top), each with its first pixel's
    place in the tile's column order (x * height + y). Greys are no class;
    for a mask (polvane --mask) only black is none.

    The columns are read in blocks, and only until every value the tile
    holds has been met."""
    height = pixels.shape[0]

    def values_in(array):
        present = np.zeros(256, dtype=bool)
        present[array] = True
        return set(np.flatnonzero(present).tolist())

    values_left = values_in(pixels)
    first_of_value = {}
    block = 64
    for x in range(0, pixels.shape[1], block):
        columns = np.ascontiguousarray(pixels[:, x : x + block].T).ravel()
        met = values_in(columns) & values_left
        for v in met:
            first_of_value[v] = x * height + int(np.argmax(columns == v))
        values_left -= met
        if not values_left:
            break
    colours = packed_colours(palette)
    found = {}
    for v, i in first_of_value.items():
        c = int(colours[v])
        if (c == 0) if mask else (c % 65793 == 0):
            continue
        if c not in found or i < found[c]:
            found[c] = i
    return sorted(((i, c) for c, i in found.items()))


def write_standard_world(path, world, x, y):
    """The standard world file (pixel-centre convention) of a tile whose
    top-left pixel is (x, y)."""
    a, d, b, e, c, f = world
    with open(path, "w") as out:
        for v in (a, d, b, e, c + (x + 0.5) * a, f + (y + 0.5) * e):
            out.write(repr(float(v)) + "\n")


def zero_background_palette():
    """For the tiles of a class map without colour table read as the
    programs read one: value 0 is the background (black), every other value
    a class of its own (value_palette's colour)."""
    palette = bytearray(value_palette())
    palette[0:4] = bytes(4)
    return bytes(palette)


def cut_tile(raster_path, info, area, folder, census=False, world_file=True, mask=False, name="tile",
             palette=None):
    """Writes the tile of `area` as folder/tile.bmp (with its standard world
    file folder/tile.wld and folder/tile.prj when the mosaic is placed and
    `world_file`), and, when `census`, folder/census.txt: the tile is then a
    class map, and without colour table each value is a class. `name`
    replaces "tile", `palette` the mosaic's. Returns the pixels."""
    x, y, w, h = area
    ds = gdal.Open(raster_path)
    pixels = ds.GetRasterBand(1).ReadAsArray(x, y, w, h)
    os.makedirs(folder, exist_ok=True)
    palette = palette or info["palette"]
    if census and not info["colour_table"]:
        palette = value_palette()
    write_bmp(os.path.join(folder, name + ".bmp"), pixels, palette)
    if world_file and info["world"] is not None:
        write_standard_world(os.path.join(folder, name + ".wld"), info["world"], x, y)
    if world_file and info.get("prj"):
        with open(os.path.join(folder, name + ".prj"), "w") as out:
            out.write(info["prj"])
    if census:
        with open(os.path.join(folder, "census.txt"), "w") as out:
            for i, c in class_census(pixels, palette, mask):
                out.write(f"{c} {x + i // h} {y + i % h}\n")
    return pixels


def black_indices(palette):
    p = np.frombuffer(bytes(palette), dtype=np.uint8).reshape(256, 4)
    return np.nonzero((p[:, 0] == 0) & (p[:, 1] == 0) & (p[:, 2] == 0))[0]


# --- Putting results together ------------------------------------------------


class TileRows:
    """The rows of a tile's result BMP or RAW, read where they stand."""

    def __init__(self, path, kind, width, height, dtype=np.uint8):
        if kind == "bmp":
            with open(path, "rb") as f:
                head = f.read(BMP_HEADER_SIZE)
            offset = struct.unpack("<I", head[10:14])[0]
            stride = (width + 3) // 4 * 4
            data = np.memmap(path, dtype=np.uint8, mode="r", offset=offset, shape=(height, stride))
            self.rows = data[::-1, :width]  # top first
        else:
            self.rows = np.memmap(path, dtype=dtype, mode="r", shape=(height, width))

    def block(self, y, n, x, w):
        return self.rows[y : y + n, x : x + w]


def assemble(tiles, result_of, width, height, out_path, kind, header=None, palette=None, fill=None,
             chunk_rows=256, dtype=np.uint8):
    """Writes the mosaic-sized result `out_path` (BMP or RAW of `dtype`,
    little-endian), each pixel taken from the result of the tile whose core
    holds it. result_of(tile) gives the tile's result file, or None when the
    tile is `fill`ed whole with the value fill(tile). Streams chunk_rows rows
    at a time."""
    stride = (width + 3) // 4 * 4 if kind == "bmp" else width
    by_band = {}
    for t in tiles:
        by_band.setdefault(t["core"][1], []).append(t)
    bands = sorted(by_band)
    with open(out_path, "wb") as out:
        if kind == "bmp":
            out.write(bytes(header))
            out.write(bytes(palette))
        order = list(reversed(bands)) if kind == "bmp" else bands
        for band_y in order:
            band = sorted(by_band[band_y], key=lambda t: t["core"][0])
            sources = []
            for t in band:
                path = result_of(t)
                ax, ay, aw, ah = t["area"]
                sources.append((t, TileRows(path, kind, aw, ah, dtype) if path else None))
            band_h = band[0]["core"][3]
            starts = list(range(0, band_h, chunk_rows))
            if kind == "bmp":
                starts.reverse()
            for s in starts:
                n = min(chunk_rows, band_h - s)
                block = np.full((n, stride), 255 if kind == "bmp" else 0, dtype=dtype)
                for t, rows in sources:
                    cx, cy, cw, ch = t["core"]
                    ax, ay, _, _ = t["area"]
                    if rows is None:
                        block[:, cx : cx + cw] = fill(t)
                    else:
                        block[:, cx : cx + cw] = rows.block(cy - ay + s, n, cx - ax, cw)
                out.write((block[::-1] if kind == "bmp" else block).tobytes())


def write_config(path, config):
    with open(path, "w") as f:
        json.dump(config, f, indent=1, sort_keys=True)


# --- The work flow's steps, run by its rules ----------------------------------
#   python3 tiling.py tile CONFIG TILE
#   python3 tiling.py merge CONFIG
#   python3 tiling.py paint CONFIG TILE, python3 tiling.py assemble CONFIG
#   (a background's tiles painted with the merged values, put together)


def tile_of(config, tile_id):
    return next(t for t in config["tiles"] if t["id"] == tile_id)


def class_palette_of(info):
    """The palette a class map's tiles are written with: the mosaic's, or
    for a map without colour table value 0 as background and every other
    value a class."""
    return info["palette"] if info["colour_table"] else zero_background_palette()


def class_colours(pixels, palette):
    """The class colours a tile holds (packed), found in any order."""
    colours = packed_colours(palette)[np.flatnonzero(np.bincount(pixels.ravel(), minlength=256))]
    return sorted({int(c) for c in colours if c % 65793})


def write_parameter_file(config, folder):
    """The parameter file read from the current folder, as carried in the
    config, into `folder` (nothing when there was none)."""
    if config["parameters"] is not None:
        with open(os.path.join(folder, RULES[config["program"]].parameter_file), "w", encoding="latin-1",
                  newline="") as out:
            out.write(config["parameters"])


def run_logged(command, folder, log_name, env=None):
    """Runs `command` in `folder` with no standard input and its console
    output in folder/log_name; its exit status."""
    with open(os.path.join(folder, log_name), "wb") as log:
        return subprocess.run(command, cwd=folder, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                              env=env).returncode


def step_cut_two_maps(config, tile_id, folder):
    """The tile of both class maps (tile.bmp and shadow.bmp), the parameter
    file, and the colours each holds (classes.txt). A tile without a class
    pixel in either map is left unrun (no_class): one run writes no height
    on it."""
    area = tile_of(config, tile_id)["area"]
    found = []
    for raster, info, name in ((config["raster"], config["info"], "tile"),
                               (config["args"][0], config["second_info"], "shadow")):
        palette = class_palette_of(info)
        found.append(class_colours(cut_tile(raster, info, area, folder, name=name, palette=palette), palette))
    with open(os.path.join(folder, "classes.txt"), "w") as out:
        for colours in found:
            out.write(" ".join(str(c) for c in colours) + "\n")
    write_parameter_file(config, folder)
    if not all(found):
        open(os.path.join(folder, "no_class"), "w").close()


def step_cut(config, tile_id):
    rule, info = RULES[config["program"]], config["info"]
    folder = os.path.join("tiles", tile_id)
    for marker in ("all_foreground", "no_class"):
        if os.path.exists(os.path.join(folder, marker)):
            os.remove(os.path.join(folder, marker))
    if rule.second_map:
        step_cut_two_maps(config, tile_id, folder)
        return
    mask = config["program"] == "polvane" and polvane_request(config["args"])["mask"]
    pixels = cut_tile(config["raster"], info, tile_of(config, tile_id)["area"], folder, census=rule.census,
                      world_file=rule.world_file, mask=mask)
    if rule.needs_black and pixels.size and not np.isin(pixels, black_indices(info["palette"])).any():
        # The program needs a black pixel: a tile of foreground alone stays
        # foreground alone.
        open(os.path.join(folder, "all_foreground"), "w").close()


def step_run(config, tile_id):
    program = config["program"]
    folder = os.path.join("tiles", tile_id)
    if any(os.path.exists(os.path.join(folder, marker)) for marker in ("all_foreground", "no_class")):
        return 0
    arguments = ["tile.bmp"] + RULES[program].arguments(config, tile_of(config, tile_id))
    # The tiles' rings are joined as traced, in the default layout; the
    # join writes them in the layout asked.
    environment = {k: v for k, v in os.environ.items() if k not in ("SUITE_SHAPEFILE_RINGS", "SUITE_GIS")}
    status = run_logged([os.path.join(config["programs"], program)] + arguments, folder, "log.txt", environment)
    if status != 0:
        sys.stderr.write(f"{program} ended with status {status} on the tile {tile_id} "
                         f"(its console output: {os.path.abspath(folder)}/log.txt)\n")
        return 1
    return 0


def first_tile_folder(config):
    """The folder of the tile at the mosaic's top-left corner: its results'
    sidecars place the whole mosaic."""
    first = next(t for t in config["tiles"] if tuple(t["area"][:2]) == (0, 0))
    return os.path.join("tiles", first["id"])


def sidecars(config, tile_result, final_result, written):
    """The world file and ".prj" of the top-left tile's result `tile_result`
    (a path without extension) as those of `final_result`, and the ENVI
    header with the mosaic's size and name when there is one."""
    for extension in (".wld", ".prj"):
        source = tile_result + extension
        if os.path.exists(source):
            temporary = final_result + extension + ".part-tiles"
            with open(source, "rb") as f, open(temporary, "wb") as out:
                out.write(f.read())
            written.append((temporary, final_result + extension))
    header = tile_result + ".hdr"
    if os.path.exists(header):
        info = config["info"]
        lines = []
        with open(header) as f:
            for line in f:
                if line.startswith("description = "):
                    line = "description = {" + os.path.basename(final_result) + ".}\n"
                elif line.startswith("samples = "):
                    line = f"samples = {info['width']}\n"
                elif line.startswith("lines = "):
                    line = f"lines = {info['height']}\n"
                lines.append(line)
        temporary = final_result + ".hdr.part-tiles"
        with open(temporary, "w", newline="\n") as out:
            out.writelines(lines)
        written.append((temporary, final_result + ".hdr"))


def put_in_place(written):
    """Renames every finished result into place, together at the end."""
    for temporary, final in written:
        os.replace(temporary, final)


def assemble_stelvar(config):
    info = config["info"]
    first = config["tiles"][0]["id"]
    names = sorted(n for n in os.listdir(os.path.join("tiles", first))
                   if n.startswith("threshold_") and n.endswith(".bmp"))
    written = []
    for name in names:
        final = os.path.join(config["outdir"], name)
        temporary = final + ".part-tiles"
        assemble(config["tiles"], lambda t: os.path.join("tiles", t["id"], name), info["width"], info["height"],
                 temporary, "bmp", header=info["header"], palette=grey_palette())
        written.append((temporary, final))
        sidecars(config, os.path.join(first_tile_folder(config), name[:-4]), final[:-4], written)
    put_in_place(written)
    return 0


def assemble_murgel(config):
    info = config["info"]
    kind = config["args"][0]
    base = os.path.join(config["outdir"], config["output_name"])

    def result(t):
        folder = os.path.join("tiles", t["id"])
        return None if os.path.exists(os.path.join(folder, "all_foreground")) else os.path.join(folder, f"tile_out.{kind}")

    def foreground(t):
        with open(os.path.join("tiles", t["id"], "tile.bmp"), "rb") as f:
            f.seek(DATA_OFFSET)
            return f.read(1)[0]

    written = [(base + f".{kind}.part-tiles", base + f".{kind}")]
    assemble(config["tiles"], result, info["width"], info["height"], written[0][0], kind,
             header=bmp_header(info["width"], info["height"]), palette=info["palette"], fill=foreground)
    if kind == "raw":
        with open(base + ".dim.part-tiles", "w", newline="\n") as dim:
            dim.write(f"{info['width']}\t{info['height']}\n")
        written.append((base + ".dim.part-tiles", base + ".dim"))
    sidecars(config, os.path.join(first_tile_folder(config), "tile_out"), base, written)
    put_in_place(written)
    return 0


def one_class_each(config):
    """None when the tiles together hold one class colour in each map, as
    one run needs; else the reason, in one run's words."""
    found = [set(), set()]
    for t in config["tiles"]:
        with open(os.path.join("tiles", t["id"], "classes.txt")) as f:
            for colours, line in zip(found, f):
                colours.update(int(c) for c in line.split())
    for colours, classification in zip(found, ("Building", "Shadow")):
        if len(colours) != 1:
            return (f"the mosaics hold {len(colours)} colours of {classification.lower()}s together: "
                    f"{classification} classification should contain just one color")
    return None


def corner_run(config):
    """The folder of a run of the program on the mosaics' top-left pixel
    alone, made a building and its shadow: its header and sidecars are
    those of one run on the whole mosaic but for the size, and it checks the
    numbers and the parameter file as one run does. For a top-left tile
    left unrun."""
    folder = "corner"
    os.makedirs(folder, exist_ok=True)
    palette = bytearray(grey_palette())
    palette[4:8] = bytes((0, 0, 200, 0))
    area = [0, 0, 1, 1]
    for info, name in ((config["info"], "tile"), (config["second_info"], "shadow")):
        write_bmp(os.path.join(folder, name + ".bmp"), np.ones((1, 1), dtype=np.uint8), palette)
        if info["world"] is not None:
            write_standard_world(os.path.join(folder, name + ".wld"), info["world"], 0, 0)
        if info.get("prj"):
            with open(os.path.join(folder, name + ".prj"), "w") as out:
                out.write(info["prj"])
    write_parameter_file(config, folder)
    corner = {"id": "corner", "area": area, "core": area}
    arguments = ["tile.bmp"] + RULES[config["program"]].arguments(config, corner)
    status = run_logged([os.path.join(config["programs"], config["program"])] + arguments, folder, "log.txt")
    if status != 0:
        sys.stderr.write(f"{config['program']} ended with status {status} on the mosaics' top-left pixel "
                         f"(its console output: {os.path.abspath(folder)}/log.txt)\n")
        return None
    return folder


def assemble_talvern(config):
    problem = one_class_each(config)
    if problem:
        sys.stderr.write(f"Error: {problem}\n")
        return 1
    info = config["info"]
    base = os.path.join(config["outdir"], config["output_name"])

    def result(t):
        folder = os.path.join("tiles", t["id"])
        return None if os.path.exists(os.path.join(folder, "no_class")) else os.path.join(folder, "tile_raise.raw")

    first = first_tile_folder(config)
    if os.path.exists(os.path.join(first, "no_class")):
        first = corner_run(config)
        if first is None:
            return 1
    written = [(base + ".raw.part-tiles", base + ".raw")]
    assemble(config["tiles"], result, info["width"], info["height"], written[0][0], "raw", fill=lambda t: 0,
             dtype=np.dtype("<f4"))
    sidecars(config, os.path.join(first, "tile_raise"), base, written)
    put_in_place(written)
    return 0


def join_polvane(config):
    info = config["info"]
    request = polvane_request(config["args"])
    with open("plan.txt", "w") as plan:
        plan.write(f"mosaic {info['width']} {info['height']}\n")
        if info["world"] is not None:
            plan.write("world " + " ".join(repr(float(v)) for v in info["world"]) + "\n")
        plan.write(f"output {os.path.join(config['outdir'], config['output_name'])}\n")
        plan.write(f"source {'gdal' if info['through_gdal'] else 'suite'} {config['raster']}\n")
        # As one run: the GIS layout when asked for, or for a raster read
        # through GDAL.
        if request["gis"] or config.get("suite_gis") or info["through_gdal"]:
            plan.write("layout gis\n")
        if request["gpkg"]:
            plan.write(f"format gpkg\nlayer {config['output_name']}\n")
        plan.write("palette " + " ".join(str(int(c)) for c in packed_colours(info["palette"])) + "\n")
        if not info["colour_table"]:
            plan.write("values\n")
        for t in config["tiles"]:
            x, y, w, h = t["area"]
            plan.write(f"tile {x} {y} {w} {h} {os.path.abspath(os.path.join('tiles', t['id']))}\n")
    status = run_logged([os.path.join(config["tools"], "suite-tiles-polvane-merge"), "plan.txt"], ".",
                        "merge_log.txt")
    if status != 0:
        with open("merge_log.txt", "rb") as log:
            sys.stderr.write(log.read().decode(errors="replace"))
        sys.stderr.write(f"joining the tiles' shapefiles ended with status {status}\n")
        return 1
    return 0


# --- Vorlix: the mosaic's statistics, the tiles' segments ---------------------


def vorlix_cut(config, tile_id):
    """The tile as a GeoTIFF (tile.tif) cut from the mosaic with GDAL, which
    keeps the mosaic's placement and CRS, with the parameter file."""
    folder = os.path.join("tiles", tile_id)
    os.makedirs(folder, exist_ok=True)
    gdal.Translate(os.path.join(folder, "tile.tif"), config["raster"], srcWin=tile_of(config, tile_id)["area"],
                   format="GTiff", bandList=[1])
    write_parameter_file(config, folder)
    return folder


def run_vorlix(config, tile_id, folder, options, what):
    arguments = ["tile.tif"] + RULES["vorlix"].arguments(config, tile_of(config, tile_id)) + options
    status = run_logged([os.path.join(config["programs"], "vorlix")] + arguments, folder, f"log_{what}.txt")
    if status != 0:
        sys.stderr.write(f"vorlix ended with status {status} on the tile {tile_id} ({what}; its console "
                         f"output: {os.path.abspath(folder)}/log_{what}.txt)\n")
        return 1
    return 0


# --- A background measured by Zonrik's helper ----------------------------------


def zonrik_helper(tools, arguments, cwd, log_name):
    """Runs suite-tiles-zonrik in `cwd` with its console output in
    cwd/log_name (or log_name, when absolute); its status and output."""
    status = run_logged([os.path.join(tools, "suite-tiles-zonrik")] + arguments, cwd, log_name)
    with open(os.path.join(cwd, log_name), "rb") as log:
        return status, log.read().decode(errors="replace")


def describe_background(mosaic_path, work, extra, tools):
    """The arguments after "--" with the shapefile's name made absolute,
    the raster the runs read (a folder of GeoTIFFs becomes a VRT) and its
    size as one zonrik run reads it (suite-tiles-zonrik size, which checks
    the whole command line as that run does)."""
    request = zonrik_request(extra)
    extra = [os.path.abspath(w) if w == request["shapefile"] else w for w in extra]
    raster = open_mosaic(mosaic_path, work)
    status, output = zonrik_helper(tools, ["size", "--"] + zonrik_command({"args": extra, "raster": raster}), work,
                                   "size_log.txt")
    found = [line.split() for line in output.splitlines() if line.startswith("size ")]
    if status != 0 or not found:
        last = [line for line in output.splitlines() if line.strip()][-3:]
        raise MosaicError(f"zonrik refuses it (status {status}): " + " ".join(last))
    width, height, reader = found[-1][1:4]
    return extra, raster, {"width": int(width), "height": int(height), "through_gdal": reader == "gdal"}


def background_window(config, tile_id, folder):
    """The tile's core and, for a background read through GDAL, its window
    as a VRT the helper reads ("-" for a RAW background)."""
    x, y, w, h = tile_of(config, tile_id)["core"]
    window = "-"
    if config["info"]["through_gdal"]:
        window = os.path.abspath(os.path.join(folder, "window.vrt"))
        gdal.Translate(window, config["raster"], format="VRT", srcWin=[x, y, w, h])
    return [str(x), str(y), str(w), str(h), window]


def background_tile_step(config, tile_id, step, files):
    folder = os.path.join("tiles", tile_id)
    os.makedirs(folder, exist_ok=True)
    arguments = [step] + background_window(config, tile_id, folder) + files + ["--"] + zonrik_command(config)
    status, _ = zonrik_helper(config["tools"], arguments, folder, f"{step}_log.txt")
    if status != 0:
        sys.stderr.write(f"suite-tiles-zonrik {step} ended with status {status} on the tile {tile_id} "
                         f"(its console output: {os.path.abspath(folder)}/{step}_log.txt)\n")
        return 1
    return 0


def step_vorlix_share(config, tile_id, n):
    """Pass n of a tile: its core's share of the statistics, with the
    mosaic's largest values in pass 2."""
    folder = vorlix_cut(config, tile_id)
    tile = tile_of(config, tile_id)
    (cx, cy, cw, ch), (ax, ay, _, _) = tile["core"], tile["area"]
    options = ["--core", f"{cx - ax},{cy - ay},{cw},{ch}", "--measure", f"share{n}.txt"]
    if n == "2":
        options += ["--statistics", os.path.abspath("statistics1.txt")]
    return run_vorlix(config, tile_id, folder, options, f"share{n}")


def read_shares(path):
    with open(path) as f:
        return [[int(v) for v in line.split()] for line in f if line.strip()]


def step_vorlix_statistics(config, n):
    """The mosaic's statistics from the tiles' shares: per radius the
    largest values (pass 1), then the sums added up (pass 2)."""
    whole = {}
    for t in config["tiles"]:
        for line in read_shares(os.path.join("tiles", t["id"], f"share{n}.txt")):
            r, values = line[0], line[1:]
            if r not in whole:
                whole[r] = [0] * 6
            whole[r][0] = max(whole[r][0], values[0])
            whole[r][1] = max(whole[r][1], values[1])
            for i in range(2, len(values)):
                whole[r][i] += values[i]
    with open(f"statistics{n}.txt.part", "w") as out:
        for r in sorted(whole):
            values = whole[r] if n == "2" else whole[r][:2]
            out.write(" ".join(str(v) for v in [r] + values) + "\n")
    os.replace(f"statistics{n}.txt.part", f"statistics{n}.txt")
    return 0


def whole_lines(mask, segments, inside):
    """For each segment (in the tile's pixels), whether its line (the
    8-connected line pixels, 0 in `mask`, holding its first end) lies wholly
    within `inside` (x0, y0, x1, y1, exclusive ends). Each pixel is visited
    once: a line found to leave `inside` is not followed further, and its
    pixels seen so far carry that verdict."""
    height, width = mask.shape
    x0, y0, x1, y1 = inside
    verdict = {}  # pixel index -> whether its line stays inside (None while it is followed)
    line = (mask == 0).tobytes()  # one byte a pixel, read faster than the array
    flags = []
    for s in segments:
        start = s[1] * width + s[0]
        if start not in verdict:
            seen, todo, whole = [start], [start], True
            verdict[start] = None
            while todo and whole:
                y, x = divmod(todo.pop(), width)
                if not (x0 <= x < x1 and y0 <= y < y1):
                    whole = False
                    break
                for v in range(max(0, y - 1), min(height, y + 2)):
                    for u in range(max(0, x - 1), min(width, x + 2)):
                        j = v * width + u
                        if not line[j]:
                            continue
                        if j not in verdict:
                            verdict[j] = None
                            seen.append(j)
                            todo.append(j)
                        elif verdict[j] is False:  # part of a line already found to leave
                            whole = False
            for i in seen:
                verdict[i] = whole
        flags.append(bool(verdict[start]))
    return flags


def step_vorlix_tile(config, tile_id):
    """The tile's segments with the mosaic's statistics, each marked whole
    (1) when its line lies within the overlap of the core, where the
    tile's mask is exact (whole.txt, a line per segment)."""
    folder = vorlix_cut(config, tile_id)
    if run_vorlix(config, tile_id, folder, ["--statistics", os.path.abspath("statistics2.txt")], "segments"):
        return 1
    tile = tile_of(config, tile_id)
    (cx, cy, cw, ch), (ax, ay, aw, ah) = tile["core"], tile["area"]
    n = config["vorlix_overlap"]
    mask = np.fromfile(os.path.join(folder, "tile_lines.raw"), dtype=np.uint8).reshape(ah, aw)
    segments = read_segments(os.path.join(folder, "segmenti.txt"), 0, 0)
    inside = (max(0, cx - n - ax), max(0, cy - n - ay), min(aw, cx + cw + n - ax), min(ah, cy + ch + n - ay))
    # The mosaic's edges bound a line as the tile's do.
    inside = (0 if ax == 0 else inside[0], 0 if ay == 0 else inside[1],
              aw if ax + aw == config["info"]["width"] else inside[2],
              ah if ay + ah == config["info"]["height"] else inside[3])
    with open(os.path.join(folder, "whole.txt"), "w") as out:
        out.writelines(f"{int(w)}\n" for w in whole_lines(mask, segments, inside))
    return 0


def read_segments(path, dx, dy):
    """A segments file's lines as [x1, y1, x2, y2, score], moved by dx, dy."""
    segments = []
    with open(path) as f:
        for line in f:
            x1, y1, x2, y2, score = line.split()
            segments.append([int(x1) + dx, int(y1) + dy, int(x2) + dx, int(y2) + dy, float(score)])
    return segments


def midpoint_in(s, core):
    """Whether segment `s` has its midpoint in `core` (a half pixel counted
    to the pixel it begins)."""
    cx, cy, cw, ch = core
    return 2 * cx <= s[0] + s[2] < 2 * (cx + cw) and 2 * cy <= s[1] + s[3] < 2 * (cy + ch)


def collinear_join(a, b, tolerance=1.5):
    """The segment through the outer ends of `a` and `b` when they lie on
    one line (every end within `tolerance` pixels of the other segment's
    line) and overlap or touch along it; else None. It keeps a's direction;
    its score is the two's asymmetries weighted by their lengths, less a
    tenth of its length term, as a segment's score is made."""
    ax, ay = a[2] - a[0], a[3] - a[1]
    length = math.hypot(ax, ay)
    if length == 0:
        return None
    ux, uy = ax / length, ay / length

    def off_line(px, py, s):
        sx, sy = s[2] - s[0], s[3] - s[1]
        n = math.hypot(sx, sy)
        return abs((px - s[0]) * sy - (py - s[1]) * sx) / n if n else math.hypot(px - s[0], py - s[1])

    ends = [(a[0], a[1]), (a[2], a[3]), (b[0], b[1]), (b[2], b[3])]
    if any(off_line(x, y, b) > tolerance for x, y in ends[:2]) or any(off_line(x, y, a) > tolerance for x, y in ends[2:]):
        return None
    along = [(x - a[0]) * ux + (y - a[1]) * uy for x, y in ends]
    if min(along[2:]) > along[1] + 1.5 or max(along[2:]) < along[0] - 1.5:
        return None  # apart along the line
    first = ends[along.index(min(along))]
    last = ends[along.index(max(along))]
    terms = [math.hypot(s[2] - s[0], s[3] - s[1]) + 1 for s in (a, b)]
    asymmetry = sum((s[4] + t / 10) * t for s, t in zip((a, b), terms)) / sum(terms)
    term = math.hypot(last[0] - first[0], last[1] - first[1]) + 1
    return [first[0], first[1], last[0], last[1], asymmetry - term / 10]


def near_seam(s, core, reach, width, height):
    """Whether an end of segment `s` lies outside `core` or within `reach` of
    a core edge inside the width x height mosaic."""
    cx, cy, cw, ch = core
    return any((cx > 0 and x < cx + reach) or (cx + cw < width and x >= cx + cw - reach) or
               (cy > 0 and y < cy + reach) or (cy + ch < height and y >= cy + ch - reach)
               for x, y in ((s[0], s[1]), (s[2], s[3])))


def rejoin_across_seams(kept, reach, width, height):
    """Joins collinear pieces of cut lines that come from different tiles
    and meet near a seam (near_seam), until no two join. `kept` holds
    (tile index, place in the tile, segment, core, whole) in output order; a
    joined segment takes the place of the first of its pieces; segments of
    whole lines are left as found."""
    kept = list(kept)
    joined = True
    while joined:
        joined = False
        seam = [i for i, e in enumerate(kept) if e is not None and not e[4] and near_seam(e[2], e[3], reach, width,
                                                                                            height)]
        for i in seam:
            for j in seam:
                if j <= i or kept[i] is None or kept[j] is None or kept[i][0] == kept[j][0]:
                    continue
                whole = collinear_join(kept[i][2], kept[j][2])
                if whole is not None:
                    kept[i] = kept[i][:2] + (whole,) + kept[i][3:]
                    kept[j] = None
                    joined = True
    return [e[2] for e in kept if e is not None]


def segment_pixels(s):
    """The pixels of a segment (a step along its major axis)."""
    x1, y1, x2, y2 = s[:4]
    n = max(abs(x2 - x1), abs(y2 - y1))
    return {(x1 + round(i * (x2 - x1) / n), y1 + round(i * (y2 - y1) / n)) for i in range(n + 1)} if n else {(x1, y1)}


def assemble_vorlix(config):
    """segmenti.txt from the tiles' segments: those of lines a tile held
    whole once each, the others kept by the tile holding their midpoint
    unless they lie on a whole line's segment, pieces cut by seams joined;
    the line mask (when asked) from the tiles' cores; segmenti.bpw and .prj
    as the top-left tile's, which lie as the mosaic's."""
    request = vorlix_request(config["args"])
    outdir = config["outdir"]
    width, height = config["info"]["width"], config["info"]["height"]
    reach = max(2, max(max(t["core"][0] - t["area"][0], t["core"][1] - t["area"][1]) for t in config["tiles"]))
    entries, seen = [], set()  # (tile, its place in the tile, segment, core, whole)
    for n, t in enumerate(config["tiles"]):
        ax, ay, _, _ = t["area"]
        folder = os.path.join("tiles", t["id"])
        pieces = read_segments(os.path.join(folder, "segmenti.txt"), ax, ay)
        with open(os.path.join(folder, "whole.txt")) as f:
            flags = [line.strip() == "1" for line in f]
        for i, (s, is_whole) in enumerate(zip(pieces, flags)):
            if is_whole and tuple(s) in seen:
                continue  # listed by an earlier tile holding the line whole
            if is_whole:
                seen.add(tuple(s))
            entries.append((n, i, s, t["core"], is_whole))
    # A whole line's segments near a seam may be found again, cut, by the
    # tile across it: those copies are dropped.
    covered = set()
    for _, _, s, core, is_whole in entries:
        if is_whole and near_seam(s, core, reach, width, height):
            covered |= {(x + dx, y + dy) for x, y in segment_pixels(s) for dx in (-1, 0, 1) for dy in (-1, 0, 1)}
    def on_whole_line(s):
        pixels = segment_pixels(s)
        return 2 * len(pixels & covered) > len(pixels)

    kept = [e for e in entries if e[4] or (midpoint_in(e[2], e[3]) and not on_whole_line(e[2]))]
    segments = rejoin_across_seams(kept, reach, width, height)
    written = [(os.path.join(outdir, "segmenti.txt.part-tiles"), os.path.join(outdir, "segmenti.txt"))]
    with open(written[0][0], "wb") as out:
        for x1, y1, x2, y2, score in segments:
            out.write(b"%5d %5d %5d %5d %5.2f\r\n" % (x1, y1, x2, y2, score))
    if request["line-mask"]:
        final = os.path.join(outdir, request["line-mask"])
        written.append((final + ".part-tiles", final))
        assemble(config["tiles"], lambda t: os.path.join("tiles", t["id"], "tile_lines.raw"), config["info"]["width"],
                 config["info"]["height"], written[-1][0], "raw")
    first = first_tile_folder(config)
    for name in ("segmenti.bpw", "segmenti.prj"):
        if os.path.exists(os.path.join(first, name)):
            final = os.path.join(outdir, name)
            shutil.copyfile(os.path.join(first, name), final + ".part-tiles")
            written.append((final + ".part-tiles", final))
    put_in_place(written)
    return 0


def step_background_tile(config, tile_id):
    """The tile's values of every zone (tiles/<id>/values.bin)."""
    return background_tile_step(config, tile_id, "tile", ["values.bin"])


def merge_zonrik(config):
    """The run itself in the folder "staged", each zone's values taken from
    the tiles; its value raster and cover picture are painted by the tiles
    next (step_paint, assemble_zonrik), with the zones' values in
    zone_values.bin."""
    first = config["tiles"][0]["core"]
    tile = max(first[2], first[3])
    shutil.rmtree("staged", ignore_errors=True)
    os.makedirs("staged")
    status, output = zonrik_helper(config["tools"], ["merge", str(tile), os.path.abspath("tiles"),
                                                     os.path.abspath("zone_values.bin"), "--"] + zonrik_command(config),
                                   "staged", os.path.abspath("merge_log.txt"))
    if status != 0:
        sys.stderr.write(output)
        sys.stderr.write(f"\nmeasuring the zones from the tiles ended with status {status}\n")
        return 1
    return 0


def step_paint(config, tile_id):
    """The tile's part of the value raster (value.raw) and cover picture
    (picture.bmp)."""
    folder = os.path.join("tiles", tile_id)
    status = background_tile_step(config, tile_id, "paint",
                                  [os.path.abspath("zone_values.bin"), "value.raw", "picture.raw"])
    picture = os.path.join(folder, "picture.raw")
    if status == 0 and os.path.exists(picture):
        _, _, w, h = tile_of(config, tile_id)["core"]
        write_bmp(os.path.join(folder, "picture.bmp"), np.fromfile(picture, dtype=np.uint8).reshape(h, w),
                  grey_palette())
    return status


def assemble_zonrik(config):
    """The tiles' parts put together over the run's 1 x 1 value raster (its
    ENVI header given the mosaic's size) and cover picture; then every
    output of the run into OUTDIR."""
    info = config["info"]
    width, height = info["width"], info["height"]
    name = zonrik_request(config["args"])["output"]
    raster = os.path.join("staged", name + ".raw")
    assemble(config["tiles"], lambda t: os.path.join("tiles", t["id"], "value.raw"), width, height,
             raster + ".part-tiles", "raw", dtype=np.dtype("<f4"))
    os.replace(raster + ".part-tiles", raster)
    header = os.path.join("staged", name + ".hdr")
    with open(header) as f:
        lines = [f"samples = {width}\n" if line.startswith("samples = ") else
                 f"lines = {height}\n" if line.startswith("lines = ") else line for line in f]
    with open(header, "w", newline="\n") as out:
        out.writelines(lines)
    picture = os.path.join("staged", name + ".bmp")
    if os.path.exists(picture):
        with open(picture, "rb") as f:
            palette = f.read(DATA_OFFSET)[BMP_HEADER_SIZE:]
        assemble(config["tiles"], lambda t: os.path.join("tiles", t["id"], "picture.bmp"), width, height,
                 picture, "bmp", header=bmp_header(width, height), palette=palette)
    for entry in os.listdir("staged"):
        os.replace(os.path.join("staged", entry), os.path.join(config["outdir"], entry))
    return 0


def step_merge(config):
    return globals()[RULES[config["program"]].merge](config)


if __name__ == "__main__":
    with open(sys.argv[2]) as f:
        work_config = json.load(f)
    step = sys.argv[1]
    if step == "merge":
        sys.exit(step_merge(work_config))
    if step == "assemble":
        sys.exit(assemble_zonrik(work_config))
    if step == "paint":
        sys.exit(step_paint(work_config, sys.argv[3]))
    if RULES[work_config["program"]].background:
        sys.exit(step_background_tile(work_config, sys.argv[3]))
    if step == "vorlix-share":
        sys.exit(step_vorlix_share(work_config, sys.argv[3], sys.argv[4]))
    if step == "vorlix-statistics":
        sys.exit(step_vorlix_statistics(work_config, sys.argv[3]))
    if work_config["program"] == "vorlix":
        sys.exit(step_vorlix_tile(work_config, sys.argv[3]))
    step_cut(work_config, sys.argv[3])
    sys.exit(step_run(work_config, sys.argv[3]))
