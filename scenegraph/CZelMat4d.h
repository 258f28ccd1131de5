// 4 x 4 double matrix stored row by row; vectors are columns (p' = M p), so a
// translation sits in the last column.
#pragma once

#include "CZelMathBase.h"
#include "CZelRTTIBase.h"

class CZelVec4d;

class CZelMat4d : public CZelMathBase
{
    ZEL_DECLARE_CLASS(CZelMat4d, CZelMathBase)
public:
    CZelMat4d() = default;
    CZelMat4d(const CZelMat4d& other) : CZelMathBase() { *this = other; }
    CZelMat4d& operator=(const CZelMat4d& other);

    void setIdentity();
    void zero();
    double& at(int row, int column) { return m_m[4 * row + column]; }
    double at(int row, int column) const { return m_m[4 * row + column]; }
    double* getArray() { return m_m; }
    const double* getArray() const { return m_m; }
    // The layout glLoadMatrixd and glGetDoublev use.
    void getColumnMajor(double out[16]) const;
    void setColumnMajor(const double in[16]);

    // Results live in the temporary rings.
    CZelMat4d& operator*(const CZelMat4d& other) const;
    CZelVec4d& operator*(const CZelVec4d& v) const;

private:
    double m_m[16] = {};
};
