// A ready-made textured rectangle centred on the origin in the XY, XZ or YZ
// plane, which takes the proportions of a raw-data texture.
#pragma once

#include "CZelQuadSet.h"

class CZelQuadPlane : public CZelQuadSet
{
    ZEL_DECLARE_CLASS(CZelQuadPlane, CZelQuadSet)
public:
    CZelQuadPlane();

    void setSize(double width, double height);
    double getWidth() const { return m_width; }
    double getHeight() const { return m_height; }
    double getRatio() const { return m_ratio; }
    // Adds a reference to the texture, releasing the previous one. When the
    // texture has raw data, the height follows its proportions.
    void setTexture(CZelTexture* texture);
    // 0: the XY plane, 1: the XZ plane, 2: the YZ plane.
    void setOrientation(int orientation);
    int getOrientation() const { return m_orientation; }
    // How often the texture repeats across the width and the height.
    void setTextureRepeat(double s, double t);

private:
    void rebuild();

    double m_width = 1.0;
    double m_height = 1.0;
    double m_ratio = 1.0;
    double m_repeatS = 1.0;
    double m_repeatT = 1.0;
    int m_orientation = 0;
};
