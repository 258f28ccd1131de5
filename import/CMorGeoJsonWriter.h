// GeoJSON text (RFC 7946) of line features: a FeatureCollection, one
// feature a line, coordinates as longitude, latitude and elevation written
// so that they read back as the same doubles.
#pragma once

#include "CFenceDescription.h"

#include <string>
#include <vector>

class CMorGeoJsonWriter
{
public:
    // Properties of the next feature, in the order given.
    void addText(const std::string& name, const std::string& value);
    void addNumber(const std::string& name, double value);
    void addNull(const std::string& name);
    // Ends the feature with its line: x longitude, y latitude (both finite), z elevation.
    void addLine(const std::vector<CFenceDescription::Point>& points);

    // The whole FeatureCollection.
    std::string getText() const;

private:
    static std::string quoted(const std::string& text);
    void addProperty(const std::string& name, const std::string& json);

    std::string m_features;
    std::string m_properties;
};
