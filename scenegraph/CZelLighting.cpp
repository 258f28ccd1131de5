// The eight lights and the light model.
#include "CZelLighting.h"

#include <GL/gl.h>

CZelLighting::CZelLighting()
{
    for (int i = 0; i < LIGHT_COUNT; ++i)
        m_lights[i] = new CZelLight(i);
}

CZelLighting* CZelLighting::getInstance()
{
    static CZelPointer<CZelLighting> instance(new CZelLighting());
    return instance;
}

CZelLight* CZelLighting::getLight(int index) const
{
    if (index < 0 || index >= LIGHT_COUNT)
        return nullptr;
    return m_lights[index];
}

void CZelLighting::enable()
{
    glEnable(GL_LIGHTING);
}

void CZelLighting::setTwoSide(bool twoSide)
{
    m_twoSide = twoSide ? 1 : 0;
    const GLint flag = m_twoSide;
    glLightModeliv(GL_LIGHT_MODEL_TWO_SIDE, &flag);
}

void CZelLighting::setAmbient(float r, float g, float b, float a)
{
    m_ambient[0] = r;
    m_ambient[1] = g;
    m_ambient[2] = b;
    m_ambient[3] = a;
}

void CZelLighting::getAmbient(float& r, float& g, float& b, float& a) const
{
    r = m_ambient[0];
    g = m_ambient[1];
    b = m_ambient[2];
    a = m_ambient[3];
}

void CZelLighting::render()
{
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, m_ambient);
    for (const CZelPointer<CZelLight>& light : m_lights)
        if (light->isEnabled())
            light->render();
}
