// libFuzzer target: the BMP reader on arbitrary file contents.
#include "CZelBmpImage.h"
#include "CZelPointer.h"
#include "fuzzImageReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CZelPointer<CZelFileImage> image(new CZelBmpImage());
    return fuzzImageReader(image, data, size);
}
