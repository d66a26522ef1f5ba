"""What each program asks of a tiled run: its arguments, its cut rule (the
context its tiles need and what is written beside each tile) and its merge
rule (the step of tiling.py that turns the tiles' results into one run's).
A program joins the tiled runs with an entry here and, when no existing
step fits, a merge step in tiling.py."""

import re
from dataclasses import dataclass
from typing import Callable, List, Optional


class UsageError(Exception):
    """Arguments a program cannot be run with; the message says why."""


@dataclass(frozen=True)
class ProgramRule:
    overlap: int  # default --overlap: the largest object answered for exactly
    context: int  # pixels beyond the overlap that the program reads around an object
    exact_without_overlap: bool  # joined exactly from tiles that do not overlap: --overlap refused
    bytes_per_pixel: int  # memory of a tile's job, per pixel of the tile
    census: bool  # the tile's class census beside it (census.txt)
    world_file: bool  # the tile's standard world file and .prj beside it
    needs_black: bool  # a tile without a black pixel is foreground alone: not run
    merge: str  # the step of tiling.py that puts the results together
    # Checks the arguments given after "--" and gives the base name of the
    # results in OUTDIR (None: the program names them itself); `stem` is the
    # mosaic's name without its extension.
    output_name: Callable[[List[str], str], Optional[str]]
    # The program's arguments after the tile's name, for the tile (its
    # entry in the config's tiles).
    arguments: Callable[[dict, dict], List[str]]
    # The first argument after "--" is a second mosaic of the same size, cut
    # on the same tiles as the tile's second map.
    second_map: bool = False
    # A parameter file read from the current folder: its text is kept in the
    # config and written into every tile's folder.
    parameter_file: Optional[str] = None
    # The pixels beyond the overlap a tile reads around an object when they
    # depend on the overlap and the parameter file's text (else `context`).
    reach: Optional[Callable[[int, Optional[str]], int]] = None
    # The base of the results' names that one run takes from the name of a
    # mosaic file (None: the name without its extension).
    stem_of: Optional[Callable[[str], str]] = None
    # The mosaic is a background that the program's own helper describes,
    # reads tile by tile and measures (tiling.py's background steps).
    background: bool = False


def polvane_request(extra):
    """Polvane's arguments after "--": [--gis] [--of GPKG] [--mask] [NAME]."""
    request = {"gis": False, "gpkg": False, "mask": False, "name": None}
    words = list(extra)
    while words:
        word = words.pop(0)
        if word in ("--gis", "--mask"):
            request[word[2:]] = True
        elif word == "--of":
            if not words or words[0].lower() not in ("gpkg", "geopackage"):
                raise UsageError("polvane writes with --of only GPKG (one GeoPackage)")
            words.pop(0)
            request["gpkg"] = True
        elif word.startswith("-"):
            raise UsageError(f"polvane's option '{word}' cannot be given to a tiled run "
                             "(it takes --gis, --of GPKG and --mask)")
        elif request["name"] is None:
            request["name"] = word
        else:
            raise UsageError("polvane takes one argument after --: the output name (a working folder is OUTDIR)")
    return request


def polvane_output(extra, stem):
    return polvane_request(extra)["name"] or stem


def stelvar_output(extra, stem):
    if len(extra) != 4:
        raise UsageError("stelvar needs four arguments after --: LOWER UPPER STEP MODE")
    return None


def murgel_output(extra, stem):
    if len(extra) != 2 or extra[0] not in ("bmp", "raw"):
        raise UsageError("murgel needs two arguments after --: the result type (bmp or raw) and the blob threshold")
    return stem + "_out"


def talvern_output(extra, stem):
    if len(extra) != 4:
        raise UsageError("talvern needs four arguments after --: the shadow mosaic, the sun azimuth, the sun "
                         "elevation and the pixel size")
    for text, meaning in zip(extra[1:], ("sun azimuth", "sun elevation", "pixel size")):
        try:
            float(text)
        except ValueError:
            raise UsageError(f"'{text}' is not a number ({meaning})") from None
    return stem + "_raise"


def talvern_arguments(config, tile):
    """The shadow tile, the numbers, and where the tile lies in the mosaic
    (x from the left, y from the bottom), so that its searches end where one
    run's do."""
    x, y, _, h = tile["area"]
    return ["shadow.bmp"] + list(config["args"][1:]) + ["--origin", f"{x},{config['info']['height'] - y - h}"]


