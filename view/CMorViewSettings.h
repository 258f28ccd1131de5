// The view's settings other than the camera (background, fence lighting, light
// direction, antialiasing) as one value: what a user keeps as defaults across
// runs, with the names and values under which the preferences hold them.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CMorPreferences;

struct CMorViewSettings
{
    // CMorFrame's BACKGROUND_SOLID or BACKGROUND_GRADIENT.
    int backgroundType = 0;
    float solidColor[3] = {1.0f, 1.0f, 1.0f};
    float upperColor[3] = {0.5f, 0.5f, 1.0f};
    float lowerColor[3] = {1.0f, 1.0f, 1.0f};
    bool lighting = false;
    int lightDirection = 0;
    bool antialias = false;
    int antialiasLevel = 2;

    // Name and value of every setting, in a fixed order: "background" solid or
    // gradient; "solid-color", "upper-color", "lower-color" as "R G B", each 0
    // to 1; "lighting" and "antialias" on or off; "light-direction" 0 to 7;
    // "antialias-level" 0 to 6.
    std::vector<std::pair<std::string, std::string>> toEntries() const;
    // Takes every setting the preferences hold with a valid value; the others
    // keep theirs.
    void load(const CMorPreferences& preferences);
    void store(CMorPreferences& preferences) const;
    // Stores only the settings whose values differ from before's, so that a
    // setting a user never touched stays out of the preferences.
    void storeChanges(const CMorViewSettings& before, CMorPreferences& preferences) const;

    bool operator==(const CMorViewSettings& other) const { return toEntries() == other.toEntries(); }
    bool operator!=(const CMorViewSettings& other) const { return !(*this == other); }
};
