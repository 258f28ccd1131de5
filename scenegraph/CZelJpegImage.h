// Reader of JPEG images: grey and colour; CMYK pictures are turned into RGB.
#pragma once

#include "CZelFileImage.h"

class CZelJpegImage : public CZelFileImage
{
    ZEL_DECLARE_CLASS(CZelJpegImage, CZelFileImage)
public:
    bool readImage() override;
};
