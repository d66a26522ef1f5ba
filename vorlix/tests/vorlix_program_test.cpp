// The program run end to end on files in a temporary folder.

#include "random_images.h"
#include "reference_filter.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <tuple>

using namespace testsupport;

namespace {

const std::string defaults_lines =
    "\n\nImpossible to open \"vorlix_parameters.txt\" in reading\n\n### CARICAMENTO PARAMETRI DI DEFAULT ###\n\n";
const std::string file_lines = "\n\n### CARICAMENTO PARAMETRI DAL FILE \"vorlix_parameters.txt\" ###\n\n";

void write_image(const std::string& path, const Grid<std::uint8_t>& g)
{
    write_bytes(path, Bytes(g.cells().begin(), g.cells().end()));
}

std::string parameters_text(const VorlixParameters& p)
{
    char text[512];
    std::snprintf(text, sizeof text, "%d %d %d %.17g %.17g %.17g %d %d %d %.17g %.17g %.17g\n", p.par_min_raggio,
                  p.par_max_raggio, p.par_step_raggio, p.par_soglia_minrad, p.par_soglia_varrad, p.par_soglia_ang,
                  p.par_quadrosoglia, p.par_min_blob, p.par_blob_max, p.par_reclass_source, p.par_reclass_minrad,
                  p.par_reclass_varrad);
    return text;
}

// Runs the program on the image with the parameters and checks the console
// and the segments file against the straightforward filter.
void expect_as_reference(const Grid<std::uint8_t>& image, const VorlixParameters& p, const std::string& what)
{
    TempDir dir;
    write_image(dir.file("img.raw"), image);
    write_text(dir.file("vorlix_parameters.txt"), parameters_text(p));
    const RunResult run = run_program(
        "vorlix", {"img", std::to_string(image.width()), std::to_string(image.height())}, dir.path());
    const reference::Run want = reference::filtra(image, p);
    EXPECT_EQ(run.status, 0) << what;
    EXPECT_EQ(run.out, file_lines + want.console) << what;
    EXPECT_EQ(read_text(dir.file("segmenti.txt")), want.segments_file) << what;
    EXPECT_EQ(list_files(dir.path()),
              (std::vector<std::string>{"img.raw", "nomefile", "segmenti.txt", "vorlix_parameters.txt"}));
}

VorlixParameters small_radii()
{
    VorlixParameters p = default_parameters();
    p.par_min_raggio = 2;
    p.par_max_raggio = 11;
    p.par_step_raggio = 3;
    p.par_quadrosoglia = 4;
    p.par_min_blob = 6;
    p.par_blob_max = 40;
    return p;
}

}  // namespace

TEST(VorlixProgram, WrongFileSizeIsRefusedBeforeTheParameters)
{
    TempDir dir;
    write_bytes(dir.file("img.raw"), Bytes(5001, 100));
    const RunResult run = run_program("vorlix", {"img", "100", "50"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "\nERROR: file size of \"img.raw\" not matching with xdim & ydim!\n\nUSAGE: vorlix <nomefile> <xdim> "
              "<ydim>\n");
    const RunResult missing = run_program("vorlix", {"nothing", "10", "10"}, dir.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("file size of \"nothing.raw\""), std::string::npos);
}

TEST(VorlixProgram, DefaultsWithoutAParameterFile)
{
    TempDir dir;
    const Grid<std::uint8_t> image = testimages::grey_with_lines(48, 40, 41);
    write_image(dir.file("img.raw"), image);
    const RunResult run = run_program("vorlix", {"img", "48", "40"}, dir.path());
    const reference::Run want = reference::filtra(image, default_parameters());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, defaults_lines + want.console);
    EXPECT_EQ(read_text(dir.file("segmenti.txt")), want.segments_file);
}

