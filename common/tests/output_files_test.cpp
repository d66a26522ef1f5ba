#include "output_files.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testsupport;

TEST(OutputFiles, WrittenUnderTemporariesAndPutInPlaceTogether)
{
    TempDir dir;
    write_text(dir.file("out.txt"), "earlier run");
    {
        OutputFiles outputs;
        outputs.add_input(dir.file("in.txt"));
        ASSERT_FALSE(outputs.add_output(dir.file("out.txt")));
        const auto temporary = outputs.temporary(dir.file("out.txt"));
        ASSERT_FALSE(temporary.problem);
        EXPECT_EQ(temporary.path.rfind(dir.file("out.txt.part-"), 0), 0u);
        write_text(temporary.path, "new");
        const auto second = outputs.temporary(dir.file("second.txt"));
        write_text(second.path, "2");
        const auto scratch = outputs.scratch(dir.file("work.raw"));
        ASSERT_FALSE(scratch.problem);
        EXPECT_EQ(read_text(dir.file("out.txt")), "earlier run");
        ASSERT_FALSE(outputs.commit());
    }
    EXPECT_EQ(read_text(dir.file("out.txt")), "new");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"out.txt", "second.txt"}));
}

TEST(OutputFiles, AnUnfinishedRunLeavesNothing)
{
    TempDir dir;
    write_text(dir.file("out.txt"), "earlier run");
    {
        OutputFiles outputs;
        write_text(outputs.temporary(dir.file("out.txt")).path, "half");
        outputs.scratch(dir.file("work.raw"));
    }
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"out.txt"}));
    EXPECT_EQ(read_text(dir.file("out.txt")), "earlier run");
}

TEST(OutputFiles, InputsFoldersAndTwiceNamedOutputsAreRefused)
{
    TempDir dir;
    write_text(dir.file("in.bmp"), "x");
    std::filesystem::create_directory(dir.file("folder"));
    OutputFiles outputs;
    outputs.add_input(dir.file("in.bmp"));
    // The same file by another path.
    const auto clash = outputs.add_output(dir.path() + "/./folder/../in.bmp");
    ASSERT_TRUE(clash);
    EXPECT_EQ(clash->kind, OutputProblem::Kind::overwrites_input);
    EXPECT_NE(clash->message().find("would overwrite the input"), std::string::npos);
    // A hard link to the input is the input.
    std::filesystem::create_hard_link(dir.file("in.bmp"), dir.file("link.bmp"));
    EXPECT_TRUE(outputs.add_output(dir.file("link.bmp")));
    // Inputs that do not exist compare by path.
    outputs.add_input(dir.file("missing.raw"));
    EXPECT_TRUE(outputs.add_output(dir.file("missing.raw")));

    EXPECT_EQ(outputs.add_output(dir.file("folder"))->kind, OutputProblem::Kind::is_folder);
    EXPECT_FALSE(outputs.add_output(dir.file("a.shp")));
    EXPECT_EQ(outputs.add_output(dir.file("a.shp"))->kind, OutputProblem::Kind::named_twice);
    EXPECT_EQ(outputs.temporary(dir.path() + "/no such folder/x.txt").problem->kind,
              OutputProblem::Kind::cannot_create);
}
