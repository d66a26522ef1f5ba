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


def polvane_output(extra, stem):
    if len(extra) > 1:
        raise UsageError("polvane takes one argument after --: the output name")
    return extra[0] if extra else stem


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
                           lambda config: ["t"]),
    # Pixel by pixel: no overlap.
    "stelvar": ProgramRule(0, 0, True, 6, False, True, False, "assemble_stelvar", stelvar_output,
                           lambda config: list(config["args"])),
    # Buildings up to the overlap are cleaned as in one run; the closing
    # reads two pixels around a building.
    "murgel": ProgramRule(256, 2, False, 6, False, True, True, "assemble_murgel", murgel_output,
                          lambda config: list(config["args"])),
}
