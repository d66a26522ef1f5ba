#include "arguments.h"
#include "paths.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(Paths, ReplaceAndDropLastCharacters)
{
    EXPECT_EQ(replace_last_chars("plan.bmp", 3, "bpw").value(), "plan.bpw");
    EXPECT_EQ(replace_last_chars("a.b", 3, "bpw").value(), "bpw");
    EXPECT_FALSE(replace_last_chars("ab", 3, "bpw").has_value());
    EXPECT_EQ(drop_last_chars("mask.bmp", 4), "mask");
    EXPECT_EQ(drop_last_chars("b.b", 4), "");
}

TEST(Paths, PrefixGoesBeforeTheFileNameOnly)
{
    EXPECT_EQ(prefix_file_name("pairs.txt", "crossover_"), "crossover_pairs.txt");
    EXPECT_EQ(prefix_file_name("../d/pairs.txt", "crossover_"), "../d/crossover_pairs.txt");
    EXPECT_EQ(prefix_file_name("/abs/x", "p_"), "/abs/p_x");
#ifdef _WIN32
    EXPECT_EQ(prefix_file_name("c:pairs.txt", "p_"), "c:p_pairs.txt");
    EXPECT_EQ(prefix_file_name("d\\pairs.txt", "p_"), "d\\p_pairs.txt");
#endif
}

TEST(Paths, FolderJoin)
{
    EXPECT_EQ(in_folder(false, "data", "in.bmp"), "in.bmp");
#ifndef _WIN32
    // Not a directory: the backslash stays part of the name.
    EXPECT_EQ(join_folder("no such folder", "in.bmp"), "no such folder\\in.bmp");
    const auto dir = std::filesystem::temp_directory_path();
    EXPECT_EQ(join_folder(dir.string(), "in.bmp"), dir.string() + "/in.bmp");
#else
    EXPECT_EQ(join_folder("data", "in.bmp"), "data\\in.bmp");
#endif
}

TEST(Arguments, JoinAndConvert)
{
    char a0[] = "prog", a1[] = "my", a2[] = "data", a3[] = "dir";
    char* argv[] = {a0, a1, a2, a3};
    EXPECT_EQ(join_arguments(4, argv, 1), "my data dir");
    EXPECT_EQ(join_arguments(4, argv, 4), "");
    EXPECT_EQ(atoi_like("99.9"), 99);
    EXPECT_EQ(atoi_like("word"), 0);
    EXPECT_EQ(atoi_like(" -12x"), -12);
    EXPECT_DOUBLE_EQ(atof_like("99.9"), 99.9);
    EXPECT_DOUBLE_EQ(atof_like("x"), 0.0);
}
