// End-to-end tests of the threshold slicer: the real program on BMPs built
// in a temporary folder.
#include "bmp_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>

#include <sys/stat.h>

using namespace testsupport;

namespace {

const std::vector<std::uint8_t> ramp = {0, 10, 37, 64, 100, 128, 192, 200, 255, 37};  // 5 x 2

class Stelvar : public testing::Test {
protected:
    void SetUp() override { write_bytes(dir.file("in.bmp"), make_bmp(5, 2, ramp, grey_palette())); }

    RunResult run(const std::vector<std::string>& args, const std::string& input = "")
    {
        return run_program("stelvar", args, dir.path(), input);
    }

    std::vector<std::uint8_t> slice_pixels(int threshold)
    {
        return bmp_pixels(read_bytes(dir.file("threshold_" + std::to_string(threshold) + ".bmp")));
    }

    TempDir dir;
};

std::vector<std::uint8_t> expected_slice(int threshold, bool grey)
{
    std::vector<std::uint8_t> out;
    for (auto v : ramp) out.push_back(v <= threshold ? (grey ? v : 0) : 255);
    return out;
}

TEST_F(Stelvar, WritesOneBinarySlicePerThreshold)
{
    const RunResult r = run({"in.bmp", "0", "255", "64", "0"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nEnd");
    EXPECT_EQ(list_files(dir.path()),
              (std::vector<std::string>{"in.bmp", "threshold_0.bmp", "threshold_128.bmp", "threshold_192.bmp",
                                        "threshold_64.bmp"}));
    for (int t : {0, 64, 128, 192}) EXPECT_EQ(slice_pixels(t), expected_slice(t, false)) << t;
}

TEST_F(Stelvar, SuiteLayoutInputGivesItsHeaderAndPaddingUnchanged)
{
    ASSERT_EQ(run({"in.bmp", "37", "37", "1", "1"}).status, 0);
    const Bytes in = read_bytes(dir.file("in.bmp"));
    const Bytes out = read_bytes(dir.file("threshold_37.bmp"));
    ASSERT_EQ(out.size(), in.size());
    EXPECT_TRUE(std::equal(in.begin(), in.begin() + 1078, out.begin()));
    // Width 5: three padding bytes of 255 per row.
    for (int r = 0; r < 2; ++r)
        for (int x = 5; x < 8; ++x) EXPECT_EQ(out[1078 + 8 * r + x], 255);
    EXPECT_EQ(slice_pixels(37), expected_slice(37, true));  // 37 stays 37 from threshold 37 up
}

TEST_F(Stelvar, ModeArgumentAndThresholdConversions)
{
    ASSERT_EQ(run({"in.bmp", "99", "99.9", "5", "2"}).status, 0);  // the upper threshold is cut at the point
    EXPECT_EQ(slice_pixels(99), expected_slice(99, false));
    ASSERT_EQ(run({"in.bmp", "100", "1e2", "5", "0"}).status, 0);
    EXPECT_EQ(slice_pixels(100), expected_slice(100, false));
    ASSERT_EQ(run({"in.bmp", "64", "64", "5", "1"}).status, 0);
    EXPECT_EQ(slice_pixels(64), expected_slice(64, true));
}

// A number argument that is not wholly a number is refused before anything
// is read or written; at the prompts the question is asked again.
TEST_F(Stelvar, NumbersMustBeWholeNumbers)
{
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    for (const Case& c : {Case{{"in.bmp", "99.9", "100", "5", "0"}, "'99.9' is not a whole number (lower threshold)"},
                          Case{{"in.bmp", "0", "99,9", "5", "0"}, "'99,9' is not a number (upper threshold)"},
                          Case{{"in.bmp", "0", "nan", "5", "0"}, "'nan' is not a number (upper threshold)"},
                          Case{{"in.bmp", "0", "100", "5x", "0"}, "'5x' is not a whole number (step)"},
                          Case{{"in.bmp", "0", "100", "5", "word"}, "'word' is not a whole number (mode)"},
                          Case{{"none.bmp", "0", "100", "5", ""}, "'' is not a whole number (mode)"}}) {
        const RunResult r = run(c.args);
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_EQ(r.out, std::string("\nError: ") + c.message + "\n");
        EXPECT_EQ(list_files(dir.path()).size(), 1u) << c.message;
    }
    const RunResult r = run({}, "in.bmp\n0\nten\n10\n0,5\n5\nn\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "\nInput file (.bmp)=\n\nLower threshold: \nUpper threshold: \n'ten' is not a whole number\n"
              "\nUpper threshold: \nStep: \n'0,5' is not a whole number\n\nStep: "
              "\nSogliatura a toni di grigio?(s/n): \nEnd");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"in.bmp", "threshold_0.bmp", "threshold_10.bmp",
                                                                "threshold_5.bmp"}));
}

