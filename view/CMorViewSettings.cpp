// View settings to and from the preferences.
#include "CMorViewSettings.h"

#include "CMorJitterTable.h"
#include "CMorPreferences.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string onOff(bool on)
{
    return on ? "on" : "off";
}

// Enough digits for a float to read back as the same float.
std::string colorText(const float color[3])
{
    char text[64];
    std::snprintf(text, sizeof text, "%.9g %.9g %.9g", color[0], color[1], color[2]);
    return text;
}

bool readColor(const std::string& text, float color[3])
{
    const char* p = text.c_str();
    float values[3];
    for (float& value : values) {
        char* end = nullptr;
        errno = 0;
        const double read = std::strtod(p, &end);
        if (end == p || errno != 0 || !std::isfinite(read) || read < 0.0 || read > 1.0)
            return false;
        value = static_cast<float>(read);
        p = end;
    }
    while (*p == ' ')
        ++p;
    if (*p != '\0')
        return false;
    for (int i = 0; i < 3; ++i)
        color[i] = values[i];
    return true;
}

bool readOnOff(const std::string& text, bool& value)
{
    if (text != "on" && text != "off")
        return false;
    value = text == "on";
    return true;
}

bool readWhole(const std::string& text, int low, int high, int& value)
{
    if (text.size() != 1 || text[0] < '0' + low || text[0] > '0' + high)
        return false;
    value = text[0] - '0';
    return true;
}

} // namespace

std::vector<std::pair<std::string, std::string>> CMorViewSettings::toEntries() const
{
    return {{"background", backgroundType == 1 ? "gradient" : "solid"},
            {"solid-color", colorText(solidColor)},
            {"upper-color", colorText(upperColor)},
            {"lower-color", colorText(lowerColor)},
            {"lighting", onOff(lighting)},
            {"light-direction", std::to_string(lightDirection)},
            {"antialias", onOff(antialias)},
            {"antialias-level", std::to_string(antialiasLevel)}};
}

void CMorViewSettings::load(const CMorPreferences& preferences)
{
    const std::string background = preferences.get("background");
    if (background == "solid" || background == "gradient")
        backgroundType = background == "gradient" ? 1 : 0;
    readColor(preferences.get("solid-color"), solidColor);
    readColor(preferences.get("upper-color"), upperColor);
    readColor(preferences.get("lower-color"), lowerColor);
    readOnOff(preferences.get("lighting"), lighting);
    readWhole(preferences.get("light-direction"), 0, 7, lightDirection);
    readOnOff(preferences.get("antialias"), antialias);
    readWhole(preferences.get("antialias-level"), 0, CMorJitterTable::LEVEL_COUNT - 1, antialiasLevel);
}

void CMorViewSettings::store(CMorPreferences& preferences) const
{
    for (const auto& entry : toEntries())
        preferences.set(entry.first, entry.second);
}

void CMorViewSettings::storeChanges(const CMorViewSettings& before, CMorPreferences& preferences) const
{
    const auto now = toEntries();
    const auto old = before.toEntries();
    for (size_t i = 0; i < now.size(); ++i)
        if (now[i].second != old[i].second)
            preferences.set(now[i].first, now[i].second);
}
