// Pixel storage and in-memory edits of an image.
#include "CZelImage.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

GLenum formatFor(int channels)
{
    switch (channels) {
    case 1:
        return GL_LUMINANCE;
    case 2:
        return GL_LUMINANCE_ALPHA;
    case 4:
        return GL_RGBA;
    default:
        return GL_RGB;
    }
}

} // namespace

size_t CZelImage::byteCount(int width, int height, int channels)
{
    if (width <= 0 || height <= 0 || channels <= 0)
        return 0;
    size_t pixels = 0;
    size_t bytes = 0;
    if (__builtin_mul_overflow(static_cast<size_t>(width), static_cast<size_t>(height), &pixels) ||
        __builtin_mul_overflow(pixels, static_cast<size_t>(channels), &bytes))
        return 0;
    return bytes;
}

size_t CZelImage::getByteCount() const
{
    return m_pixels ? byteCount(m_width, m_height, m_channels) : 0;
}

void CZelImage::setChannels(int channels)
{
    // A count outside 1..4 would leave a buffer shorter than its GL format reads.
    m_channels = (channels >= 1 && channels <= 4) ? channels : 3;
    m_format = formatFor(m_channels);
    if (m_width > 0 && m_height > 0)
        setSize(m_width, m_height);
}

bool CZelImage::setSize(int width, int height)
{
    const size_t bytes = byteCount(width, height, m_channels);
    if (bytes == 0)
        return false;
    unsigned char* pixels = new (std::nothrow) unsigned char[bytes];
    if (!pixels)
        return false;
    m_width = width;
    m_height = height;
    m_pixels.reset(pixels);
    updateAspect();
    return true;
}

void CZelImage::adoptPixels(int width, int height, int channels, unsigned char* pixels)
{
    m_channels = (channels >= 1 && channels <= 4) ? channels : 3;
    m_format = formatFor(m_channels);
    m_width = width;
    m_height = height;
    m_pixels.reset(pixels);
    updateAspect();
}

bool CZelImage::crop(int x0, int y0, int x1, int y1)
{
    if (!m_pixels || x0 < 0 || y0 < 0 || x1 > m_width || y1 > m_height || x0 >= x1 || y0 >= y1)
        return false;
    const size_t pixel = static_cast<size_t>(m_channels);
    const size_t sourceRow = static_cast<size_t>(m_width) * pixel;
    const size_t row = static_cast<size_t>(x1 - x0) * pixel;
    unsigned char* pixels = m_pixels.get();
    // Each row moves to a place at or before its own, so none is overwritten
    // before it has moved.
    for (int y = y0; y < y1; ++y)
        std::memmove(pixels + static_cast<size_t>(y - y0) * row,
                     pixels + static_cast<size_t>(y) * sourceRow + static_cast<size_t>(x0) * pixel, row);
    m_width = x1 - x0;
    m_height = y1 - y0;
    updateAspect();
    return true;
}

void CZelImage::updateAspect()
{
    m_aspect = static_cast<double>(m_width / m_height);
}

void CZelImage::fillColor(unsigned char r, unsigned char g, unsigned char b)
{
    if (m_channels < 3)
        return;
    unsigned char* p = m_pixels.get();
    unsigned char* end = p + getByteCount();
    for (; p < end; p += m_channels) {
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
}

void CZelImage::setAlphaValue(unsigned char a)
{
    if (m_channels != 4)
        return;
    unsigned char* p = m_pixels.get();
    unsigned char* end = p + getByteCount();
    for (; p < end; p += 4)
        p[3] = a;
}

void CZelImage::setAlphaByThreshold(unsigned char threshold, int channel, unsigned char alphaKept,
                                    unsigned char alphaBelow)
{
    if (m_channels <= 3)
        return;
    if (channel != -1 && (channel < 0 || channel > 2))
        channel = 0;
    unsigned char* p = m_pixels.get();
    unsigned char* end = p + getByteCount();
    for (; p < end; p += m_channels) {
        bool below;
        if (channel == -1)
            below = p[0] < threshold || p[1] < threshold || p[2] < threshold;
        else
            below = p[channel] < threshold;
        p[3] = below ? alphaBelow : alphaKept;
    }
}

void CZelImage::copyRegion(const CZelImage* source, int x0, int x1, int y0, int y1, int dx, int dy)
{
    if (!source || !source->m_pixels || !m_pixels || source->m_channels < 3 || m_channels < 3)
        return;
    // Clamp both ranges to the pixels that exist in source and target, in 64
    // bits so that extreme arguments neither overflow nor loop for ever.
    const long long xLo = std::max({static_cast<long long>(x0), 0LL, static_cast<long long>(x0) - dx});
    const long long xHi = std::min({static_cast<long long>(x1), source->m_width - 1LL,
                                    m_width - 1LL + x0 - static_cast<long long>(dx)});
    const long long yLo = std::max({static_cast<long long>(y0), 0LL, static_cast<long long>(y0) - dy});
    const long long yHi = std::min({static_cast<long long>(y1), source->m_height - 1LL,
                                    m_height - 1LL + y0 - static_cast<long long>(dy)});
    const int sc = source->m_channels;
    for (long long y = yLo; y <= yHi; ++y) {
        const long long ty = dy + y - y0;
        for (long long x = xLo; x <= xHi; ++x) {
            const long long tx = dx + x - x0;
            const unsigned char* s = source->m_pixels.get() + (y * source->m_width + x) * sc;
            unsigned char* t = m_pixels.get() + (ty * m_width + tx) * m_channels;
            t[0] = s[0];
            t[1] = s[1];
            t[2] = s[2];
        }
    }
}
