#include "arguments.h"
#include "number_text.h"
#include "options.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

ParsedCommandLine parse(std::vector<std::string> words, const std::vector<KnownOption>& known = {})
{
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    return parse_command_line(static_cast<int>(argv.size()), argv.data(), known);
}

}  // namespace

TEST(Options, TakenOutBeforeTheArgumentsAreCounted)
{
    const std::vector<KnownOption> known = {{"gis", "", "g"}, {"of", "FORMAT", "f"}};
    auto parsed = parse({"prog", "--gis", "in.bmp", "--of", "GTiff", "out", "--", "--folder"}, known);
    ASSERT_FALSE(parsed.problem);
    const CommandLine& line = parsed.command_line;
    EXPECT_EQ(line.arguments, (std::vector<std::string>{"prog", "in.bmp", "out", "--folder"}));
    EXPECT_TRUE(line.has("gis"));
    EXPECT_EQ(line.value("of").value(), "GTiff");
    EXPECT_FALSE(line.has("help"));

    EXPECT_EQ(parse({"prog", "--of=GPKG"}, known).command_line.value("of").value(), "GPKG");
    EXPECT_TRUE(parse({"prog", "-h"}).command_line.has("help"));
    EXPECT_TRUE(parse({"prog", "x", "--version"}).command_line.has("version"));
    // A lone dash and negative numbers are arguments.
    EXPECT_EQ(parse({"prog", "-", "-5"}).command_line.arguments.size(), 3u);
}

TEST(Options, WrongOptionsAreProblems)
{
    const std::vector<KnownOption> known = {{"gis", "", "g"}, {"of", "FORMAT", "f"}};
    EXPECT_EQ(parse({"prog", "--gsi"}, known).problem->message, "unknown option '--gsi'");
    EXPECT_EQ(parse({"prog", "--of"}, known).problem->message, "the option '--of' needs a value (FORMAT)");
    EXPECT_EQ(parse({"prog", "--gis=1"}, known).problem->message, "the option '--gis' takes no value");
    EXPECT_EQ(parse({"prog", "--of", "a", "--of", "b"}, known).problem->message, "the option '--of' is given twice");
    // --help is still seen after a wrong option.
    EXPECT_TRUE(parse({"prog", "--gsi", "--help"}, known).command_line.has("help"));
}

TEST(Options, WholeNumbers)
{
    EXPECT_EQ(whole_int("12").value(), 12);
    EXPECT_EQ(whole_int("-7").value(), -7);
    EXPECT_EQ(whole_int("+3").value(), 3);
    EXPECT_EQ(whole_int("99999999999").value(), 2147483647);
    for (const char* bad : {"", "-", "12x", "1.5", "abc", " 1"}) EXPECT_FALSE(whole_int(bad)) << bad;

    EXPECT_DOUBLE_EQ(whole_number("0.25").value(), 0.25);
    EXPECT_DOUBLE_EQ(whole_number(".5").value(), 0.5);
    EXPECT_DOUBLE_EQ(whole_number("-2.").value(), -2.0);
    EXPECT_DOUBLE_EQ(whole_number("1e3").value(), 1000.0);
    for (const char* bad : {"0,25", "abc", "nan", "inf", "-0.5x", "1e", ".", "", "0x10"})
        EXPECT_FALSE(whole_number(bad)) << bad;
}

TEST(NumberText, NotANumberAndInfinitiesAreTheSameEverywhere)
{
    EXPECT_EQ(format_number("%f", 1.5), "1.500000");
    EXPECT_EQ(format_number("v=%f\n", std::nan("")), "v=nan\n");
    EXPECT_EQ(format_number("%f", -std::nan("")), "nan");
    EXPECT_EQ(format_number("%8.2f|", HUGE_VAL), "     inf|");
    EXPECT_EQ(format_number("%-6f|", -HUGE_VAL), "-inf  |");
    EXPECT_EQ(format_number("100%% %f", std::nan("")), "100% nan");
}
