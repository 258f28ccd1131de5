// Which pixels of a fence's picture are drawn, for pointing at the picture
// after its pixels have gone to GL: the same judgement the drawing's alpha
// test makes, asked of whatever keeps a record of the picture's pixels.
#pragma once

#include "CZelBase.h"

class CFencePixelMask : public CZelBase
{
    ZEL_DECLARE_CLASS(CFencePixelMask, CZelBase)
public:
    // The resolution the mask answers in; it covers the whole picture the
    // panel shows (the crop, when the fence has one).
    virtual int getWidth() const = 0;
    virtual int getHeight() const = 0;
    // Whether pixel (column, row), rows from the top, is drawn with remove
    // white on or off and this white tolerance: never for the picture's own
    // transparent pixels, not for white (or within the tolerance of white)
    // while remove white is on. Outside the picture: false.
    virtual bool isDrawn(int column, int row, bool removeWhite, int tolerance) const = 0;
};
