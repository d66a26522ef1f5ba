"""A run with a full command line never waits for a person: failing runs of
every program, their standard input an open pipe that nobody writes to, end
by themselves with a failure status."""

import os
import subprocess

from suite_files import SuiteRuns, run_tests

# Each program with a full command line whose input is missing or broken.
FAILING_RUNS = [
    ("stelvar", ["missing.bmp", 100, 200, 50, 0]),
    ("murgel", ["missing.bmp", "bmp", 3]),
    ("murgel", ["broken.bmp", "bmp", 3]),
    ("polvane", ["broken.bmp", "out"]),
    ("talvern", ["broken.bmp", "broken.bmp", 40, 60, 0.5]),
    ("vorlix", ["missing", 16, 16]),
    ("traskel", ["missing.txt", "out", 16, 16]),
    ("drelwin", ["missing.txt", "out.bmp", 16, 16]),
    ("kestrom", ["missing.txt", "dtm"]),
    ("zonrik", ["missing.shp", "missing.raw", "out", "mean"]),
]


class FullCommandLines(SuiteRuns):
    def test_failing_runs_end_without_reading_standard_input(self):
        with open(os.path.join(self.folder.path, "broken.bmp"), "wb") as f:
            f.write(b"BM" + bytes(60))
        for program, args in FAILING_RUNS:
            with self.subTest(program=program, args=args):
                process = subprocess.Popen([os.path.join(self.suite.bin, program)] + [str(a) for a in args],
                                           cwd=self.folder.path, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL)
                try:
                    status = process.wait(timeout=20)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
                    self.fail(f"{program} waited for standard input")
                finally:
                    process.stdin.close()
                self.assertNotEqual(status, 0)


if __name__ == "__main__":
    run_tests()
