// Surface colours of a shape. Drawing it issues the OpenGL material, a grey
// version of it in greyscale mode, or a plain colour when lighting is off.
#pragma once

#include "CZelGLBase.h"

class CZelMaterial : public CZelGLBase
{
    ZEL_DECLARE_CLASS(CZelMaterial, CZelGLBase)
public:
    void doCreateMaterial() override;

    void setDiffuseColor(float r, float g, float b, float a) { set(m_diffuse, r, g, b, a); }
    void setAmbientColor(float r, float g, float b, float a) { set(m_ambient, r, g, b, a); }
    void setSpecularColor(float r, float g, float b, float a) { set(m_specular, r, g, b, a); }
    void setEmissionColor(float r, float g, float b, float a) { set(m_emission, r, g, b, a); }
    void getDiffuseColor(float& r, float& g, float& b, float& a) const { get(m_diffuse, r, g, b, a); }
    void getAmbientColor(float& r, float& g, float& b, float& a) const { get(m_ambient, r, g, b, a); }
    void getSpecularColor(float& r, float& g, float& b, float& a) const { get(m_specular, r, g, b, a); }
    void getEmissionColor(float& r, float& g, float& b, float& a) const { get(m_emission, r, g, b, a); }
    void setShininess(float shininess) { m_shininess = shininess; }
    float getShininess() const { return m_shininess; }
    void setColorMaterial(bool on) { m_colorMaterial = on; }
    bool getColorMaterial() const { return m_colorMaterial; }
    // Sets the alpha of all four colours.
    void setAlphaValue(float a);

private:
    static void set(float c[4], float r, float g, float b, float a);
    static void get(const float c[4], float& r, float& g, float& b, float& a);

    float m_shininess = 100.0f;
    float m_diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    float m_specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float m_ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float m_emission[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    bool m_colorMaterial = false;
};
