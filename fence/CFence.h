// One fence of a diagram: a section image standing along its polyline or,
// when its picture is missing, the grey outline of the panel it would fill.
#pragma once

#include "CZelImagePlane.h"

class CFence : public CZelImagePlane
{
    ZEL_DECLARE_CLASS(CFence, CZelImagePlane)
public:
    // Draws the fence as the outline of a panel this high below its line
    // (top edge, bottom edge and both ends) instead of a picture. Set the
    // line first; may be called again with a new height.
    void makeOutline(double height);
    // False for a fence drawn as an outline.
    bool hasPicture() const { return !m_outline; }

    void doCreateGeometry() override;

private:
    bool m_outline = false;
};
