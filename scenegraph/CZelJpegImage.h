// Reader of JPEG images: grey and colour, baseline and progressive; CMYK
// pictures (Adobe's inverted ones too) are turned into RGB.
#pragma once

#include "CZelFileImage.h"

class CZelJpegImage : public CZelFileImage
{
    ZEL_DECLARE_CLASS(CZelJpegImage, CZelFileImage)
public:
    // Rows arrive one by one as libjpeg decodes them; a progressive picture
    // is gathered whole by the library first.
    bool decode(const LayoutSink& layoutSink, const RowSink& rowSink) override;
};
