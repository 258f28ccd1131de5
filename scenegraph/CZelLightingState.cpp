// Lighting switch around a shape.
#include "CZelLightingState.h"

#include <GL/gl.h>

namespace {

// GL_LIGHTING's value as an attribute mask: it covers the lighting group
// (with the GL_LIGHTING enable flag) besides a few unrelated groups.
constexpr GLbitfield LIGHTING_ATTRIB_MASK = 0x0B50;

} // namespace

void CZelLightingState::saveState()
{
    glPushAttrib(LIGHTING_ATTRIB_MASK);
}

void CZelLightingState::applyState()
{
    if (m_lighting)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
}

void CZelLightingState::restoreState()
{
    glPopAttrib();
}
