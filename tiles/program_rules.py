"""What each program asks of a tiled run: its arguments, its cut rule (the
context its tiles need and what is written beside each tile) and its merge
rule (the step of tiling.py that turns the tiles' results into one run's).
A program joins the tiled runs with an entry here and, when no existing
step fits, a merge step in tiling.py."""

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
    # The program's arguments after the tile's name.
    arguments: Callable[[dict], List[str]]


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


RULES = {
    # Blobs cut by seams are joined exactly: no overlap; the tiles are traced
    # in pixel units (no world file) and joined in the mosaic's.
    "polvane": ProgramRule(0, 0, True, 14, True, False, False, "join_polvane", polvane_output,
                           lambda config: ["t"] + (["--mask"] if polvane_request(config["args"])["mask"] else [])),
    # Pixel by pixel: no overlap.
    "stelvar": ProgramRule(0, 0, True, 6, False, True, False, "assemble_stelvar", stelvar_output,
                           lambda config: list(config["args"])),
    # Buildings up to the overlap are cleaned as in one run; the closing
    # reads two pixels around a building.
    "murgel": ProgramRule(256, 2, False, 6, False, True, True, "assemble_murgel", murgel_output,
                          lambda config: list(config["args"])),
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
    "zonrik": "its statistics are sums taken in one order over each polygon, which tiles cannot "
              "reproduce to the bit yet",
    "talvern": "the pairing of buildings with shadows across tiles is not yet in place",
}
