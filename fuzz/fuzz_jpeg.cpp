// libFuzzer target: the JPEG reader on arbitrary file contents.
#include "CZelJpegImage.h"
#include "CZelPointer.h"
#include "fuzzImageReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CZelPointer<CZelFileImage> image(new CZelJpegImage());
    return fuzzImageReader(image, data, size);
}
