// Turning the children toward the camera before they draw.
#include "CZelBillboard.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr double HALF_PI = 1.5707963267948966;
constexpr double DEGREES = 180.0 / 3.14159265358979323846;

} // namespace

void CZelBillboard::setDirection(double x, double y, double z)
{
    m_direction[0] = x;
    m_direction[1] = y;
    m_direction[2] = z;
}

void CZelBillboard::doCreateGeometry()
{
    if (m_view) {
        CZelVec3d d(m_direction[0], m_direction[1], m_direction[2]);
        if (m_directionMode != 1)
            d = m_view->getForward();
        m_alpha = std::atan2(-d.z(), -d.x());
        m_beta = std::atan2(std::sqrt(d.x() * d.x() + d.z() * d.z()), -d.y());
        if (m_type == VERTICAL_AXIS)
            m_beta = HALF_PI;
        else if (m_type == HORIZONTAL_AXIS)
            m_alpha = HALF_PI;
    }
    glPushMatrix();
    glRotated(90.0 - m_alpha * DEGREES, 0.0, 1.0, 0.0);
    glPushMatrix();
    glRotated(m_beta * DEGREES - 90.0, 1.0, 0.0, 0.0);
    CZelComposite::doCreateGeometry();
    glPopMatrix();
    glPopMatrix();
}
