// The picture format of the clipboard copy and of the export's temporary files:
// a 40-byte info header followed by 24-bit pixels, rows bottom to top, bytes
// blue, green, red. The width is a multiple of 4, so rows need no padding.
#pragma once

#include <string>
#include <vector>

class CMorPackedBitmap
{
public:
    enum { HEADER_SIZE = 40 };

    // The widest packable width not above width: width rounded down to a
    // multiple of 4.
    static int packedWidth(int width) { return width > 0 ? width - width % 4 : 0; }

    // Copies width x height RGB pixels, bottom row first (as GL reads them);
    // rgb stays the caller's.
    // False, leaving the bitmap empty, unless width is a positive multiple of 4
    // and height positive.
    bool setPixels(const unsigned char* rgb, int width, int height);

    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    bool isEmpty() const { return m_bytes.empty(); }
    // Header and pixels, exactly as written to files and the clipboard.
    const std::vector<unsigned char>& getBytes() const { return m_bytes; }
    // Row y (0 at the bottom): getWidth() pixels in blue, green, red; points
    // into the bitmap, valid until it changes.
    const unsigned char* getRow(int y) const;
    // RGB pixels with the top row first, the order of the toolkit's images.
    std::vector<unsigned char> getTopDownRGB() const;
    // The bitmap as a BMP file holds it: the 14-byte file header, then the
    // bytes above. Empty for an empty bitmap.
    std::vector<unsigned char> getFileBytes() const;

    // Creates or replaces the file, whole or not at all; false with a
    // sentence in error.
    bool writeFile(const std::string& path, std::string& error) const;
    // Reads a file in this layout (as writeFile makes it); anything else is
    // refused with a sentence in error.
    bool readFile(const std::string& path, std::string& error);

private:
    std::vector<unsigned char> m_bytes;
    int m_width = 0;
    int m_height = 0;
};
