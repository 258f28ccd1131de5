// Map coordinates and the scene's, converted in this one place. A map point
// (X east, Y north, Z elevation) stands in the scene at (X, Z, -Y): x east, y
// up, z south, a proper rotation, so that the scene seen from the south has
// east on the right and seen from above with north up looks like the map. The
// vertical is stretched by the exaggeration about a base elevation (the lowest
// fence bottom). Camera lines, camera fields and the view history hold
// (east, elevation, north) in true map units: the camera axes.
#pragma once

#include "CZelVec3d.h"

class CZelShape;

class CFenceCoordinates
{
public:
    // The scene point of a map point, in world units.
    CZelVec3d toScene(double east, double north, double elevation) const;
    // The same relative to the origin, as the geometry is given to GL.
    CZelVec3d toRelativeScene(double east, double north, double elevation) const;
    // Relative to the origin without the exaggeration: the geometry that
    // applyExaggeration stretches.
    CZelVec3d toModel(double east, double north, double elevation) const;
    // The map point of a point of that geometry.
    void fromModel(const CZelVec3d& model, double& east, double& north, double& elevation) const;
    // The map point of a scene point.
    void toMap(const CZelVec3d& scene, double& east, double& north, double& elevation) const;
    double toSceneElevation(double elevation) const;
    double toMapElevation(double sceneY) const;

    // Camera axes (east, elevation, north) and the scene.
    CZelVec3d fromCameraAxes(const CZelVec3d& cameraAxes) const;
    CZelVec3d toCameraAxes(const CZelVec3d& scene) const;

    // Gives a shape built with toModel the exaggeration: a shift along y and
    // a vertical scale (with normals renormalised while it stretches).
    void applyExaggeration(CZelShape* shape) const;

    // The scene point the geometry is drawn relative to, so that GL's single
    // precision only sees small numbers.
    void setOrigin(const CZelVec3d& origin) { m_origin = origin; }
    // The origin at the scene point of this map point rounded to whole units.
    void setOriginNear(double east, double north, double elevation);
    const CZelVec3d& getOrigin() const { return m_origin; }
    // The elevation that the exaggeration leaves where it is.
    void setBase(double elevation) { m_base = elevation; }
    double getBase() const { return m_base; }
    // Values that are not finite and above 0 are taken as 1.
    void setExaggeration(double factor);
    double getExaggeration() const { return m_exaggeration; }

private:
    CZelVec3d m_origin;
    double m_base = 0.0;
    double m_exaggeration = 1.0;
};