TEST_F(Stelvar, LowerAboveUpperWritesNothing)
{
    const RunResult r = run({"in.bmp", "100", "50", "5", "0"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nEnd");
    EXPECT_EQ(list_files(dir.path()).size(), 1u);
}

TEST_F(Stelvar, RefusesAStepThatWouldNeverEnd)
{
    for (const char* step : {"0", "-3"}) {
        const RunResult r = run({"in.bmp", "0", "10", step, "0"});
        EXPECT_EQ(r.status, 255);
        EXPECT_NE(r.out.find("step must be 1 or more"), std::string::npos);
        EXPECT_EQ(list_files(dir.path()).size(), 1u);
    }
    EXPECT_EQ(run({"in.bmp", "10", "0", "0", "0"}).status, 0);  // nothing to slice: no loop
}

TEST_F(Stelvar, PromptsReadAnswersAndComplainAboutWrongModeLetters)
{
    const RunResult r = run({}, "in.bmp\n0\n100\n50\nx\ns\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "\nInput file (.bmp)=\n\nLower threshold: \nUpper threshold: \nStep: "
              "\nSogliatura a toni di grigio?(s/n): \nSimbol error\nSimbol error\nEnd");
    EXPECT_EQ(slice_pixels(50), expected_slice(50, true));
    EXPECT_EQ(slice_pixels(100), expected_slice(100, true));
}

TEST_F(Stelvar, EndOfInputAtTheModePromptStopsInsteadOfLooping)
{
    const RunResult r = run({}, "in.bmp\n0\n100\n50\nx\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("standard input ended"), std::string::npos);
}

TEST_F(Stelvar, InputsOtherToolsWriteAreSlicedIntoTheSuiteLayout)
{
    BmpLayout v5;
    v5.info_header_size = 124;
    v5.palette_entries = 16;
    v5.extra_gap = 2;
    write_bytes(dir.file("v5.bmp"), make_bmp(5, 2, ramp, grey_palette(), v5));
    ASSERT_EQ(run({"v5.bmp", "128", "128", "1", "0"}).status, 0);
    const Bytes out = read_bytes(dir.file("threshold_128.bmp"));
    ASSERT_EQ(out.size(), 1078u + 16);
    EXPECT_EQ(le32(out, 2), 1078u + 16);
    EXPECT_EQ(le32(out, 10), 1078u);
    EXPECT_EQ(le32(out, 14), 40u);
    EXPECT_EQ(le32(out, 34), 16u);
    EXPECT_EQ(le32(out, 30), 0u);   // uncompressed
    EXPECT_EQ(le32(out, 46), 256u);  // the whole palette written is used
    EXPECT_EQ(out[54 + 4 * 200], 200);  // full grey palette
    EXPECT_EQ(bmp_pixels(out), expected_slice(128, false));
}

TEST_F(Stelvar, BrokenInputsAreRefusedWithoutOutput)
{
    const Bytes good = read_bytes(dir.file("in.bmp"));
    Bytes bits24 = good;
    bits24[28] = 24;
    Bytes truncated(good.begin(), good.end() - 1);
    Bytes lying_size = good;
    lying_size[2] = 0x10;  // file size field far too small
    lying_size[3] = 0x00;
    Bytes negative = good;
    negative[22] = 0xFE;
    negative[23] = negative[24] = negative[25] = 0xFF;
    Bytes short_head(good.begin(), good.begin() + 40);
    // Run-length encoded rows whose stream is as long as the pixel block, and
    // pixels said to start inside the header: both were once read as pixels.
    Bytes rle = good;
    rle[30] = 1;
    Bytes inside_head = good;
    inside_head[10] = 30;
    inside_head[11] = 0;
    struct Case {
        const char* name;
        Bytes bytes;
        const char* message;
    };
    for (const Case& c : {Case{"b24.bmp", bits24, "\nError in BMP format"},
                          Case{"trunc.bmp", truncated, "\nError in BMP format: pixel data shorter"},
                          Case{"lying.bmp", lying_size, "\nError in BMP format: pixel data shorter"},
                          Case{"neg.bmp", negative, "\nError in BMP format: negative width or height"},
                          Case{"head.bmp", short_head, "\nError in BMP format: the file ends inside its header"},
                          Case{"rle.bmp", rle, "\nError in BMP format: compressed pixel rows are not read\n"},
                          Case{"offset.bmp", inside_head,
                               "\nError in BMP format: the pixel data begins inside the header\n"}}) {
        TempDir d;
        write_bytes(d.file(c.name), c.bytes);
        const RunResult r = run_program("stelvar", {c.name, "0", "255", "1", "0"}, d.path());
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_EQ(r.out.rfind(c.message, 0), 0u) << c.name << ": " << r.out;
        EXPECT_EQ(list_files(d.path()).size(), 1u) << c.name;
    }
    const RunResult missing = run({"none.bmp", "0", "255", "1", "0"});
    EXPECT_EQ(missing.status, 255);
    EXPECT_EQ(missing.out, "Cannot open input file.\n");
}

TEST_F(Stelvar, WorkingFolderWithBlanks)
{
    const std::string folder = dir.file("my data");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    write_bytes(folder + "/in.bmp", read_bytes(dir.file("in.bmp")));
    ASSERT_EQ(run({"in.bmp", "0", "0", "1", "0", dir.path() + "/my", "data"}).status, 0);
    EXPECT_EQ(list_files(folder), (std::vector<std::string>{"in.bmp", "threshold_0.bmp"}));
}

// Nothing lost: the slices appear all together when the run completes, or
// none of them; no slice is written over the input.
TEST_F(Stelvar, WritesAllOfItsSlicesOrNone)
{
    std::vector<std::uint8_t> pixels(37 * 29);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
    write_bytes(dir.file("big.bmp"), make_bmp(37, 29, pixels, grey_palette()));
    write_text(dir.file("threshold_100.bmp"), "an earlier run");
    EXPECT_GT(expect_whole_outputs_or_none("stelvar", {"big.bmp", "0", "200", "50", "1"}, dir.path()), 2);

    // The reason follows the message of the slice that could not be written.
    TempDir d;
    write_bytes(d.file("in.bmp"), make_bmp(5, 2, ramp, grey_palette()));
    const RunResult r = run_program_with_file_limit("stelvar", {"in.bmp", "0", "9", "3", "0"}, d.path(), 1);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError in creating bmp file\ncannot write 'threshold_0.bmp': File too large\n");
    EXPECT_EQ(list_files(d.path()), (std::vector<std::string>{"in.bmp"}));
}

TEST_F(Stelvar, NeverWritesOverItsInputOrIntoAFolder)
{
    const Bytes image = read_bytes(dir.file("in.bmp"));
    write_bytes(dir.file("threshold_150.bmp"), image);
    const RunResult r = run({"threshold_150.bmp", "100", "200", "50", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError: the output 'threshold_150.bmp' would overwrite the input 'threshold_150.bmp'; "
                     "nothing was written\n");
    EXPECT_EQ(folder_contents(dir.path()), (std::map<std::string, Bytes>{{"in.bmp", image}, {"threshold_150.bmp", image}}));

    // A folder standing where a slice goes: known before anything is written.
    ASSERT_EQ(mkdir(dir.file("threshold_6.bmp").c_str(), 0755), 0);
    const RunResult folder = run({"in.bmp", "5", "7", "1", "0"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.out, "\nError in creating bmp file\ncannot write 'threshold_6.bmp': Is a directory\n");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"in.bmp", "threshold_150.bmp", "threshold_6.bmp"}));
}

TEST_F(Stelvar, HelpAndVersionAskNothing)
{
    const RunResult help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("stelvar: ", 0), 0u);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);
    EXPECT_EQ(help.out.find("\nInput file (.bmp)="), std::string::npos);
    const RunResult version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("stelvar ", 0), 0u);
    EXPECT_EQ(list_files(dir.path()).size(), 1u);
}

}  // namespace

// Found by fuzzing: a header giving width 0 and 402653188 rows holds no
// pixel. It is sliced at once into images of no pixel, each its header and
// palette, instead of walking hundreds of millions of empty rows.
TEST_F(Stelvar, ImageWithoutPixelsButManyRowsIsSlicedAtOnce)
{
    Bytes empty = make_bmp(0, 0, {}, grey_palette());
    empty[24] = 0x00;
    empty[22] = 0x04;
    empty[25] = 0x18;
    write_bytes(dir.file("empty.bmp"), empty);
    const RunResult r = run({"empty.bmp", "0", "255", "128", "0"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nEnd");
    const Bytes slice = read_bytes(dir.file("threshold_128.bmp"));
    ASSERT_EQ(slice.size(), 1078u);
    EXPECT_EQ(le32(slice, 18), 0u);
    EXPECT_EQ(le32(slice, 22), 0x18000004u);
}
