// Straight segment interpolation.
#include "CZelLineSegment3d.h"

CZelLineSegment3d::CZelLineSegment3d()
    : m_first(new CZelVec3d()), m_second(new CZelVec3d()), m_result(new CZelVec3d())
{
}

double CZelLineSegment3d::getLength() const
{
    if (!m_first || !m_second)
        return 0.0;
    return (*m_second - *m_first).length();
}

CZelVec3d* CZelLineSegment3d::getPosition(double t)
{
    if (!m_first || !m_second)
        return m_result;
    // A fraction that is not a number counts as the start, so that no NaN
    // reaches the caller's geometry.
    double a = t;
    if (!(a > 0.0))
        a = 0.0;
    else if (a > 1.0)
        a = 1.0;
    *m_result = (1.0 - a) * *m_first + a * *m_second;
    return m_result;
}
