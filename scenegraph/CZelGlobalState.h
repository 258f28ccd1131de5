// The program-wide drawing switches: materials, textures, greyscale and the
// line scale. One instance, made on first use and destroyed at program exit.
#pragma once

#include "CZelBase.h"

class CZelGlobalState : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelGlobalState, CZelBase)
public:
    // Borrowed: the instance lives until program exit.
    static CZelGlobalState* getInstance();

    void setMaterials(bool on) { m_materials = on; }
    bool getMaterials() const { return m_materials; }
    void setTextures(bool on) { m_textures = on; }
    bool getTextures() const { return m_textures; }
    void setGreyscale(bool on) { m_greyscale = on; }
    bool getGreyscale() const { return m_greyscale; }
    // Line widths are multiplied by this: 1 on the screen, n while a picture n
    // times the screen's size is drawn in tiles, so that its lines are as thick
    // as the screen's enlarged.
    void setLineScale(float scale) { m_lineScale = scale; }
    float getLineScale() const { return m_lineScale; }

private:
    bool m_materials = true;
    bool m_textures = true;
    bool m_greyscale = false;
    float m_lineScale = 1.0f;
};
