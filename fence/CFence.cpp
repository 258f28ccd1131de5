// Drawing a fence, as its picture or as the outline of a missing one.
#include "CFence.h"

#include <GL/gl.h>

void CFence::makeOutline(double height)
{
    m_outline = true;
    setHeight(height);
}

void CFence::doCreateGeometry()
{
    if (!m_outline) {
        CZelImagePlane::doCreateGeometry();
        return;
    }
    CZelLine3d* line = getLine();
    if (line == nullptr || line->getPointCount() < 2)
        return;
    const double height = getHeight();
    // Grey whatever the lighting and the material: the outline stands for a
    // picture, it is not part of the section. The line width is the
    // diagram's, set by whoever draws the scene.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.5f, 0.5f, 0.5f);
    glBegin(GL_LINE_LOOP);
    const int count = line->getPointCount();
    for (int i = 0; i < count; ++i) {
        const CZelVec3d* p = line->getPoint(i);
        glVertex3d(p->x(), p->y(), p->z());
    }
    for (int i = count - 1; i >= 0; --i) {
        const CZelVec3d* p = line->getPoint(i);
        glVertex3d(p->x(), p->y() - height, p->z());
    }
    glEnd();
    glPopAttrib();
}
