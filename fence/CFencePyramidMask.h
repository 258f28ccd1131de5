// Which pixels of a fence's picture are drawn, asked of its pyramid's
// full-resolution tiles (read back from the tile cache when they have gone),
// judged as the pyramid's coarse levels judge them.
#pragma once

#include "CFencePixelMask.h"
#include "CPyramid.h"

#include <memory>

class CFencePyramidMask : public CFencePixelMask
{
    ZEL_DECLARE_CLASS(CFencePyramidMask, CFencePixelMask)
public:
    // Shares the pyramid.
    explicit CFencePyramidMask(std::shared_ptr<CPyramid> pyramid);

    int getWidth() const override;
    int getHeight() const override;
    // A pixel whose tile cannot be read counts as drawn: the picture stands
    // there, only its pixel cannot be told.
    bool isDrawn(int column, int row, bool removeWhite, int tolerance) const override;

private:
    std::shared_ptr<CPyramid> m_pyramid;
};
