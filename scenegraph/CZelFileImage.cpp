// Common part of the file readers.
#include "CZelFileImage.h"

#include <cmath>
#include <cstdio>

namespace {

std::string formatMebibytes(double mebibytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", mebibytes);
    return text;
}

} // namespace

bool CZelFileImage::readImage()
{
    return fail("No reader for this kind of image: " + m_fileName);
}

bool CZelFileImage::exceedsLimits(long long width, long long height, int channels)
{
    if (width <= 0 || height <= 0)
        return false;
    if (width > MAX_PIXELS || height > MAX_PIXELS)
        return true;
    // Both factors are at most 2^28 now, so the products fit.
    const long long pixels = width * height;
    return pixels > MAX_PIXELS || pixels * channels > MAX_BYTES;
}

bool CZelFileImage::failTooLarge(long long width, long long height, int channels)
{
    m_tooLarge = true;
    const double mebibytes = std::ceil(static_cast<double>(width) * static_cast<double>(height) * channels / (1 << 20));
    return fail("Image " + m_fileName + " is too large: " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels would need " + formatMebibytes(mebibytes) + " MiB. Pictures may have at most " +
                std::to_string(MAX_PIXELS) + " pixels (16384 x 16384) and 1024 MiB.");
}

bool CZelFileImage::fail(const std::string& message)
{
    m_errorMessage = message;
    return false;
}

long long CZelFileImage::fileSize(FILE* file)
{
    if (fseeko(file, 0, SEEK_END) != 0)
        return -1;
    const long long size = static_cast<long long>(ftello(file));
    if (fseeko(file, 0, SEEK_SET) != 0)
        return -1;
    return size;
}
