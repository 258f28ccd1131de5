// Writing GeoJSON.
#include "CMorGeoJsonWriter.h"

#include "formatReal.h"

#include <cmath>
#include <cstdio>

std::string CMorGeoJsonWriter::quoted(const std::string& text)
{
    std::string json = "\"";
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

void CMorGeoJsonWriter::addProperty(const std::string& name, const std::string& json)
{
    m_properties += (m_properties.empty() ? "" : ", ") + quoted(name) + ": " + json;
}

void CMorGeoJsonWriter::addText(const std::string& name, const std::string& value)
{
    addProperty(name, quoted(value));
}

void CMorGeoJsonWriter::addNumber(const std::string& name, double value)
{
    // JSON has no infinities; the description reader lets none through.
    addProperty(name, std::isfinite(value) ? formatReal(value) : std::string("null"));
}

void CMorGeoJsonWriter::addNull(const std::string& name)
{
    addProperty(name, "null");
}

void CMorGeoJsonWriter::addLine(const std::vector<CFenceDescription::Point>& points)
{
    std::string coordinates;
    for (const CFenceDescription::Point& p : points)
        coordinates += std::string(coordinates.empty() ? "" : ", ") + "[" + formatReal(p.x) + ", " + formatReal(p.y) +
                       ", " + formatReal(p.z) + "]";
    m_features += std::string(m_features.empty() ? "" : ",\n") + "{\"type\": \"Feature\", \"properties\": {" +
                  m_properties + "}, \"geometry\": {\"type\": \"LineString\", \"coordinates\": [" + coordinates +
                  "]}}";
    m_properties.clear();
}

std::string CMorGeoJsonWriter::getText() const
{
    return "{\"type\": \"FeatureCollection\", \"features\": [\n" + m_features + "\n]}\n";
}
