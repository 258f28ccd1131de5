// Fonts through fontconfig: no TrueType file for the labels is reported once
// (every label drawn offscreen finds one), and widgets get installed
// sans-serif faces of the right weight.
#include "CMorFontLookup.h"
#include "CMorWidgetFonts.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <sstream>

namespace {

// True when fontconfig lists a face of the family in the weight range that is not monospaced.
bool hasProportionalFace(const std::string& family, int minWeight, int maxWeight)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_WEIGHT, FC_SPACING, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    bool found = false;
    for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
        int weight = 0, spacing = FC_PROPORTIONAL;
        FcPatternGetInteger(fonts->fonts[i], FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(fonts->fonts[i], FC_SPACING, 0, &spacing);
        found = found || (weight >= minWeight && weight <= maxWeight && spacing < FC_MONO);
    }
    if (fonts != nullptr)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

} // namespace

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
    // The fallback when no Tahoma matches, which this system's labels may not reach.
    EXPECT_FALSE(CMorFontLookup::findFirstTrueType("sans-serif").empty());
}

TEST(WidgetFonts, MissingFacesBecomeInstalledSansSerifOfTheirWeight)
{
    const std::string regular = CMorWidgetFonts::findNearestFamily("Segoe UI", false);
    const std::string bold = CMorWidgetFonts::findNearestFamily("Tahoma", true);
    EXPECT_TRUE(hasProportionalFace(regular, FC_WEIGHT_BOOK, FC_WEIGHT_MEDIUM)) << regular;
    EXPECT_TRUE(hasProportionalFace(bold, FC_WEIGHT_DEMIBOLD, FC_WEIGHT_BLACK)) << bold;
    EXPECT_FALSE(CMorWidgetFonts::findNearestFamily("No Such Family 8f3a", false).empty());
}
