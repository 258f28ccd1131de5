// View settings as user preferences: they read back as stored, values that
// cannot be taken keep the defaults, and only changed settings are stored.
#include "CMorPreferences.h"
#include "CMorViewSettings.h"

#include <gtest/gtest.h>

TEST(ViewSettings, ReadBackAndDamagedValuesKeepTheirDefaults)
{
    CMorViewSettings settings;
    settings.backgroundType = 1;
    settings.upperColor[0] = 0.1f;
    settings.lowerColor[2] = 1.0f / 3.0f;
    settings.lighting = true;
    settings.lightDirection = 7;
    settings.antialias = true;
    settings.antialiasLevel = 6;
    CMorPreferences preferences;
    settings.store(preferences);
    CMorViewSettings read;
    read.load(preferences);
    EXPECT_EQ(read, settings);

    CMorPreferences damaged;
    for (const char* key : {"background", "lighting", "antialias"})
        damaged.set(key, "maybe");
    damaged.set("solid-color", "0.5 0.5");
    damaged.set("upper-color", "0 0 2");
    damaged.set("lower-color", "0 0 0 0");
    damaged.set("light-direction", "8");
    damaged.set("antialias-level", "-1");
    CMorViewSettings defaults;
    defaults.load(damaged);
    EXPECT_EQ(defaults, CMorViewSettings());
}

TEST(ViewSettings, OnlyChangedSettingsAreStored)
{
    CMorViewSettings before, after;
    after.backgroundType = 1;
    after.antialiasLevel = 4;
    CMorPreferences preferences;
    after.storeChanges(before, preferences);
    const std::map<std::string, std::string> expected = {{"antialias-level", "4"}, {"background", "gradient"}};
    EXPECT_EQ(preferences.getEntries(), expected);
}
