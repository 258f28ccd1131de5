// Choosing the diagram's CRS.
#include "CMorCrsChoice.h"

#include "CMorGdalErrors.h"

#include <cpl_conv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

namespace {

// UTM zones end there.
constexpr double UTM_LATITUDE_LIMIT = 84.0;

// Coordinates for messages, as people write them.
std::string number(double value)
{
    std::ostringstream text;
    text << std::setprecision(12) << value;
    return text.str();
}

std::string pointText(const CFenceDescription::Point& p)
{
    return "(" + number(p.x) + ", " + number(p.y) + ")";
}

} // namespace

CMorCrsChoice::CMorCrsChoice() : m_source(new OGRSpatialReference()), m_target(new OGRSpatialReference()) {}

CMorCrsChoice::~CMorCrsChoice() = default;

bool CMorCrsChoice::read(const std::string& text, const std::string& what, OGRSpatialReference& crs,
                         std::string& error)
{
    CMorGdalErrors::takeReason();
    crs.Clear();
    if (crs.SetFromUserInput(text.c_str()) != OGRERR_NONE || crs.IsEmpty()) {
        error = what + " " + text + " is no CRS that GDAL knows" + CMorGdalErrors::takeReason() + ".";
        return false;
    }
    crs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return true;
}

std::string CMorCrsChoice::authorityName(const OGRSpatialReference& crs)
{
    const char* authority = crs.GetAuthorityName(nullptr);
    const char* code = crs.GetAuthorityCode(nullptr);
    if (authority != nullptr && code != nullptr)
        return std::string(authority) + ":" + code;
    // As GDAL's own drivers identify a CRS read from a file without its code.
    int count = 0;
    int* confidence = nullptr;
    OGRSpatialReferenceH* matches = crs.FindMatches(nullptr, &count, &confidence);
    std::string name;
    if (count == 1 && confidence[0] >= 90) {
        const OGRSpatialReference* match = OGRSpatialReference::FromHandle(matches[0]);
        authority = match->GetAuthorityName(nullptr);
        code = match->GetAuthorityCode(nullptr);
        if (authority != nullptr && code != nullptr)
            name = std::string(authority) + ":" + code;
    }
    OSRFreeSRSArray(matches);
    CPLFree(confidence);
    return name;
}

std::string CMorCrsChoice::describe(const OGRSpatialReference& crs)
{
    const std::string name = authorityName(crs);
    const char* title = crs.GetName();
    const std::string shown = title != nullptr ? title : "unnamed";
    return name.empty() ? shown : name + " (" + shown + ")";
}

bool CMorCrsChoice::choose(const OGRSpatialReference* layerCrs, const std::string& sourceCrs, const std::string& crs,
                           const std::vector<CMorSectionLine>& lines, std::string& error)
{
    m_log.clear();
    if (!sourceCrs.empty()) {
        if (!read(sourceCrs, "--source-crs", *m_source, error))
            return false;
        m_log.push_back("Source CRS: " + describe(*m_source) + ", from --source-crs" +
                        (layerCrs != nullptr ? " instead of the layer's " + describe(*layerCrs) : std::string()) +
                        ".");
    } else if (layerCrs == nullptr || layerCrs->IsEmpty()) {
        error = "The layer carries no CRS: give it with --source-crs (such as --source-crs EPSG:4326 for "
                "longitudes and latitudes on WGS 84).";
        return false;
    } else {
        *m_source = *layerCrs;
        m_source->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        m_log.push_back("Source CRS: " + describe(*m_source) + ", the layer's.");
    }

    std::string why;
    if (crs != "auto") {
        if (!read(crs, "--crs", *m_target, error))
            return false;
        if (!m_target->IsProjected() && !m_target->IsLocal()) {
            error = "--crs " + crs + " names " + describe(*m_target) +
                    ", which is not projected: a diagram needs map coordinates, such as a UTM zone's.";
            return false;
        }
        why = "as --crs names";
    } else if (m_source->IsProjected() || m_source->IsLocal()) {
        *m_target = *m_source;
        why = "the layer's own";
    } else if (m_source->IsGeographic()) {
        if (!chooseUtm(lines, why, error))
            return false;
    } else {
        error = "The layer's CRS " + describe(*m_source) +
                " is neither geographic nor projected: choose a projected CRS with --crs.";
        return false;
    }
    m_target->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    m_name = authorityName(*m_target);
    if (m_name.empty()) {
        error = "The CRS " + describe(*m_target) + " has no code such as EPSG:32633, by which a description "
                "names its CRS: choose one by its code with --crs.";
        return false;
    }
    m_log.push_back("CRS used: " + describe(*m_target) + ", " + why + ".");
    return m_transform.create(*m_source, *m_target, error);
}

