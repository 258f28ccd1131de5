// Frustum planes and the sphere test.
#include "CZelViewFrustum.h"

bool CZelViewFrustum::testSphere(double x, double y, double z, double radius) const
{
    // The far plane first: in a deep scene it rejects the most.
    static const int order[PLANE_COUNT] = {FAR_PLANE, NEAR_PLANE, LEFT_PLANE, RIGHT_PLANE, BOTTOM_PLANE, TOP_PLANE};
    for (int index : order) {
        const double d = m_planes[index].getSignedValue(x, y, z);
        if (d > 0.0 && d - radius > 0.0)
            return false;
    }
    return true;
}

bool CZelViewFrustum::testSphere(const CZelBoundingSphere& sphere) const
{
    const CZelVec3d& c = sphere.getCenter();
    return testSphere(c.x(), c.y(), c.z(), sphere.getRadius());
}
