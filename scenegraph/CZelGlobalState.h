// The program-wide drawing switches: materials, textures and greyscale. One
// instance, made on first use and destroyed at program exit.
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

private:
    bool m_materials = true;
    bool m_textures = true;
    bool m_greyscale = false;
};
