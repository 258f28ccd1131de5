// The six planes that bound what a camera sees, normals pointing out of the
// viewing volume, and the bounding-sphere test that culling asks.
#pragma once

#include "CZelBoundingSphere.h"
#include "CZelPlane.h"

class CZelViewFrustum : public CZelMathBase
{
    ZEL_DECLARE_CLASS(CZelViewFrustum, CZelMathBase)
public:
    static constexpr int PLANE_COUNT = 6;
    enum PlaneIndex { NEAR_PLANE = 0, FAR_PLANE, LEFT_PLANE, RIGHT_PLANE, BOTTOM_PLANE, TOP_PLANE };

    CZelPlane& getPlane(int index) { return m_planes[index]; }
    const CZelPlane& getPlane(int index) const { return m_planes[index]; }

    // False when the sphere lies wholly outside one plane; true when it is
    // inside or crosses the boundary.
    bool testSphere(double x, double y, double z, double radius) const;
    bool testSphere(const CZelBoundingSphere& sphere) const;

private:
    CZelPlane m_planes[PLANE_COUNT];
};
