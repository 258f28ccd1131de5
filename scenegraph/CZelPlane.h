// A plane a x + b y + c z + d = 0; the signed value tells on which side a point lies.
#pragma once

#include "CZelMathBase.h"
#include "CZelRTTIBase.h"

class CZelVec3d;

class CZelPlane : public CZelMathBase
{
    ZEL_DECLARE_CLASS(CZelPlane, CZelMathBase)
public:
    void setPlane(double a, double b, double c, double d);
    void getPlane(double& a, double& b, double& c, double& d) const;
    double getSignedValue(double x, double y, double z) const { return m_a * x + m_b * y + m_c * z + m_d; }
    double getSignedValue(const CZelVec3d& p) const;

private:
    double m_a = 0.0;
    double m_b = 0.0;
    double m_c = 1.0;
    double m_d = 0.0;
};
