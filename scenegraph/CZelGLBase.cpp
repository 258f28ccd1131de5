// The fixed render sequence and display-list recording.
#include "CZelGLBase.h"

#include <GL/gl.h>

CZelGLBase::~CZelGLBase()
{
    if (m_useDisplayList && m_displayList != 0 && glIsList(m_displayList))
        glDeleteLists(m_displayList, 1);
}

void CZelGLBase::render()
{
    if (m_state == 0 && !m_culled) {
        if (m_useDisplayList)
            glCallList(m_displayList);
        else
            drawSequence();
    }
    m_culled = false;
}

void CZelGLBase::compile()
{
    if (m_displayList != 0 && glIsList(m_displayList))
        glDeleteLists(m_displayList, 1);
    m_displayList = glGenLists(1);
    glNewList(m_displayList, GL_COMPILE);
    drawSequence();
    glEndList();
}

void CZelGLBase::updateBoundingSphere()
{
    if (!m_boundingSphere)
        m_boundingSphere = new CZelBoundingSphere();
    doUpdateBoundingSphere();
}

void CZelGLBase::drawSequence()
{
    // Hold the state object: a hook may replace it while we draw.
    CZelPointer<CZelRenderState> state = m_renderState;
    if (state) {
        state->saveState();
        state->applyState();
    }
    doBeginTransform();
    if (m_highlight == HS_ON && m_highlightDrawing)
        doCreateHighlight();
    if (m_materialDrawing)
        doCreateMaterial();
    doBeginGeometry();
    doCreateGeometry();
    doEndGeometry();
    doEndTransform();
    if (state)
        state->restoreState();
}
