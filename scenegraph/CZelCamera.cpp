// Camera orientation, projection, movement and frustum.
#include "CZelCamera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {

bool finite(const CZelVec3d& v)
{
    return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

bool finite(double a, double b, double c = 0.0, double d = 0.0)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

constexpr double HALF_PI = 1.5707963267948966;

// The plane through the point with the given outward normal (made unit here).
void setPlaneThrough(CZelPlane& plane, CZelVec3d normal, const CZelVec3d& point)
{
    normal.normalize();
    plane.setPlane(normal.x(), normal.y(), normal.z(), -normal.dot(point));
}

} // namespace

CZelCamera::CZelCamera()
{
    updateOrientation();
}

bool CZelCamera::place(const CZelVec3d& position, const CZelVec3d& target)
{
    if (!finite(position) || !finite(target))
        return false;
    m_position = position;
    m_target = target;
    return true;
}

bool CZelCamera::setPosition(double x, double y, double z)
{
    if (!finite(x, y, z))
        return false;
    m_position.setComponents(x, y, z);
    updateOrientation();
    return true;
}

bool CZelCamera::setTarget(double x, double y, double z)
{
    if (!finite(x, y, z))
        return false;
    m_target.setComponents(x, y, z);
    updateOrientation();
    return true;
}

bool CZelCamera::setForward(double x, double y, double z)
{
    CZelVec3d forward(x, y, z);
    if (!forward.normalize())
        return false;
    m_forward = forward;
    updateOrientation();
    return true;
}

bool CZelCamera::setPerspective(double fieldOfView, double nearDistance, double farDistance)
{
    if (!finite(fieldOfView, nearDistance, farDistance))
        return false;
    m_fieldOfView = fieldOfView;
    m_near = nearDistance;
    m_far = farDistance;
    return true;
}

void CZelCamera::getPerspective(double& fieldOfView, double& nearDistance, double& farDistance) const
{
    fieldOfView = m_fieldOfView;
    nearDistance = m_near;
    farDistance = m_far;
}

double CZelCamera::getAspect() const
{
    const double aspect = getViewport()->getAspect();
    // A zero or negative ratio would collapse or mirror the projection.
    if (!(aspect > 0.0) || !std::isfinite(aspect))
        return 1.0;
    return aspect;
}

bool CZelCamera::setJitter(double x, double y)
{
    if (!finite(x, y))
        return false;
    m_jitterX = x;
    m_jitterY = y;
    return true;
}

void CZelCamera::getJitter(double& x, double& y) const
{
    x = m_jitterX;
    y = m_jitterY;
}

bool CZelCamera::setViewWindow(double left, double right, double bottom, double top)
{
    if (!finite(left, right, bottom, top) || !(left < right) || !(bottom < top))
        return false;
    m_windowLeft = left;
    m_windowRight = right;
    m_windowBottom = bottom;
    m_windowTop = top;
    return true;
}

void CZelCamera::getViewWindow(double& left, double& right, double& bottom, double& top) const
{
    left = m_windowLeft;
    right = m_windowRight;
    bottom = m_windowBottom;
    top = m_windowTop;
}

bool CZelCamera::setEyeSeparation(double separation)
{
    if (!std::isfinite(separation))
        return false;
    m_eyeSeparation = separation;
    return true;
}

void CZelCamera::updateOrientation()
{
    CZelVec3d forward = m_mode == TARGET_MODE ? m_target - m_position : m_forward;
    if (!forward.normalize())
        return;
    CZelVec3d side(forward.z(), 0.0, -forward.x());
    if (!side.normalize())
        side = m_side;
    CZelVec3d up = CZelVec3d::cross(forward, side);
    if (!up.normalize())
        return;
    m_forward = forward;
    m_side = side;
    m_up = up;
}

void CZelCamera::viewTransform()
{
    CZelVec3d eye = m_position;
    CZelVec3d centre = m_mode == TARGET_MODE ? m_target : m_position + m_forward;
    // Looking at its own position the camera keeps its last direction.
    if (centre == eye)
        centre = m_position + m_forward;
    if (m_stereo) {
        const CZelVec3d& shift = m_side * (m_eyeSeparation * 0.5 * (m_eye == 0 ? 1.0 : -1.0));
        eye = eye + shift;
        centre = centre + shift;
    }
    eye = eye - m_renderOrigin;
    centre = centre - m_renderOrigin;
    gluLookAt(eye.x(), eye.y(), eye.z(), centre.x(), centre.y(), centre.z(), m_up.x(), m_up.y(), m_up.z());
}

void CZelCamera::projectionTransform()
{
    const double aspect = getAspect();
    if (m_stereo && hasFrustum(m_near * std::tan(m_fieldOfView * M_PI / 360.0))) {
        // This degree factor, not pi / 180, keeps stereo pictures as they were.
        const double h = m_near * std::tan(m_fieldOfView * 0.0174532925 * 0.5);
        const double s = m_eyeSeparation * 0.5 * m_near / m_far;
        const double left = m_eye == 0 ? -aspect * h - s : s - aspect * h;
        const double right = m_eye == 0 ? aspect * h - s : aspect * h + s;
        glFrustum(left, right, -h, h, m_near, m_far);
        return;
    }
    const double h = m_near * std::tan(m_fieldOfView * M_PI / 180.0 * 0.5);
    if (!hasFrustum(h)) {
        // A near plane at or behind the eye, far = near or a field of view of
        // 180 degrees or more has no frustum: gluPerspective leaves such a
        // projection degenerate (the picture may be empty) but never invalid.
        gluPerspective(m_fieldOfView, aspect, m_near, m_far);
        return;
    }
    if (m_useViewWindow) {
        const double jitterX = m_useJitter ? m_jitterX : 0.0;
        const double jitterY = m_useJitter ? m_jitterY : 0.0;
        frustumWithJitter(h * aspect * m_windowLeft, h * aspect * m_windowRight, h * m_windowBottom,
                          h * m_windowTop, jitterX, jitterY);
    } else if (m_useJitter) {
        frustumWithJitter(-h * aspect, h * aspect, -h, h, m_jitterX, m_jitterY);
    } else {
        gluPerspective(m_fieldOfView, aspect, m_near, m_far);
    }
}

