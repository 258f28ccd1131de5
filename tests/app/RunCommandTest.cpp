// The external tool runner: argument splitting, exit codes, failures.
#include "runCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

TEST(RunCommand, SplitsAtBlanksAndGroupsQuotes)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(splitArguments("mortemp.bmp \"my picture.png\""), (V{"mortemp.bmp", "my picture.png"}));
    EXPECT_EQ(splitArguments("  a\tb\n c  "), (V{"a", "b", "c"}));
    EXPECT_EQ(splitArguments("\"\" x"), (V{"", "x"}));
    EXPECT_EQ(splitArguments("pre\"fix  mid\"post"), (V{"prefix  midpost"}));
    EXPECT_EQ(splitArguments("$HOME;`id`|x"), (V{"$HOME;`id`|x"}));
    EXPECT_TRUE(splitArguments("   ").empty());
}

TEST(RunCommand, ReturnsTheToolsExitCode)
{
    EXPECT_EQ(runCommand("sh", "-c \"exit 3\""), 3u);
    EXPECT_EQ(runCommand("true", ""), 0u);
    // A tool that cannot start is logged in the export's test without the tool.
}

TEST(RunCommand, FileNamesArriveLiterallyInTheGivenDirectory)
{
    char dir[] = "/tmp/morvex-run-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    // touch receives the name as one argument: a shell would have split or expanded it.
    const std::string awkward = std::string(dir) + "/a \"b\" $HOME; `x`\nc.txt";
    EXPECT_EQ(runCommand("touch", std::vector<std::string>{awkward}), 0u);
    EXPECT_TRUE(std::ifstream(awkward).good());
    EXPECT_EQ(runCommand("touch", std::vector<std::string>{"made-here"}, dir), 0u);
    const std::string made = std::string(dir) + "/made-here";
    EXPECT_TRUE(std::ifstream(made).good());
    EXPECT_NE(runCommand("touch", std::vector<std::string>{"x"}, std::string(dir) + "/missing"), 0u);
    std::remove(awkward.c_str());
    std::remove(made.c_str());
    rmdir(dir);
}
