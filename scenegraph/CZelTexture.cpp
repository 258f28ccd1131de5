// Texture creation and use.
#include "CZelTexture.h"

#include <GL/glu.h>

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
    if (m_releaseImageAfterUpload)
        m_image = nullptr;
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

void CZelTexture::setReleaseImageAfterUpload(bool release)
{
    m_releaseImageAfterUpload = release;
    if (release && m_created)
        m_image = nullptr;
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

void CZelTexture::setRawData(const unsigned char* rgba, int width, int height)
{
    m_rawData = rgba;
    m_rawWidth = width;
    m_rawHeight = height;
}

void CZelTexture::uploadPixels()
{
    // Image rows are packed (3-channel rows of odd width are not multiples
    // of 4 bytes), so unpack byte by byte and put the setting back afterwards.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (m_image && m_image->getPixels()) {
        const GLenum format = m_image->getFormat();
        if (m_generateMipmaps)
            gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(format), m_image->getWidth(), m_image->getHeight(),
                              format, GL_UNSIGNED_BYTE, m_image->getPixels());
        else
            glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), m_image->getWidth(), m_image->getHeight(), 0,
                         format, GL_UNSIGNED_BYTE, m_image->getPixels());
    }
    if (m_rawData && m_rawWidth > 0 && m_rawHeight > 0) {
        if (m_generateMipmaps)
            gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, m_rawWidth, m_rawHeight, GL_RGBA, GL_UNSIGNED_BYTE, m_rawData);
        else
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, m_rawWidth, m_rawHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, m_rawData);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}
