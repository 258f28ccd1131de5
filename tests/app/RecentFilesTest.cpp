// The recent-diagram list (order, limit, each file once, kept in the
// preferences) and the viewer's command line.
#include "CMorCommandLine.h"
#include "CMorPreferences.h"
#include "CMorRecentFiles.h"

#include <gtest/gtest.h>

TEST(RecentFiles, MostRecentFirstEachOnceAtMostEight)
{
    CMorRecentFiles recent;
    for (int i = 1; i <= 10; ++i)
        recent.add("/d/" + std::to_string(i) + ".fnc");
    recent.add("/d/5.fnc");
    recent.add("relative.fnc");
    const std::vector<std::string> expected = {"/d/5.fnc", "/d/10.fnc", "/d/9.fnc", "/d/8.fnc",
                                               "/d/7.fnc", "/d/6.fnc",  "/d/4.fnc", "/d/3.fnc"};
    EXPECT_EQ(recent.getPaths(), expected);
    EXPECT_TRUE(recent.remove("/d/9.fnc"));
    EXPECT_FALSE(recent.remove("/d/9.fnc"));

    // A damaged list reads back without its doubles and relative paths (the
    // list kept across a restart, and shortened, runs in the GUI test).
    CMorPreferences preferences;
    recent.store(preferences);
    CMorRecentFiles copy;
    preferences.set("recent.2", "/d/5.fnc");
    preferences.set("recent.3", "relative.fnc");
    copy.load(preferences);
    EXPECT_EQ(copy.getPaths().size(), recent.getPaths().size() - 2);

    EXPECT_EQ(CMorRecentFiles::menuLabel(0, "/a&b/c@d\n.fnc"), "&1 /a&&b/c@@d?.fnc");
}

TEST(CommandLine, HelpAndVersionFilesAndUnknownOptions)
{
    const struct {
        std::vector<const char*> arguments;
        CMorCommandLine::Action action;
        std::vector<std::string> files;
    } cases[] = {
        {{"morvex"}, CMorCommandLine::RUN, {}},
        {{"morvex", "a.fnc", "b.fnc"}, CMorCommandLine::RUN, {"a.fnc", "b.fnc"}},
        {{"morvex", "--version"}, CMorCommandLine::SHOW_VERSION, {}},
        {{"morvex", "-V", "-h"}, CMorCommandLine::SHOW_HELP, {}},
        {{"morvex", "a.fnc", "--help"}, CMorCommandLine::SHOW_HELP, {"a.fnc"}},
        {{"morvex", "--help", "--size"}, CMorCommandLine::REFUSE, {}},
        {{"morvex", "-"}, CMorCommandLine::REFUSE, {}},
        {{"morvex", "--", "-odd.fnc", "--help"}, CMorCommandLine::RUN, {"-odd.fnc", "--help"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        CMorCommandLine line;
        EXPECT_EQ(line.parse(static_cast<int>(c.arguments.size()), c.arguments.data()), c.action);
        if (c.action == CMorCommandLine::REFUSE) {
            EXPECT_EQ(line.getErrorMessage(), std::string("Unknown option ") + c.arguments.back() + ".");
        } else {
            EXPECT_EQ(line.getFiles(), c.files);
        }
    }
}
