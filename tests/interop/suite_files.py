"""The suite's file layouts read and written with plain Python, without GDAL.

The interoperability tests hold what GDAL and OGR make of a file against
what its bytes say, as read here: shapefiles (main file, index header and
dBASE table), 8-bit palette BMPs, ENVI headers. Also a writer of class maps
in the suite's own BMP layout, and the runner of the suite's programs.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
from dataclasses import dataclass, field

def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


# --- Shapefiles ------------------------------------------------------------


@dataclass
class ShapeRecord:
    box: tuple  # xmin, ymin, xmax, ymax
    parts: list  # each a list of (x, y) vertices


@dataclass
class Shapefile:
    shape_type: int
    box: tuple
    records: list = field(default_factory=list)


def read_shp(path):
    with open(path, "rb") as f:
        data = f.read()
    (code,) = struct.unpack(">i", data[0:4])
    if code != 9994:
        raise ValueError(f"{path}: not a shapefile")
    (words,) = struct.unpack(">i", data[24:28])
    if words * 2 != len(data):
        raise ValueError(f"{path}: length field {words * 2} bytes, file {len(data)}")
    (shape_type,) = struct.unpack("<i", data[32:36])
    shp = Shapefile(shape_type, struct.unpack("<4d", data[36:68]))
    at = 100
    while at < len(data):
        _number, content_words = struct.unpack(">ii", data[at : at + 8])
        c = at + 8
        box = struct.unpack("<4d", data[c + 4 : c + 36])
        parts, points = struct.unpack("<ii", data[c + 36 : c + 44])
        starts = list(struct.unpack(f"<{parts}i", data[c + 44 : c + 44 + 4 * parts])) + [points]
        xy = struct.unpack(f"<{2 * points}d", data[c + 44 + 4 * parts : c + 44 + 4 * parts + 16 * points])
        rings = [[(xy[2 * v], xy[2 * v + 1]) for v in range(starts[p], starts[p + 1])] for p in range(parts)]
        shp.records.append(ShapeRecord(box, rings))
        at = c + 2 * content_words
    return shp


def read_shx_box(path):
    """The box of the index file's header: xmin, ymin, xmax, ymax."""
    with open(path, "rb") as f:
        return struct.unpack("<4d", f.read(100)[36:68])


def read_dbf(path):
    """Field descriptors (name, type, length, decimals) and the records as
    lists of field texts, blanks stripped."""
    with open(path, "rb") as f:
        data = f.read()
    count, header_length, record_length = struct.unpack("<IHH", data[4:12])
    fields = []
    at = 32
    while data[at] != 0x0D:
        name = data[at : at + 11].split(b"\0")[0].decode("ascii")
        fields.append((name, chr(data[at + 11]), data[at + 16], data[at + 17]))
        at += 32
    rows = []
    for r in range(count):
        record = data[header_length + r * record_length : header_length + (r + 1) * record_length]
        values, offset = [], 1  # behind the deletion flag
        for _name, _type, length, _decimals in fields:
            values.append(record[offset : offset + length].decode("ascii").strip())
            offset += length
        rows.append(values)
    return fields, rows


def signed_area(ring):
    """Twice the shoelace area: positive for a counter-clockwise ring (y up)."""
    return sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(ring, ring[1:]))


# --- BMP -------------------------------------------------------------------


@dataclass
class Bmp:
    width: int
    height: int
    palette: list  # (red, green, blue) per entry
    rows: list  # palette indices, one bytes object per row, top row first


def read_bmp(path):
    """An 8-bit BMP in the suite's layout: 40-byte info header, 256 palette
    entries, rows bottom-up from offset 1078."""
    with open(path, "rb") as f:
        data = f.read()
    if data[0:2] != b"BM" or data[28] != 8:
        raise ValueError(f"{path}: not an 8-bit BMP")
    width, height = struct.unpack("<ii", data[18:26])
    palette = [(data[54 + 4 * i + 2], data[54 + 4 * i + 1], data[54 + 4 * i]) for i in range(256)]
    stride = (width + 3) // 4 * 4
    rows = [data[1078 + r * stride : 1078 + r * stride + width] for r in range(height)]
    return Bmp(width, height, palette, rows[::-1])


