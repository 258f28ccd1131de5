// A render state that switches lighting on or off while one shape draws and
// restores the previous lighting afterwards (used for unlit annotation).
#pragma once

#include "CZelRenderState.h"

class CZelLightingState : public CZelRenderState
{
    ZEL_DECLARE_CLASS(CZelLightingState, CZelRenderState)
public:
    void saveState() override;
    void applyState() override;
    void restoreState() override;

    void setLighting(bool on) { m_lighting = on; }
    bool getLighting() const { return m_lighting; }

private:
    bool m_lighting = true;
};
