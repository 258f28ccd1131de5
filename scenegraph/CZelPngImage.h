// Reader of PNG images: grey, grey + alpha, RGB and RGBA at any bit depth,
// reduced to 8 bits per sample. Palette images are refused.
#pragma once

#include "CZelFileImage.h"

class CZelPngImage : public CZelFileImage
{
    ZEL_DECLARE_CLASS(CZelPngImage, CZelFileImage)
public:
    bool readImage() override;
};
