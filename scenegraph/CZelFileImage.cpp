// Common part of the file readers: handing on or keeping the decoded rows.
#include "CZelFileImage.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

std::string formatMebibytes(double mebibytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", mebibytes);
    return text;
}

} // namespace

bool CZelFileImage::decode(const LayoutSink&, const RowSink&)
{
    return fail("No reader for this kind of image: " + m_fileName);
}

bool CZelFileImage::readRows(const LayoutSink& layoutSink, const RowSink& rowSink)
{
    clearError();
    m_notice.clear();
    bool told = false;
    const LayoutSink takeLayout = [&](const Layout& layout) {
        if (layout.width <= 0 || layout.height <= 0 || layout.channels < 1 || layout.channels > 4)
            return fail("Cannot read image " + m_fileName + ": invalid size or channel count");
        // A picture that does not arrive row by row is held whole by its
        // decoder before its first row.
        if (!layout.rowByRow && exceedsLimits(layout.width, layout.height, layout.channels))
            return failTooLarge(layout.width, layout.height, layout.channels);
        m_sourceWidth = layout.width;
        m_sourceHeight = layout.height;
        if (!layoutSink(layout))
            return false;
        told = true;
        return true;
    };
    if (!decode(takeLayout, rowSink)) {
        if (m_errorMessage.empty())
            fail("Cannot read image " + m_fileName);
        return false;
    }
    if (!told)
        return fail("Cannot read image " + m_fileName + ": the file holds no picture");
    return true;
}

bool CZelFileImage::readImage()
{
    Layout kept;
    std::unique_ptr<unsigned char[]> pixels;
    const LayoutSink takeLayout = [&](const Layout& layout) {
        if (exceedsLimits(layout.width, layout.height, layout.channels))
            return failTooLarge(layout.width, layout.height, layout.channels);
        kept = layout;
        return true;
    };
    // The pixels are taken at the first row, so that a reader may still
    // refuse a file it has told the layout of (one whose data cannot hold
    // the picture it claims) before anything of that size is allocated.
    const RowSink takeRow = [&](int rowFromTop, const unsigned char* row) {
        if (!pixels) {
            const size_t bytes = byteCount(kept.width, kept.height, kept.channels);
            pixels.reset(bytes ? new (std::nothrow) unsigned char[bytes] : nullptr);
            if (!pixels)
                return fail("Cannot read image " + m_fileName + ": not enough memory for " +
                            std::to_string(kept.width) + " x " + std::to_string(kept.height) + " pixels");
        }
        if (rowFromTop >= 0 && rowFromTop < kept.height) {
            const size_t stride = static_cast<size_t>(kept.width) * static_cast<size_t>(kept.channels);
            std::memcpy(pixels.get() + static_cast<size_t>(kept.height - 1 - rowFromTop) * stride, row, stride);
        }
        return true;
    };
    if (!readRows(takeLayout, takeRow))
        return false;
    if (!pixels)
        return fail("Cannot read image " + m_fileName + ": the file holds no picture");
    adoptPixels(kept.width, kept.height, kept.channels, pixels.release());
    return true;
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

void CZelFileImage::addNotice(const std::string& sentence)
{
    if (!m_notice.empty())
        m_notice += ' ';
    m_notice += sentence;
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