def talvern_search_length(text):
    """max_lenght_shadow as Talvern reads it from the text of its parameter
    file (None: the file is missing): entries "<key> = <integer>", the blank
    before "=" part of the key; blanks, tabs, newlines and digits between
    entries are skipped; the last entry wins; default 20."""
    length, pos = 20, 0
    text = text or ""
    while True:
        while pos < len(text) and (text[pos] in " \t\n0123456789" or text.startswith("\r\n", pos)):
            pos += 1
        equals = text.find("=", pos)
        if pos >= len(text) or equals < 0:
            return length
        key, pos = text[pos : equals + 1], equals + 1
        if key == "max_lenght_shadow =":
            number = re.match(r"[ \t\n\r\v\f]*([-+]?[0-9]+)", text[pos:])
            if number:
                length = max(-2**31, min(2**31 - 1, int(number.group(1))))
                pos += number.end()


def talvern_reach(overlap, parameters):
    """Around a building of up to `overlap` pixels a tile reads its trace
    rectangle (up to half the building's size and one pixel beyond its
    box) and the shadow search (the search length from a pixel next to the
    building)."""
    return max(overlap // 2, talvern_search_length(parameters))


ZONRIK_FLAGS = ("--partial", "--gis")
ZONRIK_VALUE_OPTIONS = ("--cover-max", "--cover-min", "--of")


def zonrik_request(extra):
    """Zonrik's arguments after "--": POLYGONS OUTPUT FUNCTION and its
    options (--partial, --gis, --cover-max N, --cover-min N, --of FORMAT),
    in any order."""
    words, options, rest = [], [], list(extra)
    while rest:
        word = rest.pop(0)
        if word in ZONRIK_FLAGS:
            options.append(word)
        elif word in ZONRIK_VALUE_OPTIONS:
            if not rest:
                raise UsageError(f"zonrik's option '{word}' needs a value")
            if word == "--of" and rest[0].lower() in ("gtiff", "geotiff"):
                raise UsageError("a tiled zonrik run writes its value raster and cover picture as RAW and BMP "
                                 "(--of GPKG is taken)")
            options += [word, rest.pop(0)]
        elif word.startswith("--"):
            raise UsageError(f"zonrik's option '{word}' cannot be given to a tiled run (it takes "
                             f"{', '.join(ZONRIK_FLAGS + ZONRIK_VALUE_OPTIONS)})")
        else:
            words.append(word)
    if len(words) != 3:
        raise UsageError("zonrik needs three arguments after --: the polygon shapefile, the output name and the "
                         "function (a working folder is OUTDIR)")
    return {"shapefile": words[0], "output": words[1], "function": words[2], "options": options}


def zonrik_output(extra, stem):
    return zonrik_request(extra)["output"]


def zonrik_command(config):
    """One zonrik run's arguments on the whole background (the shapefile's
    name made absolute by suite-tiles)."""
    request = zonrik_request(config["args"])
    return request["options"] + [request["shapefile"], config["raster"], request["output"], request["function"]]


RULES = {
    # Blobs cut by seams are joined exactly: no overlap; the tiles are traced
    # in pixel units (no world file) and joined in the mosaic's.
    "polvane": ProgramRule(0, 0, True, 14, True, False, False, "join_polvane", polvane_output,
                           lambda config, tile: ["t"] + (["--mask"] if polvane_request(config["args"])["mask"] else [])),
    # Pixel by pixel: no overlap.
    "stelvar": ProgramRule(0, 0, True, 6, False, True, False, "assemble_stelvar", stelvar_output,
                           lambda config, tile: list(config["args"])),
    # Buildings up to the overlap are cleaned as in one run; the closing
    # reads two pixels around a building.
    "murgel": ProgramRule(256, 2, False, 6, False, True, True, "assemble_murgel", murgel_output,
                          lambda config, tile: list(config["args"])),
    # Buildings up to the overlap, with their trace rectangles and shadow
    # searches within their tiles, are measured as in one run.
    "talvern": ProgramRule(256, 0, False, 30, False, True, False, "assemble_talvern", talvern_output,
                           talvern_arguments, second_map=True, parameter_file="raise_parameters.txt",
                           reach=talvern_reach, stem_of=lambda name: name[:-4]),
    # Zones are measured from the tiles' values in one run's order, exactly:
    # no overlap; the helper reads each tile's window of the background.
    "zonrik": ProgramRule(0, 0, True, 12, False, False, False, "merge_zonrik", zonrik_output,
                          lambda config, tile: [], background=True),
}


# The programs a tiled run refuses, and why.
REFUSED = {
    "traskel": "it reads a segments file, not a raster; one run handles any number of segments in "
               "memory proportional to them, and is as fast as reading the file",
    "drelwin": "it reads a segments file, not a raster; one run draws them in one pass, and its picture "
               "is the one raster it holds",
    "kestrom": "it intersects a file of segment pairs and reads the terrain model only at the crossings; "
               "one run does no work per pixel to share among tiles",
    "vorlix": "its filters are being reworked; tiling it (overlap of twice its largest radius, segments "
              "kept by the tile holding their midpoint) waits for them",
}
