// Shared body of the image-reader fuzz targets.
#include "fuzzImageReader.h"

#include "CFuzzInput.h"
#include "CZelFileImage.h"

#include <cstdlib>

int fuzzImageReader(CZelFileImage* image, const uint8_t* data, size_t size)
{
    static CFuzzInput input;
    image->setFileName(input.write(data, size));
    if (!image->readImage()) {
        if (image->getErrorMessage().empty() || image->getPixels() != nullptr)
            std::abort();
        return 0;
    }
    const size_t bytes = image->getByteCount();
    if (bytes == 0 || bytes != CZelImage::byteCount(image->getWidth(), image->getHeight(), image->getChannels()))
        std::abort();
    // Reads every byte, so that a buffer shorter than its size is caught.
    const unsigned char* pixels = image->getPixels();
    unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i)
        sum += pixels[i];
    static volatile unsigned sink;
    sink = sum;
    return 0;
}
