// Material drawing.
#include "CZelMaterial.h"

#include "CZelGlobalState.h"

#include <GL/gl.h>

namespace {

void materialGrey(GLenum which, const float c[4])
{
    const float mean = (c[0] + c[1] + c[2]) / 3.0f;
    const float grey[4] = {mean, mean, mean, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, which, grey);
}

} // namespace

void CZelMaterial::doCreateMaterial()
{
    if (!glIsEnabled(GL_LIGHTING)) {
        glColor4fv(m_diffuse);
        return;
    }
    if (CZelGlobalState::getInstance()->getGreyscale()) {
        materialGrey(GL_AMBIENT, m_ambient);
        materialGrey(GL_DIFFUSE, m_diffuse);
        materialGrey(GL_SPECULAR, m_specular);
        materialGrey(GL_EMISSION, m_emission);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m_shininess);
    } else if (m_colorMaterial) {
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m_specular);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m_emission);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m_shininess);
    } else {
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m_ambient);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m_diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m_specular);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m_emission);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m_shininess);
    }
}

void CZelMaterial::setAlphaValue(float a)
{
    m_diffuse[3] = m_ambient[3] = m_emission[3] = m_specular[3] = a;
}

void CZelMaterial::set(float c[4], float r, float g, float b, float a)
{
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = a;
}

void CZelMaterial::get(const float c[4], float& r, float& g, float& b, float& a)
{
    r = c[0];
    g = c[1];
    b = c[2];
    a = c[3];
}
