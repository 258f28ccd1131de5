// A font drawn from outlines, sized in model units: size is the height of one em
// in the scene, whatever size the glyphs are built at.
#pragma once

#include "CZelFont.h"

#include <string>

class CZelVectorFont : public CZelFont
{
    ZEL_DECLARE_CLASS(CZelVectorFont, CZelFont)
public:
    explicit CZelVectorFont(const std::string& fontFile);

    void getSize(double& width, double& height, double& depth) override;
    virtual void doSetSize(double size) {}
    // Extents of the current string; nothing to measure here, so all 0.
    virtual void doGetSize(double& width, double& height, double& depth);

    void setSize(double size);
    double getTextSize() const { return m_size; }

private:
    double m_size = 0.0;
};
