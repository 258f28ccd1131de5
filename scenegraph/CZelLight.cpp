// Light parameters.
#include "CZelLight.h"

#include <GL/gl.h>

void CZelLight::setLightPosition(float x, float y, float z, float w)
{
    set(m_position, x, y, z, w);
    m_type = w >= 0.9f ? POINT_LIGHT : DIRECTIONAL_LIGHT;
}

void CZelLight::setAttenuation(int constant, int linear, int quadratic)
{
    m_attenuation[0] = constant;
    m_attenuation[1] = linear;
    m_attenuation[2] = quadratic;
}

void CZelLight::setSpotDirection(float x, float y, float z)
{
    m_spotDirection[0] = x;
    m_spotDirection[1] = y;
    m_spotDirection[2] = z;
}

void CZelLight::enable()
{
    glEnable(static_cast<GLenum>(GL_LIGHT0 + m_number));
    m_enabled = true;
}

void CZelLight::disable()
{
    glDisable(static_cast<GLenum>(GL_LIGHT0 + m_number));
    m_enabled = false;
}

void CZelLight::doCreateGeometry()
{
    if (!m_enabled)
        return;
    const GLenum light = static_cast<GLenum>(GL_LIGHT0 + m_number);
    // Enabled again each time: a new GL context starts with every light off.
    glEnable(light);
    glLightfv(light, GL_AMBIENT, m_ambient);
    glLightfv(light, GL_DIFFUSE, m_diffuse);
    glLightfv(light, GL_SPECULAR, m_specular);
    switch (m_type) {
    case POINT_LIGHT:
    case DIRECTIONAL_LIGHT:
        m_position[3] = m_type == POINT_LIGHT ? 1.0f : 0.0f;
        glLightfv(light, GL_POSITION, m_position);
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
        break;
    case SPOT_LIGHT:
        m_position[3] = 1.0f;
        glLightfv(light, GL_POSITION, m_position);
        glLightf(light, GL_SPOT_CUTOFF, m_spotCutoff);
        glLightfv(light, GL_SPOT_DIRECTION, m_spotDirection);
        glLightf(light, GL_SPOT_EXPONENT, m_spotExponent);
        break;
    default:
        break;
    }
    glLighti(light, GL_CONSTANT_ATTENUATION, m_attenuation[0]);
    glLighti(light, GL_LINEAR_ATTENUATION, m_attenuation[1]);
    glLighti(light, GL_QUADRATIC_ATTENUATION, m_attenuation[2]);
}

void CZelLight::set(float c[4], float r, float g, float b, float a)
{
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = a;
}

void CZelLight::get(const float c[4], float& r, float& g, float& b, float& a)
{
    r = c[0];
    g = c[1];
    b = c[2];
    a = c[3];
}
