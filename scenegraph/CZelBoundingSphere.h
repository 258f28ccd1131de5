// Centre and radius enclosing a shape, for culling and for sizing the view.
#pragma once

#include "CZelMathBase.h"
#include "CZelRTTIBase.h"
#include "CZelVec3d.h"

class CZelBoundingSphere : public CZelMathBase
{
    ZEL_DECLARE_CLASS(CZelBoundingSphere, CZelMathBase)
public:
    void setRadius(double radius) { m_radius = radius; }
    double getRadius() const { return m_radius; }
    void setCenter(double x, double y, double z) { m_center.setComponents(x, y, z); }
    const CZelVec3d& getCenter() const { return m_center; }

private:
    double m_radius = 0.0;
    CZelVec3d m_center;
};
