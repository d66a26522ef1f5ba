"""8-bit BMPs as other tools write them, read by polvane, talvern and murgel.

Usage: bmp_inputs_test.py <writer> [unittest arguments], writer one of
  gdal         GDAL's BMP driver (its own header fields), and GDAL's file
               rewritten top-down (negative height, top row first), as some
               Windows programs store them;
  pillow       Pillow, with a palette of only the colours used (a short
               palette, pixel data right behind it, indices renumbered);
  imagemagick  ImageMagick, uncompressed: a V5 info header of 124 bytes.

The sample town's building and shadow class maps and its thresholded
aerial mask are rewritten by the tool, and each program's outputs on the
rewritten files must be those on the suite's own layout: the same
shapefile and height raster bytes, the same cleaned mask picture.
Skipped (status 77) when the writer is not installed.
"""

import os
import shutil
import struct
import subprocess
import sys

import suite_files as sf

INPUTS = ["buildings.bmp", "shadows.bmp", "threshold_150.bmp"]


def info_header(path):
    """Data offset, info header size, height and colours used of a BMP."""
    with open(path, "rb") as f:
        head = f.read(54)
    (offset,) = struct.unpack("<I", head[10:14])
    size, _width, height = struct.unpack("<Iii", head[14:26])
    (colours_used,) = struct.unpack("<I", head[46:50])
    return {"offset": offset, "info_size": size, "height": height, "colours_used": colours_used}


def with_gdal(source, target):
    from osgeo import gdal

    gdal.UseExceptions()
    gdal.Translate(target, source, format="BMP")


def top_down(source, target):
    """The same picture stored top row first under a negative height."""
    with open(source, "rb") as f:
        data = bytearray(f.read())
    (offset,) = struct.unpack("<I", data[10:14])
    width, height = struct.unpack("<ii", data[18:26])
    stride = (width + 3) // 4 * 4
    rows = [bytes(data[offset + r * stride : offset + (r + 1) * stride]) for r in range(height)]
    data[22:26] = struct.pack("<i", -height)
    data[offset : offset + stride * height] = b"".join(reversed(rows))
    with open(target, "wb") as f:
        f.write(data)


def with_gdal_top_down(source, target):
    with_gdal(source, target + ".gdal.bmp")
    top_down(target + ".gdal.bmp", target)
    os.remove(target + ".gdal.bmp")


def with_pillow(source, target):
    from PIL import Image

    picture = Image.open(source)
    if picture.mode == "L":  # a grey palette, as Pillow sees it
        picture = picture.convert("P")
    used = sorted(index for _count, index in picture.getcolors())
    picture.remap_palette(used).save(target, "BMP")


def imagemagick():
    for convert in (shutil.which("convert"), "/usr/bin/convert"):
        if convert and os.path.exists(convert):
            done = subprocess.run([convert, "-version"], capture_output=True, text=True)
            if done.returncode == 0 and "ImageMagick" in done.stdout:
                return convert
    return None


def with_imagemagick(source, target):
    subprocess.run([imagemagick(), source, "-compress", "none", "BMP:" + target], check=True)


def gdal_installed():
    try:
        import osgeo.gdal  # noqa: F401
    except ImportError:
        return False
    return True


def pillow_installed():
    try:
        import PIL  # noqa: F401
    except ImportError:
        return False
    return True


# Per writer: whether it is there, and its variants (name, how the file is
# made from the suite's, what its header must show).
WRITERS = {
    "gdal": (gdal_installed, [
        ("gdal", with_gdal, lambda h: h["info_size"] == 40 and h["height"] > 0),
        ("gdal_top_down", with_gdal_top_down, lambda h: h["height"] < 0),
    ]),
    "pillow": (pillow_installed, [
        ("pillow_short_palette", with_pillow, lambda h: h["colours_used"] == 2 and h["offset"] == 54 + 2 * 4),
    ]),
    "imagemagick": (lambda: imagemagick() is not None, [
        ("imagemagick_v5", with_imagemagick, lambda h: h["info_size"] == 124 and h["offset"] == 14 + 124 + 1024),
    ]),
}


def run_programs(suite, folder):
    suite.run("polvane", ["buildings.bmp", "buildings"], folder)
    suite.run("talvern", ["buildings.bmp", "shadows.bmp", 40, 60, 0.5], folder)
    suite.run("murgel", ["threshold_150.bmp", "bmp", 40], folder)


def colours(path):
    """A BMP's picture as colours, row by row from the top."""
    bmp = sf.read_bmp(path)
    return bmp.width, bmp.height, [[bmp.palette[i] for i in row] for row in bmp.rows]


class BmpInputs(sf.SuiteRuns):
    writer = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.reference = cls.folder.file("suite_layout")
        os.mkdir(cls.reference)
        cls.suite.make_samples(cls.reference)
        cls.suite.run("stelvar", ["aerial.bmp", 150, 150, 1, 0], cls.reference)
        run_programs(cls.suite, cls.reference)

    def test_same_outputs_as_from_the_suite_layout(self):
        _installed, variants = WRITERS[self.writer]
        for name, write, header_is_as_claimed in variants:
            with self.subTest(variant=name):
                folder = self.folder.file(name)
                os.mkdir(folder)
                for picture in INPUTS:
                    write(os.path.join(self.reference, picture), os.path.join(folder, picture))
                    self.assertTrue(header_is_as_claimed(info_header(os.path.join(folder, picture))), picture)
                    self.assertNotEqual(sf.read_bytes(os.path.join(folder, picture)),
                                        sf.read_bytes(os.path.join(self.reference, picture)))
                shutil.copy(os.path.join(self.reference, "buildings.bpw"), folder)
                run_programs(self.suite, folder)
                for output in ["buildings_0.shp", "buildings_0.shx", "buildings_0.dbf", "buildings_raise.raw",
                               "buildings_raise.hdr"]:
                    self.assertEqual(sf.read_bytes(os.path.join(folder, output)),
                                     sf.read_bytes(os.path.join(self.reference, output)), output)
                # Murgel keeps the input's palette: the same picture in the
                # input's colours.
                self.assertEqual(colours(os.path.join(folder, "threshold_150_out.bmp")),
                                 colours(os.path.join(self.reference, "threshold_150_out.bmp")))


if __name__ == "__main__":
    if len(sys.argv) < 2 or sys.argv[1] not in WRITERS:
        sys.exit(f"usage: {sys.argv[0]} {'|'.join(WRITERS)} [unittest arguments]")
    BmpInputs.writer = sys.argv.pop(1)
    installed, _variants = WRITERS[BmpInputs.writer]
    if not installed():
        print(f"skipped: {BmpInputs.writer} is not installed")
        sys.exit(77)
    sf.run_tests()
