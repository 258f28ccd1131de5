// Reader of PNG images of every colour type, bit depth and interlace: palette
// pictures become RGB, a transparency chunk becomes an alpha channel, and
// 16-bit samples keep their high byte.
#pragma once

#include "CZelFileImage.h"

class CZelPngImage : public CZelFileImage
{
    ZEL_DECLARE_CLASS(CZelPngImage, CZelFileImage)
public:
    // Rows arrive one by one as libpng inflates them; an interlaced picture
    // is decoded whole first.
    bool decode(const LayoutSink& layoutSink, const RowSink& rowSink) override;
};
