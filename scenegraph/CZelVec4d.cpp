// Four-component double vector.
#include "CZelVec4d.h"

CZelVec4d& CZelVec4d::operator=(const CZelVec4d& other)
{
    for (int i = 0; i < 4; ++i)
        m_v[i] = other.m_v[i];
    return *this;
}

void CZelVec4d::setComponents(double x, double y, double z, double w)
{
    m_v[0] = x;
    m_v[1] = y;
    m_v[2] = z;
    m_v[3] = w;
}
