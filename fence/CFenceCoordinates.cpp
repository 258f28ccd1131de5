// Map and scene coordinates.
#include "CFenceCoordinates.h"

#include "CZelShape.h"

#include <cmath>

void CFenceCoordinates::setExaggeration(double factor)
{
    m_exaggeration = std::isfinite(factor) && factor > 0.0 ? factor : 1.0;
}

// Without exaggeration elevations pass unchanged, so that a camera read and
// written back is the same double.
double CFenceCoordinates::toSceneElevation(double elevation) const
{
    if (m_exaggeration == 1.0)
        return elevation;
    return m_base + (elevation - m_base) * m_exaggeration;
}

double CFenceCoordinates::toMapElevation(double sceneY) const
{
    if (m_exaggeration == 1.0)
        return sceneY;
    return m_base + (sceneY - m_base) / m_exaggeration;
}

void CFenceCoordinates::setOriginNear(double east, double north, double elevation)
{
    m_origin.setComponents(std::round(east), std::round(elevation), -std::round(north));
}

CZelVec3d CFenceCoordinates::toScene(double east, double north, double elevation) const
{
    return CZelVec3d(east, toSceneElevation(elevation), -north);
}

CZelVec3d CFenceCoordinates::toRelativeScene(double east, double north, double elevation) const
{
    return CZelVec3d(east - m_origin.x(), toSceneElevation(elevation) - m_origin.y(), -north - m_origin.z());
}

CZelVec3d CFenceCoordinates::toModel(double east, double north, double elevation) const
{
    return CZelVec3d(east - m_origin.x(), elevation - m_origin.y(), -north - m_origin.z());
}

void CFenceCoordinates::fromModel(const CZelVec3d& model, double& east, double& north, double& elevation) const
{
    east = model.x() + m_origin.x();
    north = -(model.z() + m_origin.z());
    elevation = model.y() + m_origin.y();
}

void CFenceCoordinates::toMap(const CZelVec3d& scene, double& east, double& north, double& elevation) const
{
    east = scene.x();
    north = -scene.z();
    elevation = toMapElevation(scene.y());
}

CZelVec3d CFenceCoordinates::fromCameraAxes(const CZelVec3d& cameraAxes) const
{
    return toScene(cameraAxes.x(), cameraAxes.z(), cameraAxes.y());
}

CZelVec3d CFenceCoordinates::toCameraAxes(const CZelVec3d& scene) const
{
    double east = 0.0, north = 0.0, elevation = 0.0;
    toMap(scene, east, north, elevation);
    return CZelVec3d(east, elevation, north);
}

void CFenceCoordinates::applyExaggeration(CZelShape* shape) const
{
    const double f = m_exaggeration;
    // Model y is elevation - origin y: the base stays, the rest stretches.
    shape->setPosition(0.0, f == 1.0 ? 0.0 : (m_base - m_origin.y()) * (1.0 - f), 0.0);
    shape->setScale(1.0, f, 1.0);
    shape->setNormalize(f != 1.0);
}
