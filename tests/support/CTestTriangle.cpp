// Unlit test triangle.
#include "CTestTriangle.h"

#include <GL/gl.h>

CTestTriangle::CTestTriangle(const double a[3], const double b[3], const double c[3], unsigned char red,
                             unsigned char green, unsigned char blue)
    : m_colour{red, green, blue}
{
    for (int i = 0; i < 3; ++i) {
        m_corners[0][i] = a[i];
        m_corners[1][i] = b[i];
        m_corners[2][i] = c[i];
    }
}

void CTestTriangle::doCreateGeometry()
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3ub(m_colour[0], m_colour[1], m_colour[2]);
    glBegin(GL_TRIANGLES);
    for (const double* corner : m_corners)
        glVertex3dv(corner);
    glEnd();
    glPopAttrib();
}
