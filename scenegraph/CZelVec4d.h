// Four-component double vector (homogeneous points for the matrix product).
#pragma once

#include "CZelMathBase.h"
#include "CZelRTTIBase.h"

class CZelVec4d : public CZelMathBase
{
    ZEL_DECLARE_CLASS(CZelVec4d, CZelMathBase)
public:
    CZelVec4d() = default;
    CZelVec4d(double x, double y, double z, double w) : m_v{x, y, z, w} {}
    CZelVec4d(const CZelVec4d& other) : CZelMathBase() { *this = other; }
    CZelVec4d& operator=(const CZelVec4d& other);

    void setComponents(double x, double y, double z, double w);
    double* getArray() { return m_v; }
    const double* getArray() const { return m_v; }
    double& operator[](int i) { return m_v[i]; }
    double operator[](int i) const { return m_v[i]; }

private:
    double m_v[4] = {0.0, 0.0, 0.0, 0.0};
};
