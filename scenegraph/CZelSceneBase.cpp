// One frame of a scene: culling, then mono, anaglyph or quad-buffered stereo.
#include "CZelSceneBase.h"

#include "CZelCamera.h"

#include <GL/gl.h>

CZelSceneBase::CZelSceneBase()
    : m_preComposite(new CZelComposite()), m_composite(new CZelComposite()), m_postComposite(new CZelComposite()),
      m_view(new CZelCamera()), m_lighting(CZelLighting::getInstance()), m_culling(new CZelCulling()),
      m_selection(new CZelBufferSelection())
{
    m_culling->setComposite(m_composite);
    m_culling->setView(m_view);
    m_selection->setComposite(m_composite);
    m_selection->setView(m_view);
    m_selection->compile();
}

void CZelSceneBase::setView(CZelView* view)
{
    m_view = view;
    m_culling->setView(view);
    m_selection->setView(view);
}

void CZelSceneBase::addChild(CZelShape* shape)
{
    if (!shape)
        return;
    if (m_useCulling)
        shape->updateBoundingSphere();
    m_composite->addChild(shape);
    m_changed = true;
}

bool CZelSceneBase::viewIsCamera() const
{
    return m_view && m_view->isClass("CZelCamera");
}

void CZelSceneBase::doCreateGeometry()
{
    if (m_useCulling)
        m_culling->cull();
    switch (m_stereoMode) {
    case MONO:
        drawMono();
        break;
    case ANAGLYPH:
        if (viewIsCamera())
            drawAnaglyph();
        else
            drawMono();
        break;
    case QUAD_BUFFERED:
        if (viewIsCamera())
            drawQuadBuffered();
        else
            drawMono();
        break;
    default:
        break;
    }
}

void CZelSceneBase::drawMono()
{
    if (!m_multiPass) {
        renderPass(0);
        return;
    }
    for (int pass = 0; pass < m_passes; ++pass) {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        if (m_passCallback)
            m_passCallback->renderPass(pass);
        else
            renderPass(pass);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
}

void CZelSceneBase::drawAnaglyph()
{
    glPushMatrix();
    glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_TRUE);
    eyePass(0);
    glPopMatrix();
    glPushMatrix();
    glClear(GL_DEPTH_BUFFER_BIT);
    switch (m_anaglyphColor) {
    case ANAGLYPH_BLUE:
        glColorMask(GL_FALSE, GL_FALSE, GL_TRUE, GL_TRUE);
        break;
    case ANAGLYPH_CYAN:
        glColorMask(GL_FALSE, GL_TRUE, GL_TRUE, GL_TRUE);
        break;
    default:
        glColorMask(GL_FALSE, GL_TRUE, GL_FALSE, GL_TRUE);
        break;
    }
    eyePass(1);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPopMatrix();
}

void CZelSceneBase::drawQuadBuffered()
{
    // Without left and right buffers the right eye would overwrite the left
    // one and GL would report errors: such a context gets the mono picture.
    GLboolean stereo = GL_FALSE;
    glGetBooleanv(GL_STEREO, &stereo);
    if (!stereo) {
        drawMono();
        return;
    }
    GLint drawBuffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glDrawBuffer(GL_BACK_LEFT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    eyePass(0);
    glPopMatrix();
    glPushMatrix();
    glDrawBuffer(GL_BACK_RIGHT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    eyePass(1);
    glPopMatrix();
    glDrawBuffer(static_cast<GLenum>(drawBuffer));
}

void CZelSceneBase::eyePass(int eye)
{
    if (m_lightMode == LIGHTS_WITH_CAMERA && m_lighting)
        m_lighting->render();
    CZelCamera* camera = static_cast<CZelCamera*>(m_view.get());
    camera->setEye(eye);
    camera->initialize();
    camera->render();
    if (m_lightMode == LIGHTS_IN_WORLD && m_lighting)
        m_lighting->render();
    doCreateContents(eye);
}

void CZelSceneBase::renderPass(int pass)
{
    doCreateLightsBefore(pass);
    doCreateView(pass);
    doCreateLightsAfter(pass);
    doCreateContents(pass);
}

void CZelSceneBase::doCreateLightsBefore(int pass)
{
    if (m_lightMode == LIGHTS_WITH_CAMERA && m_lighting)
        m_lighting->render();
}

void CZelSceneBase::doCreateView(int pass)
{
    if (m_view)
        m_view->render();
}

void CZelSceneBase::doCreateLightsAfter(int pass)
{
    if (m_lightMode == LIGHTS_IN_WORLD && m_lighting)
        m_lighting->render();
}

void CZelSceneBase::doCreateContents(int pass)
{
    m_preComposite->render();
    m_composite->render();
    m_postComposite->render();
}
