// Vertex lists, index sets and bounds of a primitive.
#include "CZelGLPrimitive.h"

#include <algorithm>

void CZelGLPrimitive::doUpdateBoundingSphere()
{
    CZelBoundingSphere* sphere = getBoundingSphere();
    if (!sphere)
        return;
    double lo[3] = {1e300, 1e300, 1e300};
    double hi[3] = {-1e300, -1e300, -1e300};
    for (const CZelVec3d& c : m_coords) {
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], c[i]);
            hi[i] = std::max(hi[i], c[i]);
        }
    }
    const CZelVec3d max(hi[0], hi[1], hi[2]);
    const CZelVec3d centre((hi[0] + lo[0]) * 0.5, (hi[1] + lo[1]) * 0.5, (hi[2] + lo[2]) * 0.5);
    sphere->setRadius((max - centre).length());
}

void CZelGLPrimitive::refresh()
{
    m_normals.clear();
    m_normalIndexSets.clear();
    // The faces are listed afresh below; keeping the old entries would let
    // the lists grow with every refresh.
    for (CZelPointer<CZelIndex>& faces : m_vertexFaces)
        faces->clear();
    for (size_t k = 0; k < m_coordIndexSets.size(); ++k)
        doAddCoordIndex(m_coordIndexSets[k]);
    if (m_useVertexNormals)
        calcVertexNormals();
}

void CZelGLPrimitive::addCoord(double x, double y, double z)
{
    m_coords.emplace_back(x, y, z);
    m_vertexNormals.emplace_back();
    m_vertexFaces.emplace_back(new CZelIndex());
}

void CZelGLPrimitive::setCoord(int i, double x, double y, double z)
{
    if (i >= 0 && i < getCoordCount())
        m_coords[static_cast<size_t>(i)].setComponents(x, y, z);
}

const CZelVec3d* CZelGLPrimitive::getCoord(int i) const
{
    return (i >= 0 && i < getCoordCount()) ? &m_coords[static_cast<size_t>(i)] : nullptr;
}

const CZelVec3d* CZelGLPrimitive::getTextureCoord(int i) const
{
    return (i >= 0 && i < getTextureCoordCount()) ? &m_textureCoords[static_cast<size_t>(i)] : nullptr;
}

void CZelGLPrimitive::addTextureCoord(double s, double t)
{
    m_textureCoords.emplace_back(s, t, 0.0);
}

void CZelGLPrimitive::setTextureCoord(int i, double s, double t)
{
    if (i >= 0 && i < static_cast<int>(m_textureCoords.size()))
        m_textureCoords[static_cast<size_t>(i)].setComponents(s, t, 0.0);
}

void CZelGLPrimitive::addColor(float r, float g, float b, float a)
{
    m_colors.push_back(Color{{r, g, b, a}});
}

void CZelGLPrimitive::addCoordIndex(CZelIndex* index)
{
    if (!index)
        return;
    m_coordIndexSets.emplace_back(index);
    doAddCoordIndex(index);
}

void CZelGLPrimitive::clear()
{
    m_coords.clear();
    m_colors.clear();
    m_normals.clear();
    m_textureCoords.clear();
    m_coordIndexSets.clear();
    m_colorIndexSets.clear();
    m_normalIndexSets.clear();
    m_textureIndexSets.clear();
    m_vertexNormals.clear();
    m_vertexFaces.clear();
}

const CZelVec3d* CZelGLPrimitive::getNormal(int i) const
{
    return (i >= 0 && i < getNormalCount()) ? &m_normals[static_cast<size_t>(i)] : nullptr;
}

const CZelVec3d* CZelGLPrimitive::getVertexNormal(int i) const
{
    return (i >= 0 && i < static_cast<int>(m_vertexNormals.size())) ? &m_vertexNormals[static_cast<size_t>(i)]
                                                                    : nullptr;
}

int CZelGLPrimitive::entry(const std::vector<CZelPointer<CZelIndex>>& sets, size_t k, int j, size_t limit)
{
    if (k >= sets.size() || !sets[k])
        return -1;
    const int32_t value = sets[k]->getAt(j);
    return (value >= 0 && static_cast<size_t>(value) < limit) ? value : -1;
}
