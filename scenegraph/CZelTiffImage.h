// Reader of TIFF images through libtiff: strips or tiles, interleaved or
// separate planes, uncompressed, LZW, Deflate, PackBits, JPEG or (1-bit)
// CCITT; grey, RGB, palette, with alpha; the first page of a multi-page file.
#pragma once

#include "CZelFileImage.h"

class CZelTiffRowAssembler;

class CZelTiffImage : public CZelFileImage
{
    ZEL_DECLARE_CLASS(CZelTiffImage, CZelFileImage)
public:
    bool decode(const LayoutSink& layoutSink, const RowSink& rowSink) override;

private:
    // Takes each stored row, top first, as the rows of its planes (borrowed);
    // false stops the reading.
    using StoredRowSink = std::function<bool(int row, const unsigned char* const* planes)>;
    class File;
    struct Directory;

    bool readDirectory(File& file, long long fileBytes, Directory& directory);
    bool readStrips(File& file, const Directory& directory, const CZelTiffRowAssembler& assembler,
                    const StoredRowSink& sink);
    bool readTiles(File& file, const Directory& directory, const CZelTiffRowAssembler& assembler,
                   const StoredRowSink& sink);
};
