// Three-component double vector.
#include "CZelVec3d.h"

#include "CZelTemporaries.h"

#include <cmath>

CZelVec3d& CZelVec3d::operator=(const CZelVec3d& other)
{
    setComponents(other.m_v);
    return *this;
}

void CZelVec3d::setComponents(double x, double y, double z)
{
    m_v[0] = x;
    m_v[1] = y;
    m_v[2] = z;
}

void CZelVec3d::setComponents(const double xyz[3])
{
    setComponents(xyz[0], xyz[1], xyz[2]);
}

void CZelVec3d::getComponents(double& x, double& y, double& z) const
{
    x = m_v[0];
    y = m_v[1];
    z = m_v[2];
}

CZelVec3d& CZelVec3d::operator+(const CZelVec3d& other) const
{
    CZelVec3d& r = getTempVec3d();
    r.setComponents(m_v[0] + other.m_v[0], m_v[1] + other.m_v[1], m_v[2] + other.m_v[2]);
    return r;
}

CZelVec3d& CZelVec3d::operator-(const CZelVec3d& other) const
{
    CZelVec3d& r = getTempVec3d();
    r.setComponents(m_v[0] - other.m_v[0], m_v[1] - other.m_v[1], m_v[2] - other.m_v[2]);
    return r;
}

CZelVec3d& CZelVec3d::operator*(double s) const
{
    CZelVec3d& r = getTempVec3d();
    r.setComponents(s * m_v[0], s * m_v[1], s * m_v[2]);
    return r;
}

CZelVec3d& operator*(double s, const CZelVec3d& v)
{
    return v * s;
}

CZelVec3d& CZelVec3d::cross(const CZelVec3d& a, const CZelVec3d& b)
{
    CZelVec3d& r = getTempVec3d();
    r.setComponents(a.m_v[1] * b.m_v[2] - a.m_v[2] * b.m_v[1],
                    a.m_v[2] * b.m_v[0] - a.m_v[0] * b.m_v[2],
                    a.m_v[0] * b.m_v[1] - a.m_v[1] * b.m_v[0]);
    return r;
}

double CZelVec3d::dot(const CZelVec3d& other) const
{
    return m_v[0] * other.m_v[0] + m_v[1] * other.m_v[1] + m_v[2] * other.m_v[2];
}

double CZelVec3d::length() const
{
    return std::sqrt(dot(*this));
}

bool CZelVec3d::normalize()
{
    const double len = length();
    if (!(len > 0.0) || !std::isfinite(len))
        return false;
    m_v[0] /= len;
    m_v[1] /= len;
    m_v[2] /= len;
    return true;
}

bool CZelVec3d::operator==(const CZelVec3d& other) const
{
    return m_v[0] == other.m_v[0] && m_v[1] == other.m_v[1] && m_v[2] == other.m_v[2];
}
