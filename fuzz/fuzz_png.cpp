// libFuzzer target: the PNG reader on arbitrary file contents.
#include "CZelPngImage.h"
#include "CZelPointer.h"
#include "fuzzImageReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CZelPointer<CZelFileImage> image(new CZelPngImage());
    return fuzzImageReader(image, data, size);
}
