// Common part of the file readers: keeping or reducing the decoded rows.
#include "CZelFileImage.h"

#include "CZelBoxReducer.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

// 256 MiB of sums: far wider than any scan.
constexpr long long MAX_REDUCED_ROW_SAMPLES = 1LL << 25;

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
    Layout layout;
    bool told = false;
    int factor = 1;
    std::unique_ptr<CZelBoxReducer> reducer;

    const LayoutSink takeLayout = [&](const Layout& fileLayout) {
        layout = fileLayout;
        if (layout.width <= 0 || layout.height <= 0 || layout.channels < 1 || layout.channels > 4)
            return fail("Cannot read image " + m_fileName + ": invalid size or channel count");
        if (exceedsLimits(layout.width, layout.height, layout.channels)) {
            // Only a picture that arrives row by row can be reduced without
            // holding it whole first.
            if (!layout.rowByRow)
                return failTooLarge(layout.width, layout.height, layout.channels);
            factor = reductionFactor(layout.width, layout.height, layout.channels);
            // The reduction sums a row of boxes in 8 bytes a channel: a
            // picture claiming an absurd width is refused before that row is.
            if (static_cast<long long>(CZelBoxReducer::reducedSize(layout.width, factor)) * layout.channels >
                MAX_REDUCED_ROW_SAMPLES)
                return failTooLarge(layout.width, layout.height, layout.channels);
        }
        m_sourceWidth = layout.width;
        m_sourceHeight = layout.height;
        Layout kept = layout;
        kept.width = CZelBoxReducer::reducedSize(layout.width, factor);
        kept.height = CZelBoxReducer::reducedSize(layout.height, factor);
        if (!layoutSink(kept))
            return false;
        if (factor > 1)
            reducer.reset(new CZelBoxReducer(layout.width, layout.height, layout.channels, factor, rowSink));
        told = true;
        return true;
    };
    const RowSink takeRow = [&](int rowFromTop, const unsigned char* row) {
        return reducer ? reducer->addRow(rowFromTop, row) : rowSink(rowFromTop, row);
    };
    if (!decode(takeLayout, takeRow) || (reducer && !reducer->finish())) {
        if (m_errorMessage.empty())
            fail("Cannot read image " + m_fileName);
        return false;
    }
    if (!told)
        return fail("Cannot read image " + m_fileName + ": the file holds no picture");
    if (reducer)
        addNotice("Image " + m_fileName + " is " + std::to_string(layout.width) + " x " +
                  std::to_string(layout.height) + "; shown reduced to " +
                  std::to_string(CZelBoxReducer::reducedSize(layout.width, factor)) + " x " +
                  std::to_string(CZelBoxReducer::reducedSize(layout.height, factor)) + ".");
    return true;
}

bool CZelFileImage::readImage()
{
    Layout kept;
    std::unique_ptr<unsigned char[]> pixels;
    const LayoutSink takeLayout = [&](const Layout& layout) {
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

int CZelFileImage::reductionFactor(long long width, long long height, int channels)
{
    int factor = 1;
    while (exceedsLimits((width + factor - 1) / factor, (height + factor - 1) / factor, channels))
        ++factor;
    return factor;
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
