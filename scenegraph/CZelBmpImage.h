// Reader of Windows and OS/2 bitmaps: 1, 4 and 8 bits with a palette, 16, 24
// and 32 bits direct, uncompressed, with bit fields or run-length encoded.
// Every size and index read from the file is checked before it is used; rows
// are read from the file as they are delivered, never all at once.
#pragma once

#include "CZelFileImage.h"

#include <cstdint>
#include <cstdio>
#include <vector>

class CZelBmpImage : public CZelFileImage
{
    ZEL_DECLARE_CLASS(CZelBmpImage, CZelFileImage)
public:
    bool decode(const LayoutSink& layoutSink, const RowSink& rowSink) override;

private:
    // What the headers say, once checked.
    struct Header
    {
        int width = 0;
        int height = 0;
        bool topDown = false;
        int bits = 0;
        uint32_t compression = 0;
        uint32_t masks[4] = {0, 0, 0, 0};
        bool hasMasks = false;
        bool core = false;
        // Blue, green, red entries of 3 (core) or 4 bytes.
        std::vector<unsigned char> palette;
        size_t paletteEntries = 0;
        size_t pixelStart = 0;
        size_t stride = 0;
        int channels = 0;
    };

    // head holds the first bytes of a file of fileBytes bytes: at least all
    // of its headers, masks and palette when the file has them.
    bool readHeader(const std::vector<unsigned char>& head, long long fileBytes, Header& header);
    // file is borrowed.
    bool decodeRows(FILE* file, const Header& header, const RowSink& rowSink);
    bool decodeRunLengths(FILE* file, long long fileBytes, const Header& header, const RowSink& rowSink);
    // Whether any pixel of a 32-bit file has an alpha other than 0.
    bool findAlpha(FILE* file, const Header& header, bool& found);
    // Rows read at a time from an uncompressed file.
    static int bandRowsOf(const Header& header);
    // Palette indices to red, green, blue; false for an index beyond the palette.
    bool indicesToColours(const Header& header, const unsigned char* indices, unsigned char* out);
};
