// The preferences file: values of any kind read back as written, a damaged
// or oversized file costs only what cannot be read, and the file's place
// follows the XDG convention.
#include "CMorPreferences.h"
#include "CTestDiagramDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

using namespace std::string_literals;

TEST(Preferences, EveryValueReadsBackThroughTheFolderItCreates)
{
    CTestDiagramDir dir;
    const std::string path = dir.file("config/morvex/preferences");
    CMorPreferences written(path);
    const std::map<std::string, std::string> values = {
        {"recent.1", " /a path/with = signs and \\ backslash\\x41 "},
        {"recent.2", "line\nbreak\r\ttab\x7f"},
        {"recent.3", "\xc3\xa9t\xc3\xa9 #not a comment"},
        {"empty", ""},
    };
    for (const auto& value : values)
        written.set(value.first, value.second);
    written.set("bad key", "dropped");
    std::string error;
    ASSERT_TRUE(written.save(error)) << error;

    CMorPreferences read(path);
    ASSERT_TRUE(read.load(error)) << error;
    EXPECT_EQ(read.getEntries(), values);
    // Loading again replaces what was held.
    read.set("stale", "1");
    ASSERT_TRUE(read.load(error));
    EXPECT_FALSE(read.has("stale"));
}

TEST(Preferences, DamagedLinesAreSkippedAndAnOversizedFileIsNotRead)
{
    const auto entries = CMorPreferences::parse("# comment = 1\n"
                                                "background = gradient\r\n"
                                                "no equals sign\n"
                                                " = no key\n"
                                                "bad key = 1\n"
                                                "broken = escape \\x4\n"
                                                "lone = backslash \\q\n"
                                                "\x01\xff\x00 = binary\n"
                                                "  light-direction\t=\t3  \n"s);
    const std::map<std::string, std::string> expected = {{"background", "gradient"}, {"light-direction", "3"}};
    EXPECT_EQ(entries, expected);

    CTestDiagramDir dir;
    std::string error;
    CMorPreferences missing(dir.file("none"));
    missing.set("kept", "no");
    EXPECT_TRUE(missing.load(error));
    EXPECT_TRUE(missing.getEntries().empty());
    const std::string big = dir.write("big", "k = v\n" + std::string(2 << 20, 'x'));
    CMorPreferences oversized(big);
    EXPECT_FALSE(oversized.load(error));
    EXPECT_TRUE(oversized.getEntries().empty());
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
}

TEST(Preferences, LiveInTheXdgConfigFolder)
{
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedConfig = oldConfig ? oldConfig : "", savedHome = oldHome ? oldHome : "";
    setenv("HOME", "/home/someone", 1);
    // Relative values are to be ignored; an absolute one runs in the GUI tests.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(CMorPreferences::defaultPath(), "/home/someone/.config/morvex/preferences");
    oldConfig ? setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
}
