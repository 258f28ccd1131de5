// A pixel image in memory, bottom row first, 1 to 4 interleaved byte channels,
// with the edits the fence panels need (fill, alpha by threshold, region copy).
#pragma once

#include "CZelBase.h"

#include <GL/gl.h>

#include <cstddef>
#include <memory>

class CZelImage : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelImage, CZelBase)
public:
    CZelImage() = default;
    CZelImage(const CZelImage&) = delete;
    CZelImage& operator=(const CZelImage&) = delete;
    ~CZelImage() override = default;

    // 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA; any other count is taken as 3.
    // With a size set, the pixels are replaced by new uninitialised ones.
    void setChannels(int channels);
    // Only both positive sizes are taken; the pixels are replaced by new
    // uninitialised ones. False when the size is refused or memory is short.
    bool setSize(int width, int height);
    // Takes ownership of pixels (width x height x channels bytes, allocated
    // with new[]); the previous pixels are freed.
    void adoptPixels(int width, int height, int channels, unsigned char* pixels);

    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    int getChannels() const { return m_channels; }
    GLenum getFormat() const { return m_format; }
    // Width divided by height in integers, so 640 x 480 gives 1.0.
    double getAspect() const { return m_aspect; }
    // Borrowed; null until a size is set.
    unsigned char* getPixels() { return m_pixels.get(); }
    const unsigned char* getPixels() const { return m_pixels.get(); }
    size_t getByteCount() const;

    // Writes r, g, b into every pixel of an image with 3 or 4 channels.
    void fillColor(unsigned char r, unsigned char g, unsigned char b);
    // Writes the alpha of every pixel of a 4-channel image.
    void setAlphaValue(unsigned char a);
    // RGBA only. A pixel is below when its byte of channel 0, 1 or 2 is less
    // than the threshold, or with channel -1 when any of red, green, blue is;
    // other channel numbers act as 0. Below gets alphaBelow, the rest alphaKept.
    void setAlphaByThreshold(unsigned char threshold, int channel, unsigned char alphaKept,
                             unsigned char alphaBelow);
    // Copies red, green and blue of the source's pixels x0..x1, y0..y1
    // (inclusive) to this image at (dx, dy); pixels outside either image are
    // skipped. Both images need 3 or more channels. source is borrowed.
    void copyRegion(const CZelImage* source, int x0, int x1, int y0, int y1, int dx, int dy);
    // Keeps only the pixels x0 <= x < x1, y0 <= y < y1 (rows counted from the
    // bottom, as stored), moved within the same memory: a crop of a large
    // picture needs no second copy of it. False, and nothing changes, for a
    // rectangle that is empty or reaches outside the image.
    bool crop(int x0, int y0, int x1, int y1);

    // Bytes that width x height x channels need, or 0 when a size is not
    // positive or the count does not fit in memory addresses.
    static size_t byteCount(int width, int height, int channels);

private:
    void updateAspect();

    int m_width = -1;
    int m_height = -1;
    int m_channels = 3;
    double m_aspect = 0.0;
    std::unique_ptr<unsigned char[]> m_pixels;
    GLenum m_format = GL_RGB;
};
