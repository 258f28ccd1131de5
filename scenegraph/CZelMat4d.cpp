// 4 x 4 double matrix.
#include "CZelMat4d.h"

#include "CZelTemporaries.h"
#include "CZelVec4d.h"

CZelMat4d& CZelMat4d::operator=(const CZelMat4d& other)
{
    for (int i = 0; i < 16; ++i)
        m_m[i] = other.m_m[i];
    return *this;
}

void CZelMat4d::setIdentity()
{
    zero();
    m_m[0] = m_m[5] = m_m[10] = m_m[15] = 1.0;
}

void CZelMat4d::zero()
{
    for (double& e : m_m)
        e = 0.0;
}

void CZelMat4d::getColumnMajor(double out[16]) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[4 * c + r] = at(r, c);
}

void CZelMat4d::setColumnMajor(const double in[16])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            at(r, c) = in[4 * c + r];
}

CZelMat4d& CZelMat4d::operator*(const CZelMat4d& other) const
{
    CZelMat4d& r = getTempMat4d();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += at(i, k) * other.at(k, j);
            r.at(i, j) = sum;
        }
    return r;
}

CZelVec4d& CZelMat4d::operator*(const CZelVec4d& v) const
{
    CZelVec4d& r = getTempVec4d();
    for (int i = 0; i < 4; ++i) {
        double sum = 0.0;
        for (int j = 0; j < 4; ++j)
            sum += at(i, j) * v[j];
        r[i] = sum;
    }
    return r;
}
