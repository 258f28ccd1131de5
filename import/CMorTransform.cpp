// Coordinate transformation of polylines.
#include "CMorTransform.h"

#include "CMorGdalErrors.h"

#include <ogr_spatialref.h>

#include <cmath>

CMorTransform::~CMorTransform()
{
    OGRCoordinateTransformation::DestroyCT(m_transformation);
}

bool CMorTransform::create(const OGRSpatialReference& from, const OGRSpatialReference& to, std::string& error)
{
    OGRCoordinateTransformation::DestroyCT(m_transformation);
    m_transformation = nullptr;
    if (from.IsSame(&to))
        return true;
    CMorGdalErrors::takeReason();
    m_transformation = OGRCreateCoordinateTransformation(&from, &to);
    if (m_transformation == nullptr) {
        error = std::string("PROJ knows no transformation from ") + from.GetName() + " to " + to.GetName() +
                CMorGdalErrors::takeReason() + ".";
        return false;
    }
    return true;
}

bool CMorTransform::apply(std::vector<CFenceDescription::Point>& points, size_t& failed) const
{
    if (m_transformation == nullptr)
        return true;
    const size_t count = points.size();
    std::vector<double> x(count), y(count);
    std::vector<int> success(count, 0);
    for (size_t i = 0; i < count; ++i) {
        x[i] = points[i].x;
        y[i] = points[i].y;
    }
    // Without z: elevations are copied, never transformed.
    m_transformation->Transform(static_cast<int>(count), x.data(), y.data(), nullptr, success.data());
    for (size_t i = 0; i < count; ++i) {
        if (!success[i] || !std::isfinite(x[i]) || !std::isfinite(y[i])) {
            failed = i;
            return false;
        }
        points[i].x = x[i];
        points[i].y = y[i];
    }
    return true;
}