TEST(VorlixProgram, ParameterFileWithOnlyTheRadii)
{
    TempDir dir;
    const Grid<std::uint8_t> image = testimages::grey_with_lines(30, 26, 42);
    write_image(dir.file("img.raw"), image);
    write_text(dir.file("vorlix_parameters.txt"), "3\n9 3\n");
    const RunResult run = run_program("vorlix", {"img", "30", "26"}, dir.path());
    VorlixParameters p;  // the other nine stay zero
    p.par_min_raggio = 3;
    p.par_max_raggio = 9;
    p.par_step_raggio = 3;
    const reference::Run want = reference::filtra(image, p);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, file_lines + want.console);
    EXPECT_EQ(read_text(dir.file("segmenti.txt")), want.segments_file);
}

TEST(VorlixProgram, AllZeroImage)
{
    TempDir dir;
    write_bytes(dir.file("img.raw"), Bytes(20 * 10, 0));
    const RunResult run = run_program("vorlix", {"img", "20", "10"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, defaults_lines + "\n\n### END ###\n");
    EXPECT_EQ(read_bytes(dir.file("segmenti.txt")).size(), 0u);
    EXPECT_TRUE(file_exists(dir.file("nomefile")));
}

TEST(VorlixProgram, MinimumRadiusAboveMaximumRunsNoRadius)
{
    VorlixParameters p = default_parameters();
    p.par_min_raggio = 9;
    p.par_max_raggio = 4;
    expect_as_reference(testimages::grey_with_lines(25, 20, 43), p, "min above max");
}

TEST(VorlixProgram, UniformImageDetectsNothing)
{
    TempDir dir;
    write_bytes(dir.file("img.raw"), Bytes(30 * 20, 128));
    write_text(dir.file("vorlix_parameters.txt"), parameters_text(small_radii()));
    const RunResult run = run_program("vorlix", {"img", "30", "20"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(read_bytes(dir.file("segmenti.txt")).size(), 0u);
    EXPECT_EQ(run.out.find("ESTRATTO"), std::string::npos);
}

TEST(VorlixProgram, MatchesTheStraightforwardFilterOnRandomImages)
{
    for (std::uint32_t seed = 50; seed < 56; ++seed) {
        VorlixParameters p = small_radii();
        p.par_quadrosoglia = 2 + static_cast<int>(seed % 4);
        expect_as_reference(testimages::grey_with_lines(36 + seed % 7, 28 + seed % 5, seed), p,
                            "seed " + std::to_string(seed));
    }
}

TEST(VorlixProgram, WorkingFolderWithABlank)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("my data"));
    const Grid<std::uint8_t> image = testimages::grey_with_lines(30, 24, 44);
    write_image(dir.file("my data/img.raw"), image);
    write_text(dir.file("vorlix_parameters.txt"), parameters_text(small_radii()));
    const RunResult run = run_program("vorlix", {"img", "30", "24", "my", "data"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(read_text(dir.file("my data/segmenti.txt")), reference::filtra(image, small_radii()).segments_file);
    EXPECT_FALSE(file_exists(dir.file("segmenti.txt")));
    EXPECT_TRUE(file_exists(dir.file("nomefile")));
    EXPECT_FALSE(file_exists(dir.file("my data/nomefile")));
}

TEST(VorlixProgram, PromptsAndWaitsForAKey)
{
    TempDir dir;
    write_bytes(dir.file("img.raw"), Bytes(12 * 8, 0));
    const RunResult run = run_program("vorlix", {}, dir.path(), "img\n12\n8\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Input file: \nWidth: \nHeight: " + defaults_lines + "\n\n### END ###\n");
    const RunResult ended = run_program("vorlix", {"img"}, dir.path(), "img\n12\n");
    EXPECT_EQ(ended.status, 2);
}

TEST(VorlixProgram, ParametersThatCannotEndAreRefused)
{
    TempDir dir;
    write_bytes(dir.file("img.raw"), Bytes(10 * 10, 90));
    write_text(dir.file("vorlix_parameters.txt"), "5 40 0 0.9 0.92 210 8 16 1000 1.35 1.35 1.5\n");
    const RunResult step = run_program("vorlix", {"img", "10", "10"}, dir.path());
    EXPECT_EQ(step.status, 1);
    EXPECT_NE(step.out.find("radius step"), std::string::npos);
    EXPECT_FALSE(file_exists(dir.file("segmenti.txt")));
    write_text(dir.file("vorlix_parameters.txt"), "5 40 5 0.9 0.92 210 -1 16 1000 1.35 1.35 1.5\n");
    const RunResult window = run_program("vorlix", {"img", "10", "10"}, dir.path());
    EXPECT_EQ(window.status, 1);
    EXPECT_NE(window.out.find("window half side"), std::string::npos);
}

TEST(VorlixProgram, RadiiAboveSixtyThreeWork)
{
    VorlixParameters p = small_radii();
    p.par_min_raggio = 60;
    p.par_max_raggio = 70;
    p.par_step_raggio = 10;
    expect_as_reference(testimages::grey_with_lines(26, 20, 45), p, "large radii");
}

TEST(VorlixProgram, OutputsThatCannotBeWritten)
{
    TempDir dir;
    const Grid<std::uint8_t> image = testimages::grey_with_lines(40, 30, 46);
    write_image(dir.file("img.raw"), image);
    write_text(dir.file("vorlix_parameters.txt"), parameters_text(small_radii()));
    const auto before = folder_contents(dir.path());

    // The working file cannot be written: nothing is left, not even the
    // marker.
    const RunResult working = run_program_with_file_limit("vorlix", {"img", "40", "30"}, dir.path(), 1);
    EXPECT_EQ(working.status, 1);
    EXPECT_NE(working.out.find("\n\nImpossibile aprire il file <finale_grezza.raw> in scrittura\n"
                               "cannot write 'finale_grezza.raw.part-"),
              std::string::npos)
        << working.out;
    EXPECT_EQ(working.out.find("### END ###"), std::string::npos);
    EXPECT_EQ(folder_contents(dir.path()), before);

    // Outputs that are folders are refused before any work.
    for (const char* output : {"segmenti.txt", "nomefile"}) {
        std::filesystem::create_directory(dir.file(output));
        const RunResult r = run_program("vorlix", {"img", "40", "30"}, dir.path());
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, file_lines + "\nError: the output '" + output + "' is a folder; nothing was written\n");
        EXPECT_EQ(folder_contents(dir.path()), before);
        std::filesystem::remove(dir.file(output));
    }
    EXPECT_GT(expect_whole_outputs_or_none("vorlix", {"img", "40", "30"}, dir.path()), 1);
}

// The working file belongs to the run: an input of that name stays, and two
// runs started from one folder never see each other's line mask.
TEST(VorlixProgram, WorkingFileIsPrivateToTheRun)
{
    TempDir dir;
    const Grid<std::uint8_t> image = testimages::grey_with_lines(40, 30, 47);
    write_image(dir.file("finale_grezza.raw"), image);
    write_text(dir.file("vorlix_parameters.txt"), parameters_text(small_radii()));
    const RunResult r = run_program("vorlix", {"finale_grezza", "40", "30"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_text(dir.file("segmenti.txt")), reference::filtra(image, small_radii()).segments_file);
    EXPECT_EQ(read_bytes(dir.file("finale_grezza.raw")), Bytes(image.cells().begin(), image.cells().end()));

    // Two images whose solo results differ, run in pairs from one folder,
    // each read from and writing into a working folder of its own.
    const Grid<std::uint8_t> other = testimages::grey_with_lines(40, 30, 48);
    write_image(dir.file("other.raw"), other);
    const std::string one = reference::filtra(image, small_radii()).segments_file;
    const std::string two = reference::filtra(other, small_radii()).segments_file;
    ASSERT_NE(one, two);
    const std::string vorlix = program_path("vorlix");
    std::string script = "cd '" + dir.path() + "' && for i in $(seq 1 20); do mkdir a$i b$i; "
              "cp finale_grezza.raw a$i; cp other.raw b$i; ";
    script += "'" + vorlix + "' finale_grezza 40 30 a$i > a$i/out.txt & ";
    script += "'" + vorlix + "' other 40 30 b$i > b$i/out.txt & wait; done";
    ASSERT_EQ(std::system(script.c_str()), 0);
    for (int i = 1; i <= 20; ++i) {
        const std::string a = dir.file("a" + std::to_string(i)), b = dir.file("b" + std::to_string(i));
        EXPECT_EQ(read_text(a + "/segmenti.txt"), one) << "pair " << i;
        EXPECT_EQ(read_text(b + "/segmenti.txt"), two) << "pair " << i;
        EXPECT_EQ(read_text(a + "/out.txt"), file_lines + reference::filtra(image, small_radii()).console);
    }
    std::vector<std::string> files;
    for (const auto& file : folder_contents(dir.path())) files.push_back(file.first);
    EXPECT_EQ(files, (std::vector<std::string>{"finale_grezza.raw", "nomefile", "other.raw", "segmenti.txt",
                                               "vorlix_parameters.txt"}));
}

TEST(VorlixProgram, OutputsNamedLikeInputsAreRefused)
{
    TempDir dir;
    write_image(dir.file("img.raw"), testimages::grey_with_lines(20, 16, 49));
    write_text(dir.file("vorlix_parameters.txt"), parameters_text(small_radii()));
    std::filesystem::create_symlink("img.raw", dir.file("segmenti.txt"));
    const auto before = folder_contents(dir.path());
    RunResult r = run_program("vorlix", {"img", "20", "16"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, file_lines +
                         "\nError: the output 'segmenti.txt' would overwrite the input 'img.raw'; nothing was written\n");
    EXPECT_EQ(folder_contents(dir.path()), before);
    std::filesystem::remove(dir.file("segmenti.txt"));
    std::filesystem::create_symlink("vorlix_parameters.txt", dir.file("nomefile"));
    r = run_program("vorlix", {"img", "20", "16"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\nError: the output 'nomefile' would overwrite the input 'vorlix_parameters.txt'"),
              std::string::npos);
    EXPECT_EQ(read_text(dir.file("vorlix_parameters.txt")), parameters_text(small_radii()));
}

TEST(VorlixProgram, UnreadableParameterFileAndWrongNumbersAreRefused)
{
    TempDir dir;
    write_bytes(dir.file("img.raw"), Bytes(10 * 10, 90));
    std::filesystem::create_directory(dir.file("vorlix_parameters.txt"));
    RunResult r = run_program("vorlix", {"img", "10", "10"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nERROR: \"vorlix_parameters.txt\" cannot be read: Is a directory\n");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"img.raw", "vorlix_parameters.txt"}));

    for (const auto& [width, height, message] :
         {std::tuple<std::string, std::string, std::string>{"10x", "10", "'10x' is not a whole number (width)"},
          {"10", "1e1", "'1e1' is not a whole number (height)"}}) {
        r = run_program("vorlix", {"img", width, height}, dir.path());
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "\nError: " + message + "\n");
    }
}

TEST(VorlixProgram, HelpAndVersionNeverPrompt)
{
    TempDir dir;
    RunResult r = run_program("vorlix", {"--help"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("vorlix: ", 0), 0u);
    EXPECT_NE(r.out.find("vorlix <nomefile> <xdim> <ydim> [working folder]"), std::string::npos);
    EXPECT_NE(r.out.find("Exit status: 0 done; 1"), std::string::npos);
    r = run_program("vorlix", {"--version"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("vorlix ", 0), 0u);
    EXPECT_EQ(r.out.find("Input file"), std::string::npos);
    EXPECT_TRUE(list_files(dir.path()).empty());
}

// A radius typed at the int limit costs no more than the image's own extent
// (it used to ask for a direction table of billions of offsets).
TEST(VorlixProgram, HugeRadiusFromTheParameterFile)
{
    TempDir dir;
    write_image(dir.file("img.raw"), testimages::grey_with_lines(16, 12, 44));
    write_text(dir.file("vorlix_parameters.txt"), "2147483647 2147483647 1 0.9 0.92 210 8 16 1000 1.35 1.35 1.5\n");
    const RunResult run = run_program("vorlix", {"img", "16", "12"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Calcolo trasformate (raggio = 2147483647):"), std::string::npos);
    EXPECT_NE(run.out.find("### END ###"), std::string::npos);
}

// The transforms and window tests on one, two or three threads: the same
// console text and segments, those of the straightforward filter; a thread
// count that is no whole number from 1 up is refused.
TEST(VorlixProgram, ThreadCountsGiveTheSameBytes)
{
    TempDir dir;
    const Grid<std::uint8_t> image = testimages::grey_with_lines(120, 90, 47);
    write_image(dir.file("img.raw"), image);
    write_text(dir.file("vorlix_parameters.txt"), parameters_text(small_radii()));
    const reference::Run want = reference::filtra(image, small_radii());
    for (const char* threads : {"1", "2", "3"}) {
        const RunResult run = run_program("vorlix", {"--threads", threads, "img", "120", "90"}, dir.path());
        EXPECT_EQ(run.status, 0) << threads;
        EXPECT_EQ(run.out, file_lines + want.console) << threads;
        EXPECT_EQ(read_text(dir.file("segmenti.txt")), want.segments_file) << threads;
    }
    for (const char* wrong : {"0", "two", "-1", ""}) {
        const RunResult run = run_program("vorlix", {"img", "120", "90", "--threads", wrong}, dir.path());
        EXPECT_EQ(run.status, 1) << wrong;
        EXPECT_EQ(run.out, std::string("vorlix: the option '--threads' needs a whole number from 1 up, not '") + wrong +
                               "'\nRun 'vorlix --help' for the usage.\n");
    }
}

// A RAW image with a standard world file and a ".prj" beside it: the same
// segments, and beside them the image's world file in the outer-corner
// convention Traskel reads, and the CRS.
TEST(VorlixProgram, PlacedImageGivesTheSegmentsAWorldFileAndCrs)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("out"));
    const Grid<std::uint8_t> image = testimages::grey_with_lines(30, 24, 45);
    write_image(dir.file("out/img.raw"), image);
    write_text(dir.file("out/img.wld"), "0.5\n0\n0\n-0.5\n600000.25\n5100999.75\n");
    write_text(dir.file("out/img.prj"), "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137.0,"
                                        "298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]");
    write_text(dir.file("vorlix_parameters.txt"), parameters_text(small_radii()));
    const RunResult run = run_program("vorlix", {"img", "30", "24", "out"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(read_text(dir.file("out/segmenti.txt")), reference::filtra(image, small_radii()).segments_file);
    EXPECT_EQ(read_text(dir.file("out/segmenti.bpw")), "0.5\n0\n0\n-0.5\n600000\n5101000\n");
    EXPECT_EQ(read_text(dir.file("out/segmenti.prj")).rfind("GEOGCS[", 0), 0u);
    EXPECT_EQ(list_files(dir.file("out")), (std::vector<std::string>{"img.prj", "img.raw", "img.wld", "segmenti.bpw",
                                                                     "segmenti.prj", "segmenti.txt"}));
    // A world file that cannot be used stops the run before any output.
    write_text(dir.file("out/img.wld"), "0.5\n0\n0\n0\n600000\n5101000\n");
    const RunResult bad = run_program("vorlix", {"img", "30", "24", "out"}, dir.path());
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("img.wld"), std::string::npos) << bad.out;
}
