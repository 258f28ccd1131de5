// Text rasterisation with FreeType and shelf packing.
#include "CMorTextAtlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>

namespace {

constexpr int MARGIN = 2;

// One text drawn alone: its coverage, ink and margin.
struct Drawn
{
    int width = 0, height = 0;
    std::vector<unsigned char> coverage;
};

Drawn draw(FT_Face face, const std::string& text)
{
    struct Glyph
    {
        int left, top, width, rows;
        std::vector<unsigned char> bitmap;
    };
    std::vector<Glyph> glyphs;
    int penX = 0, inkLeft = INT_MAX, inkRight = INT_MIN, inkTop = INT_MIN, inkBottom = INT_MAX;
    for (const unsigned long code : CMorTextAtlas::decode(text)) {
        if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        Glyph glyph{penX + slot->bitmap_left, slot->bitmap_top, static_cast<int>(bitmap.width),
                    static_cast<int>(bitmap.rows), {}};
        for (int y = 0; y < glyph.rows; ++y)
            for (int x = 0; x < glyph.width; ++x)
                glyph.bitmap.push_back(bitmap.buffer[y * bitmap.pitch + x]);
        if (glyph.width > 0 && glyph.rows > 0) {
            inkLeft = std::min(inkLeft, glyph.left);
            inkRight = std::max(inkRight, glyph.left + glyph.width);
            inkTop = std::max(inkTop, glyph.top);
            inkBottom = std::min(inkBottom, glyph.top - glyph.rows);
        }
        penX += static_cast<int>(slot->advance.x >> 6);
        glyphs.push_back(std::move(glyph));
    }
    Drawn drawn;
    if (inkLeft > inkRight)
        return drawn;
    drawn.width = inkRight - inkLeft + 2 * MARGIN;
    drawn.height = inkTop - inkBottom + 2 * MARGIN;
    drawn.coverage.assign(static_cast<size_t>(drawn.width) * static_cast<size_t>(drawn.height), 0);
    for (const Glyph& glyph : glyphs)
        for (int y = 0; y < glyph.rows; ++y)
            for (int x = 0; x < glyph.width; ++x) {
                const int ax = glyph.left - inkLeft + MARGIN + x;
                const int ay = inkTop - glyph.top + MARGIN + y;
                unsigned char& to = drawn.coverage[static_cast<size_t>(ay) * static_cast<size_t>(drawn.width) +
                                                   static_cast<size_t>(ax)];
                to = std::max(to, glyph.bitmap[static_cast<size_t>(y * glyph.width + x)]);
            }
    return drawn;
}

} // namespace

std::vector<unsigned long> CMorTextAtlas::decode(const std::string& text)
{
    std::vector<unsigned long> codes;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        bool valid = length > 0 && i + static_cast<size_t>(length) <= text.size();
        unsigned long code = length == 1 ? lead : lead & (0x7f >> length);
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            valid = (next & 0xc0) == 0x80;
            code = code << 6 | (next & 0x3f);
        }
        if (!valid) {
            codes.push_back(lead);
            ++i;
            continue;
        }
        codes.push_back(code);
        i += static_cast<size_t>(length);
    }
    return codes;
}

bool CMorTextAtlas::build(const std::string& fontFile, const std::vector<std::string>& texts, std::string& error)
{
    m_places.assign(texts.size(), Place());
    m_width = m_height = 0;
    m_pixels.clear();
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error = "FreeType cannot be started.";
        return false;
    }
    FT_Face face = nullptr;
    if (fontFile.empty() || FT_New_Face(library, fontFile.c_str(), 0, &face) != 0 ||
        FT_Set_Pixel_Sizes(face, 0, PIXELS_PER_EM) != 0) {
        if (face != nullptr)
            FT_Done_Face(face);
        FT_Done_FreeType(library);
        error = fontFile.empty() ? "No font for the labels was found." : "The font " + fontFile + " cannot be used.";
        return false;
    }
    std::vector<Drawn> drawn;
    for (const std::string& text : texts)
        drawn.push_back(draw(face, text));
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    // Shelves from the top, each as high as its tallest text.
    int widest = 1;
    for (const Drawn& d : drawn)
        widest = std::max(widest, std::min(d.width, LARGEST));
    m_width = std::max(widest, std::min(LARGEST, 1024));
    int x = 0, y = 0, shelf = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
        const Drawn& d = drawn[i];
        if (d.width == 0 || d.width > m_width)
            continue;
        if (x + d.width > m_width) {
            y += shelf;
            x = shelf = 0;
        }
        if (y + d.height > LARGEST)
            continue;
        m_places[i] = {x, y, d.width, d.height};
        x += d.width;
        shelf = std::max(shelf, d.height);
    }
    m_height = std::max(1, y + shelf);
    m_pixels.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 4, 255);
    for (size_t i = 3; i < m_pixels.size(); i += 4)
        m_pixels[i] = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
        const Place& place = m_places[i];
        for (int py = 0; py < place.height; ++py)
            for (int px = 0; px < place.width; ++px)
                m_pixels[((static_cast<size_t>(place.y + py)) * static_cast<size_t>(m_width) +
                          static_cast<size_t>(place.x + px)) * 4 + 3] =
                    drawn[i].coverage[static_cast<size_t>(py) * static_cast<size_t>(place.width) +
                                      static_cast<size_t>(px)];
    }
    return true;
}
