// The label font lookup: fontconfig finds a TrueType file on a system with the
// usual fonts, and a system without any is reported once.
#include "CMorFontLookup.h"

#include <gtest/gtest.h>

#include <sstream>
#include <unistd.h>

TEST(FontLookup, FindsAReadableTrueTypeFile)
{
    const std::string file = CMorFontLookup::findLabelFontFile();
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(access(file.c_str(), R_OK), 0);
    EXPECT_FALSE(CMorFontLookup::findFirstTrueType("sans-serif").empty());
}

TEST(FontLookup, NoFontIsReportedOnceAndSearchedOnce)
{
    int searches = 0;
    CMorFontLookup lookup([&searches] {
        ++searches;
        return std::string();
    });
    std::ostringstream log;
    EXPECT_EQ(lookup.getLabelFontFile(log), "");
    EXPECT_EQ(lookup.getLabelFontFile(log), "");
    EXPECT_EQ(searches, 1);
    EXPECT_EQ(log.str(), "No TrueType font found (neither Tahoma nor a sans-serif font): text is not drawn\n");

    CMorFontLookup found([] { return std::string("/fonts/label.ttf"); });
    std::ostringstream quiet;
    EXPECT_EQ(found.getLabelFontFile(quiet), "/fonts/label.ttf");
    EXPECT_EQ(quiet.str(), "");
}
