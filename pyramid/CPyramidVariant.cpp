// Drawn pixels and texture pixels of a tile.
#include "CPyramidVariant.h"

#include <vector>

namespace {

constexpr int LARGEST_TOLERANCE = 253;

} // namespace

CPyramidVariant::CPyramidVariant(bool removeWhite, int tolerance)
    : m_removeWhite(removeWhite), m_tolerance(std::max(0, std::min(LARGEST_TOLERANCE, tolerance)))
{
}

std::string CPyramidVariant::getName() const
{
    return m_removeWhite ? "w" + std::to_string(m_tolerance) : "keep";
}

void CPyramidVariant::makeTexture(const unsigned char* tile, int channels, int size, unsigned char* rgba) const
{
    const size_t count = static_cast<size_t>(size) * static_cast<size_t>(size);
    for (size_t i = 0; i < count; ++i, tile += channels, rgba += 4) {
        const unsigned char a = channels == 4 ? tile[3] : 255;
        rgba[0] = tile[0];
        rgba[1] = tile[1];
        rgba[2] = tile[2];
        rgba[3] = isDrawn(tile[0], tile[1], tile[2], a) ? 255 : 0;
    }
    fillEdges(rgba - count * 4, size);
}

void CPyramidVariant::fillEdges(unsigned char* rgba, int size)
{
    // The colours come from the unfilled tile, so that a fill never spreads
    // further than one texel.
    struct Fill
    {
        size_t at;
        unsigned char rgb[3];
    };
    std::vector<Fill> fills;
    const size_t stride = static_cast<size_t>(size) * 4;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const size_t at = static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 4;
            if (rgba[at + 3] != 0)
                continue;
            int sum[3] = {0, 0, 0};
            int count = 0;
            const int neighbours[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : neighbours) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= size || n[1] >= size)
                    continue;
                const unsigned char* q = rgba + static_cast<size_t>(n[1]) * stride + static_cast<size_t>(n[0]) * 4;
                if (q[3] == 0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    sum[c] += q[c];
                ++count;
            }
            if (count == 0)
                continue;
            Fill fill{at, {0, 0, 0}};
            for (int c = 0; c < 3; ++c)
                fill.rgb[c] = static_cast<unsigned char>((sum[c] + count / 2) / count);
            fills.push_back(fill);
        }
    for (const Fill& fill : fills)
        for (int c = 0; c < 3; ++c)
            rgba[fill.at + static_cast<size_t>(c)] = fill.rgb[c];
}