bool CMorCrsChoice::chooseUtm(const std::vector<CMorSectionLine>& lines, std::string& why, std::string& error)
{
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    CMorTransform toWgs84;
    if (!toWgs84.create(*m_source, wgs84, error))
        return false;

    std::vector<double> longitudes;
    double south = 90.0, north = -90.0;
    for (const CMorSectionLine& line : lines) {
        std::vector<CFenceDescription::Point> points = line.points;
        size_t failed = 0;
        if (!toWgs84.apply(points, failed)) {
            error = line.name + ": its point " + pointText(line.points[failed]) +
                    " is no longitude and latitude" + CMorGdalErrors::takeReason() +
                    ". Is the layer's CRS right? (--source-crs gives another.)";
            return false;
        }
        for (size_t i = 0; i < points.size(); ++i) {
            const double lon = points[i].x, lat = points[i].y;
            if (std::fabs(lon) > 180.0 || std::fabs(lat) > 90.0) {
                error = line.name + ": its point " + pointText(line.points[i]) +
                        " is no longitude and latitude. Is the layer's CRS right? (--source-crs gives another.)";
                return false;
            }
            if (std::fabs(lat) > UTM_LATITUDE_LIMIT) {
                error = line.name + " reaches latitude " + number(lat) +
                        ", beyond 84 degrees, where the UTM zones end: choose a projected CRS with --crs (such as "
                        "a polar stereographic one).";
                return false;
            }
            longitudes.push_back(lon);
            south = std::min(south, lat);
            north = std::max(north, lat);
        }
    }

    // The lines lie within the shortest arc of longitudes that holds them
    // all: the one outside the widest gap between neighbouring longitudes.
    // When that gap is not the one across the antimeridian, the arc is.
    std::sort(longitudes.begin(), longitudes.end());
    const double west = longitudes.front(), east = longitudes.back();
    double widest = west + 360.0 - east;
    bool across = false;
    for (size_t i = 1; i < longitudes.size(); ++i)
        if (longitudes[i] - longitudes[i - 1] > widest) {
            widest = longitudes[i] - longitudes[i - 1];
            across = true;
        }
    if (across) {
        error = "The lines lie across the antimeridian (180 degrees of longitude), where the centre of their extent "
                "chooses no sensible UTM zone: choose a projected CRS with --crs.";
        return false;
    }

    const double longitude = (west + east) / 2.0, latitude = (south + north) / 2.0;
    const int zone = std::min(60, static_cast<int>(std::floor((longitude + 180.0) / 6.0)) + 1);
    const bool northern = latitude >= 0.0;
    CMorGdalErrors::takeReason();
    if (m_target->importFromEPSG((northern ? 32600 : 32700) + zone) != OGRERR_NONE) {
        error = "The CRS of UTM zone " + std::to_string(zone) + (northern ? "N" : "S") +
                " is missing from PROJ's database" + CMorGdalErrors::takeReason() + ".";
        return false;
    }
    why = "the UTM zone of the centre of the lines (longitude " + number(longitude) + ", latitude " +
          number(latitude) + ")";
    return true;
}

bool CMorCrsChoice::transform(std::vector<CMorSectionLine>& lines, std::string& error) const
{
    for (CMorSectionLine& line : lines) {
        const std::vector<CFenceDescription::Point> original = line.points;
        size_t failed = 0;
        if (!m_transform.apply(line.points, failed)) {
            error = line.name + ": its point " + pointText(original[failed]) + " cannot be transformed to " + m_name +
                    CMorGdalErrors::takeReason() + ".";
            return false;
        }
    }
    return true;
}