def write_class_bmp(path, rows, colours):
    """A class map in the suite's BMP layout. rows: strings listed from the
    top, '.' black and letters 'a', 'b', ... the colours given (0xRRGGBB)."""
    height, width = len(rows), len(rows[0])
    palette = [(0, 0, 0)] + [((c >> 16) & 255, (c >> 8) & 255, c & 255) for c in colours]
    palette += [(g, g, g) for g in range(len(palette), 256)]
    stride = (width + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        pixels += bytes(0 if ch == "." else ord(ch) - ord("a") + 1 for ch in row)
        pixels += b"\xff" * (stride - width)
    header = b"BM" + struct.pack("<IIIIiiHHIIiiII", 1078 + len(pixels), 0, 1078, 40, width, height, 1, 8, 0,
                                  len(pixels), 2800, 2800, 256, 256)
    with open(path, "wb") as f:
        f.write(header + b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + pixels)


# --- ENVI-labelled RAW ------------------------------------------------------


def read_envi_header(path):
    values = {}
    with open(path, "r", encoding="ascii") as f:
        lines = f.read().split("\n")
    if lines[0] != "ENVI":
        raise ValueError(f"{path}: no ENVI signature")
    for line in lines[1:]:
        if "=" in line:
            key, value = line.split("=", 1)
            values[key.strip()] = value.strip()
    return values


# --- Running the suite -------------------------------------------------------


class Suite:
    """The programs of one build folder (its bin/ and tools-bin/)."""

    def __init__(self, build_dir):
        self.bin = os.path.join(os.path.abspath(build_dir), "bin")
        self.tools = os.path.join(os.path.abspath(build_dir), "tools-bin")

    def has(self, program):
        return os.path.exists(os.path.join(self.bin, program))

    def run(self, program, args, cwd, stdin="", env=None):
        """Runs a program as a user would; returns its console output.
        Fails on a crash; exit statuses are the programs' own business."""
        full_env = dict(os.environ)
        full_env.pop("SUITE_SHAPEFILE_RINGS", None)
        full_env.update(env or {})
        done = subprocess.run([os.path.join(self.bin, program)] + [str(a) for a in args], cwd=cwd, input=stdin,
                              capture_output=True, text=True, env=full_env, timeout=300)
        if done.returncode < 0:
            raise RuntimeError(f"{program} {args} ended by signal {-done.returncode}:\n{done.stdout}{done.stderr}")
        return done.stdout + done.stderr

    def make_samples(self, folder):
        subprocess.run([os.path.join(self.tools, "make_samples"), folder], check=True, capture_output=True)


class TempFolder:
    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="suite-interop-")

    def file(self, name):
        return os.path.join(self.path, name)

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)


def suite_under_test():
    """The build folder the tests run, from SUITE_BUILD_DIR (set by ctest)."""
    return Suite(os.environ.get("SUITE_BUILD_DIR", "build"))


class SuiteRuns(unittest.TestCase):
    """Tests that run the suite's programs in a temporary folder of their
    class (`cls.folder`), removed at the end."""

    @classmethod
    def setUpClass(cls):
        cls.suite = suite_under_test()
        cls.folder = TempFolder()

    @classmethod
    def tearDownClass(cls):
        cls.folder.remove()


def run_tests():
    """unittest's main, with ctest's skip status (77) when every test was
    skipped, so that a missing tool shows as a skipped test."""
    result = unittest.main(exit=False, verbosity=2).result
    if not result.wasSuccessful():
        sys.exit(1)
    if result.testsRun and len(result.skipped) == result.testsRun:
        sys.exit(77)
