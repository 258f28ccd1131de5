// A flat, unlit triangle of one exact colour for drawing tests: with lighting
// off its pixels are exactly its colour, so edges and backgrounds can be told
// apart by value.
#pragma once

#include "CZelShape.h"

class CTestTriangle : public CZelShape
{
    ZEL_DECLARE_CLASS(CTestTriangle, CZelShape)

public:
    // Corners (x, y, z) each; colour as bytes.
    CTestTriangle(const double a[3], const double b[3], const double c[3], unsigned char red,
                  unsigned char green, unsigned char blue);

    void doCreateGeometry() override;

private:
    double m_corners[3][3];
    unsigned char m_colour[3];
};
