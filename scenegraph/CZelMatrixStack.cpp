// A 32-level matrix stack.
#include "CZelMatrixStack.h"

#include <cmath>

CZelMatrixStack::CZelMatrixStack()
{
    m_stack[0].setIdentity();
}

void CZelMatrixStack::push()
{
    if (m_depth >= MAX_DEPTH)
        return;
    ++m_depth;
    m_stack[m_depth] = m_stack[m_depth - 1];
}

void CZelMatrixStack::pop()
{
    if (m_depth > 0)
        --m_depth;
}

void CZelMatrixStack::translate(double x, double y, double z)
{
    m_translation.setIdentity();
    m_translation.at(0, 3) = x;
    m_translation.at(1, 3) = y;
    m_translation.at(2, 3) = z;
    getTop() = getTop() * m_translation;
}

void CZelMatrixStack::rotate(double x, double y, double z, double angle)
{
    const double radians = (angle + angle) * M_PI / 360.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double t = 1.0 - c;
    CZelMat4d& r = m_rotation;
    r.setIdentity();
    r.at(0, 0) = x * x * t + c;
    r.at(0, 1) = x * y * t - z * s;
    r.at(0, 2) = x * z * t + y * s;
    r.at(1, 0) = x * y * t + z * s;
    r.at(1, 1) = y * y * t + c;
    r.at(1, 2) = y * z * t - x * s;
    r.at(2, 0) = x * z * t - y * s;
    r.at(2, 1) = y * z * t + x * s;
    r.at(2, 2) = z * z * t + c;
    getTop() = getTop() * r;
}
