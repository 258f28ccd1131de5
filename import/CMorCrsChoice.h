// The CRS of an imported diagram: the one --crs names; else a projected
// layer's own; else, for longitudes and latitudes, the WGS 84 UTM zone of the
// centre of the lines. Every CRS is used in the traditional GIS axis order
// (longitude, latitude; easting, northing), whatever its official order.
#pragma once

#include "CMorSectionLine.h"
#include "CMorTransform.h"

#include <memory>
#include <string>
#include <vector>

class OGRSpatialReference;

class CMorCrsChoice
{
public:
    CMorCrsChoice();
    ~CMorCrsChoice();
    CMorCrsChoice(const CMorCrsChoice&) = delete;
    CMorCrsChoice& operator=(const CMorCrsChoice&) = delete;

    // layerCrs (borrowed for the call; null when the layer carries none) is
    // replaced by sourceCrs unless that is empty; crs is "auto" or names the
    // CRS to transform to. The lines are in the layer's coordinates. False
    // with error when no CRS can be chosen, or the choice has no one-word
    // name (AUTHORITY:CODE) for the description.
    bool choose(const OGRSpatialReference* layerCrs, const std::string& sourceCrs, const std::string& crs,
                const std::vector<CMorSectionLine>& lines, std::string& error);
    // The lines' x and y into the chosen CRS; false with error naming the
    // feature whose point cannot be transformed.
    bool transform(std::vector<CMorSectionLine>& lines, std::string& error) const;

    // AUTHORITY:CODE of the chosen CRS, as the description names it.
    const std::string& getName() const { return m_name; }
    // What the log tells of the choice, one line each.
    const std::vector<std::string>& getLog() const { return m_log; }

    // The CRS text names (anything GDAL takes: EPSG:32633, WKT, PROJ
    // strings), in the traditional GIS axis order; false with error when
    // GDAL does not know it. what names the text in the message.
    static bool read(const std::string& text, const std::string& what, OGRSpatialReference& crs, std::string& error);
    // AUTHORITY:CODE, or empty when the CRS has none and no single one of
    // the PROJ database matches it.
    static std::string authorityName(const OGRSpatialReference& crs);
    // "EPSG:32633 (WGS 84 / UTM zone 33N)" for the log and messages.
    static std::string describe(const OGRSpatialReference& crs);

private:
    // The zone as the target; why says which and for what centre.
    bool chooseUtm(const std::vector<CMorSectionLine>& lines, std::string& why, std::string& error);

    std::unique_ptr<OGRSpatialReference> m_source;
    std::unique_ptr<OGRSpatialReference> m_target;
    CMorTransform m_transform;
    std::string m_name;
    std::vector<std::string> m_log;
};
