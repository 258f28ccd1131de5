// One of the eight OpenGL lights as a shape: its geometry step sets the
// parameters of GL_LIGHT0 + number in the shape's current model-view.
#pragma once

#include "CZelShape.h"

class CZelLight : public CZelShape
{
    ZEL_DECLARE_CLASS(CZelLight, CZelShape)
public:
    enum Type { POINT_LIGHT = 0, DIRECTIONAL_LIGHT = 1, SPOT_LIGHT = 2 };

    explicit CZelLight(int number = 0) : m_number(number) {}

    void doCreateGeometry() override;

    int getNumber() const { return m_number; }
    void setAmbient(float r, float g, float b, float a) { set(m_ambient, r, g, b, a); }
    void setDiffuse(float r, float g, float b, float a) { set(m_diffuse, r, g, b, a); }
    void setSpecular(float r, float g, float b, float a) { set(m_specular, r, g, b, a); }
    void getAmbient(float& r, float& g, float& b, float& a) const { get(m_ambient, r, g, b, a); }
    void getDiffuse(float& r, float& g, float& b, float& a) const { get(m_diffuse, r, g, b, a); }
    void getSpecular(float& r, float& g, float& b, float& a) const { get(m_specular, r, g, b, a); }
    // w of at least 0.9 makes a point light, anything less a directional one.
    void setLightPosition(float x, float y, float z, float w);
    void getLightPosition(float& x, float& y, float& z, float& w) const { get(m_position, x, y, z, w); }
    void setAttenuation(int constant, int linear, int quadratic);
    void setSpotCutoff(float degrees) { m_spotCutoff = degrees; }
    void setSpotDirection(float x, float y, float z);
    void setSpotExponent(float exponent) { m_spotExponent = exponent; }
    void setType(int type) { m_type = type; }
    int getType() const { return m_type; }
    // Switches the GL light on at once; its parameters follow on the next render.
    void enable();
    // Switches the GL light off at once; the lighting skips it from then on.
    void disable();
    bool isEnabled() const { return m_enabled; }

private:
    static void set(float c[4], float r, float g, float b, float a);
    static void get(const float c[4], float& r, float& g, float& b, float& a);

    int m_number;
    float m_ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float m_diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_position[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    int m_attenuation[3] = {1, 0, 0};
    float m_spotCutoff = 45.0f;
    float m_spotDirection[3] = {0.0f, 0.0f, -1.0f};
    float m_spotExponent = 0.0f;
    int m_type = DIRECTIONAL_LIGHT;
    bool m_enabled = false;
};
