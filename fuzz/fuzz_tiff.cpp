// libFuzzer target: the TIFF reader on arbitrary file contents.
#include "CZelPointer.h"
#include "CZelTiffImage.h"
#include "fuzzImageReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CZelPointer<CZelFileImage> image(new CZelTiffImage());
    return fuzzImageReader(image, data, size);
}
