// A plane in implicit form.
#include "CZelPlane.h"

#include "CZelVec3d.h"

void CZelPlane::setPlane(double a, double b, double c, double d)
{
    m_a = a;
    m_b = b;
    m_c = c;
    m_d = d;
}

void CZelPlane::getPlane(double& a, double& b, double& c, double& d) const
{
    a = m_a;
    b = m_b;
    c = m_c;
    d = m_d;
}

double CZelPlane::getSignedValue(const CZelVec3d& p) const
{
    return getSignedValue(p.x(), p.y(), p.z());
}
