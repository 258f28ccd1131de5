// Texts drawn with FreeType into one picture, the atlas, for textured quads:
// white glyphs whose alpha is their coverage, so that a material colours
// them. Each text's place covers its ink with a small margin, so that the
// middle of the place is the middle of the ink.
#pragma once

#include <string>
#include <vector>

class CMorTextAtlas
{
public:
    // The glyphs' em in atlas pixels.
    static constexpr int PIXELS_PER_EM = 48;
    static constexpr int LARGEST = 4096;

    struct Place
    {
        int x = 0, y = 0, width = 0, height = 0;
    };

    // Draws the texts (UTF-8) with the TrueType font file. False with error
    // set when the font cannot be used; texts that do not fit the atlas get
    // an empty place.
    bool build(const std::string& fontFile, const std::vector<std::string>& texts, std::string& error);

    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    // RGBA, top row first.
    const std::vector<unsigned char>& getPixels() const { return m_pixels; }
    const Place& getPlace(size_t text) const { return m_places.at(text); }

    // The code points of a UTF-8 text; bytes that are not UTF-8 stand for
    // themselves (Latin-1).
    static std::vector<unsigned long> decode(const std::string& text);

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<unsigned char> m_pixels;
    std::vector<Place> m_places;
};
