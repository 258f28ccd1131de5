// Reader of Windows and OS/2 bitmaps: 1, 4 and 8 bits with a palette, 16, 24
// and 32 bits direct, uncompressed or with bit fields. Every size and index
// read from the file is checked against the file before it is used.
#pragma once

#include "CZelFileImage.h"

#include <cstdint>
#include <vector>

class CZelBmpImage : public CZelFileImage
{
    ZEL_DECLARE_CLASS(CZelBmpImage, CZelFileImage)
public:
    bool readImage() override;

private:
    // What the headers say, once checked.
    struct Layout
    {
        int width = 0;
        int height = 0;
        bool topDown = false;
        int bits = 0;
        uint32_t masks[4] = {0, 0, 0, 0};
        bool hasMasks = false;
        bool core = false;
        size_t palette = 0;
        size_t paletteEntries = 0;
        size_t pixelStart = 0;
        size_t stride = 0;
        int channels = 0;
    };

    bool readLayout(const std::vector<unsigned char>& file, Layout& layout);
    bool decode(const std::vector<unsigned char>& file, const Layout& layout, unsigned char* pixels);
};
