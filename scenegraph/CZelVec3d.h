// Three-component double vector. Operators that return a reference hand out a
// slot of the ring of temporaries (valid until 32 further temporaries are taken).
#pragma once

#include "CZelMathBase.h"
#include "CZelRTTIBase.h"

class CZelVec3d : public CZelMathBase
{
    ZEL_DECLARE_CLASS(CZelVec3d, CZelMathBase)
public:
    CZelVec3d() = default;
    CZelVec3d(double x, double y, double z) : m_v{x, y, z} {}
    CZelVec3d(const CZelVec3d& other) : CZelMathBase(), m_v{other.m_v[0], other.m_v[1], other.m_v[2]} {}
    CZelVec3d& operator=(const CZelVec3d& other);

    void setComponents(double x, double y, double z);
    void setComponents(const double xyz[3]);
    void getComponents(double& x, double& y, double& z) const;
    double* getArray() { return m_v; }
    const double* getArray() const { return m_v; }
    double& operator[](int i) { return m_v[i]; }
    double operator[](int i) const { return m_v[i]; }
    double x() const { return m_v[0]; }
    double y() const { return m_v[1]; }
    double z() const { return m_v[2]; }

    // Results live in the temporary ring.
    CZelVec3d& operator+(const CZelVec3d& other) const;
    CZelVec3d& operator-(const CZelVec3d& other) const;
    CZelVec3d& operator*(double s) const;
    static CZelVec3d& cross(const CZelVec3d& a, const CZelVec3d& b);

    double dot(const CZelVec3d& other) const;
    double length() const;
    // A vector without direction (zero length or not finite) is left as it is
    // and the answer is false, so that no NaN ever reaches the geometry.
    bool normalize();

    bool operator==(const CZelVec3d& other) const;
    bool operator!=(const CZelVec3d& other) const { return !(*this == other); }

private:
    double m_v[3] = {0.0, 0.0, 0.0};
};

CZelVec3d& operator*(double s, const CZelVec3d& v);
