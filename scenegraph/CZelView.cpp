// Viewport and projection set-up shared by every view.
#include "CZelView.h"

#include <GL/gl.h>
#include <GL/glu.h>

CZelView::CZelView() : m_viewport(new CZelViewport(0, 0, 640, 480)) {}

void CZelView::initialize()
{
    glViewport(m_viewport->getX(), m_viewport->getY(), m_viewport->getWidth(), m_viewport->getHeight());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    projectionTransform();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CZelView::initializeSelect(int x, int y, int width, int height)
{
    GLint viewport[4] = {m_viewport->getX(), m_viewport->getY(), m_viewport->getWidth(), m_viewport->getHeight()};
    gluPickMatrix(x, m_viewport->getHeight() - y, width, height, viewport);
    if (m_reloadProjectionOnSelect)
        projectionTransform();
}

void CZelView::getViewFrustum(CZelViewFrustum& frustum)
{
    // Every point lies 1 inside each plane: culling through such a view
    // keeps everything.
    for (int i = 0; i < CZelViewFrustum::PLANE_COUNT; ++i)
        frustum.getPlane(i).setPlane(0.0, 0.0, 0.0, -1.0);
}
