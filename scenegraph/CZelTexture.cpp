// Texture creation and use.
#include "CZelTexture.h"

CZelTexture::~CZelTexture()
{
    if (m_generateName && m_created)
        glDeleteTextures(1, &m_textureName);
}

void CZelTexture::bind()
{
    if (m_created)
        glDeleteTextures(1, &m_textureName);
    if (m_generateName)
        glGenTextures(1, &m_textureName);
    glBindTexture(GL_TEXTURE_2D, m_textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, m_minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, m_magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, m_wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, m_wrapT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, m_mode);
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, m_envColor);
    if (m_uploadImage)
        uploadPixels();
    m_created = true;
    if (!m_active)
        glDisable(GL_TEXTURE_2D);
}

void CZelTexture::apply()
{
    if (!m_active) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glBindTexture(GL_TEXTURE_2D, m_textureName);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, m_mode);
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, m_envColor);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    if (m_translationS != 0.0 || m_translationT != 0.0)
        glTranslated(m_translationS, m_translationT, 0.0);
    if (m_rotation != 0.0)
        glRotated(m_rotation, 0.0, 0.0, 1.0);
    if (m_scaleS != 0.0 || m_scaleT != 0.0)
        glScaled(m_scaleS, m_scaleT, 1.0);
    glMatrixMode(GL_MODELVIEW);
}

void CZelTexture::setFilters(GLint minification, GLint magnification)
{
    m_minFilter = minification;
    m_magFilter = magnification;
}

void CZelTexture::setRepeat(GLint wrapS, GLint wrapT)
{
    m_wrapS = wrapS;
    m_wrapT = wrapT;
}

void CZelTexture::setEnvColor(float r, float g, float b, float a)
{
    m_envColor[0] = r;
    m_envColor[1] = g;
    m_envColor[2] = b;
    m_envColor[3] = a;
}

void CZelTexture::setTextureTransform(double scaleS, double scaleT, double rotation, double translationS,
                                      double translationT)
{
    m_scaleS = scaleS;
    m_scaleT = scaleT;
    m_rotation = rotation;
    m_translationS = translationS;
    m_translationT = translationT;
}

void CZelTexture::uploadPixels()
{
    // Pixel sources (images, raw RGBA data) arrive with the image classes.
}
