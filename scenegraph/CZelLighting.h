// The program-wide set of the eight OpenGL lights, drawn once per scene pass.
// One instance, made on first use and destroyed at program exit.
#pragma once

#include "CZelLight.h"
#include "CZelPointer.h"

class CZelLighting : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelLighting, CZelBase)
public:
    static constexpr int LIGHT_COUNT = 8;

    CZelLighting();

    // Borrowed: the instance lives until program exit.
    static CZelLighting* getInstance();

    // Borrowed: the lighting keeps its lights. Null outside 0 to 7.
    CZelLight* getLight(int index) const;
    // Switches GL lighting on in the current context.
    void enable();
    void setTwoSide(bool twoSide);
    bool getTwoSide() const { return m_twoSide != 0; }
    // The global ambient colour, issued with every render.
    void setAmbient(float r, float g, float b, float a);
    void getAmbient(float& r, float& g, float& b, float& a) const;
    // Sets the parameters of every enabled light.
    void render();

private:
    CZelPointer<CZelLight> m_lights[LIGHT_COUNT];
    float m_ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    int m_twoSide = 0;
};
