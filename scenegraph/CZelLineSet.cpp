// Line drawing with lighting off.
#include "CZelLineSet.h"

#include "CZelGlobalState.h"

#include <GL/gl.h>

namespace {

// GL_COLOR_MATERIAL's value as attribute mask: it saves the lighting switch,
// the current colour and the line width among others.
constexpr GLbitfield COLOR_MATERIAL_ATTRIB_MASK = 0x0B57;

} // namespace

void CZelLineSet::doCreateGeometry()
{
    glPushAttrib(COLOR_MATERIAL_ATTRIB_MASK);
    glDisable(GL_LIGHTING);
    GLfloat previousWidth = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &previousWidth);
    // GL clamps widths beyond what the driver draws.
    glLineWidth(m_lineWidth * CZelGlobalState::getInstance()->getLineScale());
    // Per-vertex colours need at least one colour index set; without one the
    // lines take the material's colour.
    const bool perVertex = m_useColors && !m_colorIndexSets.empty();
    if (perVertex)
        glEnable(GL_COLOR_MATERIAL);
    const size_t coordCount = m_coords.size();
    for (size_t k = 0; k < m_coordIndexSets.size(); ++k) {
        const size_t colorSet = k < m_colorIndexSets.size() ? k : m_colorIndexSets.size() - 1;
        // The material is issued before glBegin: its colour step queries GL
        // state, which is not allowed between glBegin and glEnd. With
        // lighting off it sets the current colour, which every vertex keeps.
        if (!perVertex) {
            if (CZelMaterial* material = getMaterial())
                material->render();
            else
                glColor3f(1.0f, 1.0f, 1.0f);
        }
        const int size = m_coordIndexSets[k]->getSize();
        glBegin(GL_LINES);
        for (int l = 0; l + 1 < size; l += 2) {
            if (entry(m_coordIndexSets, k, l, coordCount) < 0 || entry(m_coordIndexSets, k, l + 1, coordCount) < 0)
                continue;
            for (int j = l; j < l + 2; ++j) {
                if (perVertex) {
                    const int c = entry(m_colorIndexSets, colorSet, j, m_colors.size());
                    if (c >= 0) {
                        if (m_useAlpha)
                            glColor4fv(m_colors[static_cast<size_t>(c)].rgba);
                        else
                            glColor3fv(m_colors[static_cast<size_t>(c)].rgba);
                    }
                }
                const int t = entry(m_textureIndexSets, k, j, m_textureCoords.size());
                if (t >= 0)
                    glTexCoord2dv(m_textureCoords[static_cast<size_t>(t)].getArray());
                glVertex3dv(m_coords[static_cast<size_t>(entry(m_coordIndexSets, k, j, coordCount))].getArray());
            }
        }
        glEnd();
    }
    glLineWidth(previousWidth);
    glPopAttrib();
}
