// Unlit lines from indexed coordinates, two index entries per line, in the
// own material's colour or in per-vertex colours.
#pragma once

#include "CZelGLPrimitive.h"

class CZelLineSet : public CZelGLPrimitive
{
    ZEL_DECLARE_CLASS(CZelLineSet, CZelGLPrimitive)
public:
    void doCreateGeometry() override;

    // In screen pixels; drawn times the line scale of CZelGlobalState.
    void setLineWidth(float width) { m_lineWidth = width; }
    float getLineWidth() const { return m_lineWidth; }
    // With per-vertex colours: use their alpha too.
    void setUseAlpha(bool use) { m_useAlpha = use; }

private:
    float m_lineWidth = 1.0f;
    bool m_useAlpha = false;
};
