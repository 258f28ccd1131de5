// Rays and projections of a camera's view.
#include "CMorViewRays.h"

#include <cmath>
#include <limits>

namespace {

CZelVec3d difference(const CZelVec3d& a, const CZelVec3d& b)
{
    return CZelVec3d(a.x() - b.x(), a.y() - b.y(), a.z() - b.z());
}

CZelVec3d crossOf(const CZelVec3d& a, const CZelVec3d& b)
{
    return CZelVec3d(a.y() * b.z() - a.z() * b.y(), a.z() * b.x() - a.x() * b.z(), a.x() * b.y() - a.y() * b.x());
}

} // namespace

CMorViewRays::CMorViewRays(const CZelCamera& camera, double aspect) : m_eye(camera.getPosition())
{
    // The frame gluLookAt makes of eye, centre and up, which the view
    // transform hands it.
    CZelVec3d centre = camera.getMode() == CZelCamera::TARGET_MODE ? camera.getTarget()
                                                                    : CZelVec3d(m_eye.x() + camera.getForward().x(),
                                                                                m_eye.y() + camera.getForward().y(),
                                                                                m_eye.z() + camera.getForward().z());
    if (centre == m_eye)
        centre.setComponents(m_eye.x() + camera.getForward().x(), m_eye.y() + camera.getForward().y(),
                             m_eye.z() + camera.getForward().z());
    m_forward = difference(centre, m_eye);
    m_forward.normalize();
    m_right = crossOf(m_forward, camera.getUp());
    m_right.normalize();
    m_up = crossOf(m_right, m_forward);

    double fieldOfView = 45.0;
    camera.getPerspective(fieldOfView, m_near, m_far);
    const double tangent = std::tan(fieldOfView * M_PI / 360.0);
    const bool usable = std::isfinite(tangent) && tangent > 0.0 && std::isfinite(aspect) && aspect > 0.0;
    m_halfHeight = usable ? tangent : 1.0;
    m_halfWidth = usable ? tangent * aspect : 1.0;
    // A projection without a proper frustum draws nothing sensible: every
    // depth in front of the eye counts then.
    if (!(m_near > 0.0) || !(m_far > m_near)) {
        m_near = 0.0;
        m_far = std::numeric_limits<double>::infinity();
    }
}

void CMorViewRays::pixelCentre(double x, double y, double width, double height, double& ndcX, double& ndcY)
{
    ndcX = 2.0 * (x + 0.5) / width - 1.0;
    ndcY = 1.0 - 2.0 * (y + 0.5) / height;
}

void CMorViewRays::rayThrough(double ndcX, double ndcY, CZelVec3d& eye, CZelVec3d& direction) const
{
    eye = m_eye;
    const double a = ndcX * m_halfWidth;
    const double b = ndcY * m_halfHeight;
    direction.setComponents(m_forward.x() + a * m_right.x() + b * m_up.x(),
                            m_forward.y() + a * m_right.y() + b * m_up.y(),
                            m_forward.z() + a * m_right.z() + b * m_up.z());
}

void CMorViewRays::project(const CZelVec3d& point, double& ndcX, double& ndcY, double& depth) const
{
    const CZelVec3d v = difference(point, m_eye);
    depth = v.dot(m_forward);
    ndcX = v.dot(m_right) / (depth * m_halfWidth);
    ndcY = v.dot(m_up) / (depth * m_halfHeight);
}
