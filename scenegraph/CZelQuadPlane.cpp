// Rectangle corners and texture coordinates.
#include "CZelQuadPlane.h"

CZelQuadPlane::CZelQuadPlane()
{
    rebuild();
}

void CZelQuadPlane::setSize(double width, double height)
{
    m_width = width;
    m_height = height;
    if (height != 0.0)
        m_ratio = width / height;
    rebuild();
}

void CZelQuadPlane::setTexture(CZelTexture* texture)
{
    CZelShape::setTexture(texture);
    if (texture && texture->getRawWidth() > 0 && texture->getRawHeight() > 0) {
        m_height = m_width / (static_cast<double>(texture->getRawWidth()) / texture->getRawHeight());
        m_ratio = m_width / m_height;
        rebuild();
    }
}

void CZelQuadPlane::setOrientation(int orientation)
{
    m_orientation = orientation;
    rebuild();
}

void CZelQuadPlane::setTextureRepeat(double s, double t)
{
    m_repeatS = s;
    m_repeatT = t;
    rebuild();
}

void CZelQuadPlane::rebuild()
{
    clear();
    const double w = m_width / 2.0;
    const double h = m_height / 2.0;
    switch (m_orientation) {
    case 1:
        addCoord(-w, 0.0, -h);
        addCoord(-w, 0.0, h);
        addCoord(w, 0.0, h);
        addCoord(w, 0.0, -h);
        break;
    case 2:
        addCoord(0.0, -w, -h);
        addCoord(0.0, w, -h);
        addCoord(0.0, w, h);
        addCoord(0.0, -w, h);
        break;
    default:
        addCoord(-w, -h, 0.0);
        addCoord(w, -h, 0.0);
        addCoord(w, h, 0.0);
        addCoord(-w, h, 0.0);
        break;
    }
    CZelIndex* corners = new CZelIndex();
    corners->createLinear(4);
    addCoordIndex(corners);
    addTextureCoord(0.0, 0.0);
    addTextureCoord(m_repeatS, 0.0);
    addTextureCoord(m_repeatS, m_repeatT);
    addTextureCoord(0.0, m_repeatT);
    CZelIndex* texture = new CZelIndex();
    texture->createLinear(4);
    addTextureIndex(texture);
}
