// Quad normals and drawing.
#include "CZelQuadSet.h"

#include <GL/gl.h>

namespace {

// The attribute mask is GL_COLOR_MATERIAL's value: among other groups it
// saves the lighting group with the colour-material switch.
constexpr GLbitfield COLOR_MATERIAL_ATTRIB_MASK = 0x0B57;

} // namespace

void CZelQuadSet::doAddCoordIndex(CZelIndex* index)
{
    CZelPointer<CZelIndex> normalSet = new CZelIndex();
    const size_t count = m_coords.size();
    for (int q = 0; q + 3 < index->getSize(); q += 4) {
        int v[4];
        bool complete = true;
        for (int i = 0; i < 4; ++i) {
            const int32_t value = index->getAt(q + i);
            v[i] = (value >= 0 && static_cast<size_t>(value) < count) ? value : -1;
            complete = complete && v[i] >= 0;
        }
        // A quad with a missing corner keeps a zero normal, so that the
        // normal indexes still run parallel to the quads.
        CZelVec3d normal;
        if (complete) {
            const CZelVec3d& a = m_coords[static_cast<size_t>(v[0])];
            normal = CZelVec3d::cross(m_coords[static_cast<size_t>(v[1])] - a, m_coords[static_cast<size_t>(v[3])] - a);
            normal.normalize();
        }
        m_normals.push_back(normal);
        const int32_t normalIndex = static_cast<int32_t>(m_normals.size() - 1);
        normalSet->add(normalIndex);
        for (int i = 0; i < 4; ++i)
            if (v[i] >= 0)
                m_vertexFaces[static_cast<size_t>(v[i])]->add(normalIndex);
    }
    m_normalIndexSets.push_back(normalSet);
}

void CZelQuadSet::calcVertexNormals()
{
    if (!m_useVertexNormals)
        return;
    for (size_t i = 0; i < m_coords.size(); ++i) {
        const CZelIndex* faces = m_vertexFaces[i];
        if (faces->getSize() == 0)
            continue;
        double sum[3] = {0.0, 0.0, 0.0};
        for (int f = 0; f < faces->getSize(); ++f) {
            const CZelVec3d& n = m_normals[static_cast<size_t>(faces->getAt(f))];
            for (int c = 0; c < 3; ++c)
                sum[c] += n[c];
        }
        const double count = faces->getSize();
        m_vertexNormals[i].setComponents(sum[0] / count, sum[1] / count, sum[2] / count);
        m_vertexNormals[i].normalize();
    }
}

void CZelQuadSet::doCreateGeometry()
{
    glPushAttrib(COLOR_MATERIAL_ATTRIB_MASK);
    if (m_useColors)
        glEnable(GL_COLOR_MATERIAL);
    const size_t coordCount = m_coords.size();
    for (size_t k = 0; k < m_coordIndexSets.size(); ++k) {
        const int size = m_coordIndexSets[k]->getSize();
        glBegin(GL_QUADS);
        for (int q = 0; q + 3 < size; q += 4) {
            // A quad with an index outside the coordinates is left out whole:
            // dropping one corner would shift every later quad.
            bool complete = true;
            for (int j = q; j < q + 4; ++j)
                complete = complete && entry(m_coordIndexSets, k, j, coordCount) >= 0;
            if (!complete)
                continue;
            for (int j = q; j < q + 4; ++j) {
                const int v = entry(m_coordIndexSets, k, j, coordCount);
                if (m_useVertexNormals) {
                    glNormal3dv(m_vertexNormals[static_cast<size_t>(v)].getArray());
                } else {
                    const int n = entry(m_normalIndexSets, k, j / 4, m_normals.size());
                    if (n >= 0)
                        glNormal3dv(m_normals[static_cast<size_t>(n)].getArray());
                }
                if (m_useColors) {
                    const int c = entry(m_colorIndexSets, k, j, m_colors.size());
                    if (c >= 0)
                        glColor3fv(m_colors[static_cast<size_t>(c)].rgba);
                }
                const int t = entry(m_textureIndexSets, k, j, m_textureCoords.size());
                if (t >= 0)
                    glTexCoord2dv(m_textureCoords[static_cast<size_t>(t)].getArray());
                glVertex3dv(m_coords[static_cast<size_t>(v)].getArray());
            }
        }
        glEnd();
    }
    glPopAttrib();
}
