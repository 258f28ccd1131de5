// Map coordinates from one CRS into another through PROJ, both in the
// traditional GIS axis order (longitude or easting first).
#pragma once

#include "CFenceDescription.h"

#include <string>
#include <vector>

class OGRCoordinateTransformation;
class OGRSpatialReference;

class CMorTransform
{
public:
    CMorTransform() = default;
    ~CMorTransform();
    CMorTransform(const CMorTransform&) = delete;
    CMorTransform& operator=(const CMorTransform&) = delete;

    // From and to are borrowed for the call. False with error when PROJ
    // knows no way between them; the same CRS twice leaves points as they are.
    bool create(const OGRSpatialReference& from, const OGRSpatialReference& to, std::string& error);
    // x and y of every point; z stays as it is. False with failed set to the
    // index of the first point that could not be transformed.
    bool apply(std::vector<CFenceDescription::Point>& points, size_t& failed) const;

private:
    // Owned; null when nothing is to be done.
    OGRCoordinateTransformation* m_transformation = nullptr;
};
