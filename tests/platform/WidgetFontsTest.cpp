// The widget fonts resolve to installed sans-serif faces of the right weight.
#include "CMorWidgetFonts.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace {

// True when fontconfig lists a face of the family in the weight range that
// is not monospaced.
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
        if (weight >= minWeight && weight <= maxWeight && spacing < FC_MONO)
            found = true;
    }
    if (fonts != nullptr)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

} // namespace

TEST(WidgetFonts, MissingFacesBecomeInstalledSansSerifOfTheirWeight)
{
    const std::string regular = CMorWidgetFonts::findNearestFamily("Segoe UI", false);
    const std::string bold = CMorWidgetFonts::findNearestFamily("Tahoma", true);
    ASSERT_FALSE(regular.empty());
    ASSERT_FALSE(bold.empty());
    EXPECT_TRUE(hasProportionalFace(regular, FC_WEIGHT_BOOK, FC_WEIGHT_MEDIUM)) << regular;
    EXPECT_TRUE(hasProportionalFace(bold, FC_WEIGHT_DEMIBOLD, FC_WEIGHT_BLACK)) << bold;
}

TEST(WidgetFonts, AnUnknownFamilyStillFindsAFont)
{
    EXPECT_FALSE(CMorWidgetFonts::findNearestFamily("No Such Family 8f3a", false).empty());
}
