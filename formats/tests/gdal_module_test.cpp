// The programs load GDAL through the module beside them (their folder's
// ../lib/suite) at their first use of it: a run that needs no GDAL neither
// loads it nor needs the module, and a run that needs it fails, naming the
// module, when the module is missing.
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testsupport;

namespace {

// A 6 x 4 mask of one building, 1 on 0, as "mask.raw" and "mask.dim".
void write_mask(const std::string& folder)
{
    Bytes samples(6 * 4, 0);
    for (int x = 1; x < 5; ++x) samples[6 + x] = samples[12 + x] = 1;
    write_bytes(folder + "/mask.raw", samples);
    write_text(folder + "/mask.dim", "6\n4\n");
}

}  // namespace

TEST(GdalModule, ProgramWithoutTheModuleRunsRawJobsAndRefusesGdalOnes)
{
    TempDir reference, dir;
    write_mask(reference.path());
    write_mask(dir.path());
    ASSERT_EQ(run_program("murgel", {"mask.raw", "raw", "2"}, reference.path()).status, 0);

    // A copy of the program in a bin/ folder with no lib/suite beside it.
    std::filesystem::create_directory(dir.file("bin"));
    std::filesystem::copy_file(program_path("murgel"), dir.file("bin/murgel"));
    const std::string murgel = dir.file("bin/murgel");
    RunResult r = run_program(murgel, {"mask.raw", "raw", "2"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.out;
    for (const char* name : {"mask_out.raw", "mask_out.dim", "mask_out.hdr"})
        EXPECT_EQ(read_bytes(dir.file(name)), read_bytes(reference.file(name))) << name;

    // An input that is no file is refused as with the module.
    const RunResult with_module = run_program("murgel", {"none.tif", "raw", "2"}, dir.path());
    r = run_program(murgel, {"none.tif", "raw", "2"}, dir.path());
    EXPECT_EQ(r.status, with_module.status);
    EXPECT_NE(r.out.find("Error: cannot open 'none.tif'"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("module"), std::string::npos) << r.out;

    const std::string missing = "cannot load the GDAL module '" + dir.file("lib/suite/suite-gdal.so") + "': ";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"mask.raw", "raw", "2", "--of", "GTiff"}, {"mask.tif", "raw", "2"}}) {
        std::filesystem::copy_file(dir.file("mask.raw"), dir.file("mask.tif"),
                                   std::filesystem::copy_options::overwrite_existing);
        r = run_program(murgel, args, dir.path());
        // One of the program's error statuses (1, or -1 as 255), not a signal's.
        EXPECT_TRUE(r.status == 1 || r.status == 255) << r.status << r.out;
        EXPECT_NE(r.out.find(missing), std::string::npos) << r.out;
        EXPECT_FALSE(file_exists(dir.file("mask_out.tif")));
    }
}

TEST(GdalModule, OnlyRunsThatUseGdalLoadIt)
{
    TempDir dir;
    write_mask(dir.path());
    // The dynamic loader names every library it loads.
    RunResult r = run_program_with_environment("murgel", {"mask.raw", "raw", "2"}, dir.path(), "LD_DEBUG=files");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find("libgdal"), std::string::npos);
    EXPECT_EQ(r.out.find("suite-gdal"), std::string::npos);

    r = run_program_with_environment("murgel", {"mask.raw", "raw", "2", "--of", "GTiff"}, dir.path(),
                                     "LD_DEBUG=files");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("libgdal"), std::string::npos);
    EXPECT_TRUE(file_exists(dir.file("mask_out.tif")));
}
