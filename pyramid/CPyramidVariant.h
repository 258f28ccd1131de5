// How white is left out of a picture's tiles: which pixels are drawn, and the
// texture pixels of a tile made from that. A pixel the picture makes
// transparent (alpha below half) is never drawn; with remove white on,
// neither is one whose red, green and blue all lie within the tolerance of
// 255.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

class CPyramidVariant
{
public:
    // Tolerances are taken within 0..253.
    CPyramidVariant(bool removeWhite = true, int tolerance = 0);

    bool getRemoveWhite() const { return m_removeWhite; }
    int getTolerance() const { return m_tolerance; }
    bool operator==(const CPyramidVariant& other) const
    {
        return m_removeWhite == other.m_removeWhite && (!m_removeWhite || m_tolerance == other.m_tolerance);
    }
    bool operator!=(const CPyramidVariant& other) const { return !(*this == other); }
    // A short name for file names and keys: "keep" or "w" and the tolerance.
    std::string getName() const;

    bool isDrawn(unsigned char r, unsigned char g, unsigned char b, unsigned char a) const
    {
        return a >= 128 && (!m_removeWhite || 255 - std::min(r, std::min(g, b)) > m_tolerance);
    }

    // Makes texture pixels (RGBA, alpha 255 drawn, 0 not) of a full-
    // resolution tile of size x size pixels with channels 3 or 4 (borrowed,
    // size x size x channels bytes) into rgba (size x size x 4 bytes).
    void makeTexture(const unsigned char* tile, int channels, int size, unsigned char* rgba) const;
    // Gives every texel with alpha 0 the mean colour of its drawn neighbours
    // (left, right, up, down), when it has any, so that filtering across the
    // edge of what is drawn never blends in the colour of what is not.
    static void fillEdges(unsigned char* rgba, int size);

private:
    bool m_removeWhite;
    int m_tolerance;
};