bool CZelCamera::hasFrustum(double halfHeight) const
{
    return m_near > 0.0 && m_far != m_near && m_fieldOfView > 0.0 && m_fieldOfView < 180.0 &&
           std::isfinite(halfHeight) && halfHeight > 0.0;
}

// Shifts the frustum by the jitter in pixels of the current viewport. It
// multiplies onto the current projection like the other cases, so that a pick
// matrix set by initializeSelect stays in force.
void CZelCamera::frustumWithJitter(double left, double right, double bottom, double top, double jitterX,
                                   double jitterY) const
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // An empty viewport has no pixel size: no shift then.
    const double dx = viewport[2] > 0 ? -(jitterX * (right - left) / viewport[2]) : 0.0;
    const double dy = viewport[3] > 0 ? -(jitterY * (top - bottom) / viewport[3]) : 0.0;
    glMatrixMode(GL_PROJECTION);
    glFrustum(left + dx, right + dx, bottom + dy, top + dy, m_near, m_far);
}

void CZelCamera::getViewFrustum(CZelViewFrustum& frustum)
{
    updateOrientation();
    const double tanVertical = std::tan(m_fieldOfView * M_PI / 360.0);
    const double tanHorizontal = tanVertical * getAspect();
    const CZelVec3d& f = m_forward;
    const CZelVec3d eye = m_position - m_renderOrigin;
    setPlaneThrough(frustum.getPlane(CZelViewFrustum::NEAR_PLANE), f * -1.0, eye + f * m_near);
    setPlaneThrough(frustum.getPlane(CZelViewFrustum::FAR_PLANE), f, eye + f * m_far);
    // Side planes pass through the eye; (side - tan * forward) points out of
    // the volume on the side's half.
    setPlaneThrough(frustum.getPlane(CZelViewFrustum::LEFT_PLANE), m_side - f * tanHorizontal, eye);
    setPlaneThrough(frustum.getPlane(CZelViewFrustum::RIGHT_PLANE), m_side * -1.0 - f * tanHorizontal, eye);
    setPlaneThrough(frustum.getPlane(CZelViewFrustum::BOTTOM_PLANE), m_up * -1.0 - f * tanVertical, eye);
    setPlaneThrough(frustum.getPlane(CZelViewFrustum::TOP_PLANE), m_up - f * tanVertical, eye);
}

void CZelCamera::rotatePositionY(double angle)
{
    if (!std::isfinite(angle))
        return;
    const CZelVec3d v = m_position - m_target;
    const double r = v.length();
    const double e = std::atan2(v.y(), std::sqrt(v.x() * v.x() + v.z() * v.z()));
    const double a = std::atan2(v.z(), v.x()) + angle;
    const double g = std::cos(e) * r;
    // Before the move: the orientation describes the previous position until
    // the next update.
    updateOrientation();
    place(CZelVec3d(std::cos(a) * g + m_target.x(), std::sin(e) * r + m_target.y(), std::sin(a) * g + m_target.z()),
          m_target);
}

void CZelCamera::rotatePositionX(double angle)
{
    if (!std::isfinite(angle))
        return;
    const CZelVec3d v = m_position - m_target;
    const double r = v.length();
    const double e = std::atan2(v.y(), std::sqrt(v.x() * v.x() + v.z() * v.z()));
    const double a = std::atan2(v.z(), v.x());
    // Past either pole the step is dropped; exactly at a pole is allowed.
    if (e + angle > HALF_PI)
        angle = 0.0;
    if (e + angle < -HALF_PI)
        angle = 0.0;
    const double elevation = e + angle;
    const double g = std::cos(elevation) * r;
    updateOrientation();
    place(CZelVec3d(std::cos(a) * g + m_target.x(), std::sin(elevation) * r + m_target.y(),
                    std::sin(a) * g + m_target.z()),
          m_target);
}

void CZelCamera::moveDepth(double distance)
{
    if (!std::isfinite(distance))
        return;
    updateOrientation();
    const double dist = (m_position - m_target).length();
    const CZelVec3d& step = m_forward * distance;
    // Never past the target: beyond it the target is pushed forward instead.
    if (distance < dist)
        place(m_position + step, m_target);
    else
        place(m_position, m_target + step);
}

void CZelCamera::moveSideways(double distance)
{
    if (!std::isfinite(distance))
        return;
    if (m_mode == TARGET_MODE)
        updateOrientation();
    const CZelVec3d& step = m_side * distance;
    place(m_position + step, m_target + step);
}

void CZelCamera::moveVertical(double distance)
{
    if (!std::isfinite(distance))
        return;
    if (m_mode == TARGET_MODE)
        updateOrientation();
    const CZelVec3d& step = m_up * distance;
    place(m_position + step, m_target + step);
}
