// Streaming construction of the pyramid's levels.
#include "CPyramidBuilder.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int TILE = CPyramidLayout::TILE;

size_t tileBytes(int channels)
{
    return static_cast<size_t>(TILE) * TILE * static_cast<size_t>(channels);
}

} // namespace

CPyramidBuilder::CPyramidBuilder(const CPyramidLayout& layout, int channels, const CPyramidVariant& variant,
                                 bool coarseOnly, TileSink sink)
    : m_layout(layout), m_channels(channels), m_storedChannels(storedChannels(channels)), m_variant(variant),
      m_coarseOnly(coarseOnly), m_sink(std::move(sink)), m_bands(static_cast<size_t>(layout.getLevelCount())),
      m_pending(static_cast<size_t>(layout.getLevelCount()))
{
    for (int level = 0; level < layout.getLevelCount(); ++level) {
        Band& band = m_bands[static_cast<size_t>(level)];
        band.channels = level == 0 ? m_storedChannels : 4;
        band.pixels.resize(tileBytes(band.channels) * static_cast<size_t>(layout.getColumns(level)));
        if (level > 0) {
            Pending& pending = m_pending[static_cast<size_t>(level)];
            pending.sums.assign(static_cast<size_t>(layout.getLevelWidth(level)), Sum{0, 0, 0, 0});
            pending.done.assign(pending.sums.size(), Sum{0, 0, 0, 0});
        }
    }
}

int64_t CPyramidBuilder::bandBytes(int width)
{
    // Level 0's band, the coarser bands (half of it together, in RGBA) and
    // two rows of sums a level.
    const int64_t columns = (static_cast<int64_t>(width) + TILE - 1) / TILE;
    return columns * TILE * TILE * 4 * 2 + static_cast<int64_t>(width) * static_cast<int64_t>(sizeof(Sum)) * 2;
}

unsigned char* CPyramidBuilder::bandRow(int level, int y)
{
    Band& band = m_bands[static_cast<size_t>(level)];
    const int index = y / TILE;
    if (band.index != index) {
        band.index = index;
        band.filled = 0;
    }
    return band.pixels.data() + static_cast<size_t>(y % TILE) * TILE * static_cast<size_t>(band.channels);
}

bool CPyramidBuilder::addRow(int y, const unsigned char* row)
{
    if (y < 0 || y >= m_layout.getHeight())
        return true;
    // Pairs of rows make the coarser rows: they must come next to each other.
    if (m_lastRow >= 0) {
        const int direction = y > m_lastRow ? 1 : -1;
        if (y - m_lastRow != direction || (m_direction != 0 && direction != m_direction))
            return false;
        m_direction = direction;
    }
    m_lastRow = y;
    ++m_rowsIn;

    // Level 0's band holds each tile's pixels together: a row goes there in
    // runs of a tile's width.
    const int width = m_layout.getWidth();
    const int in = m_channels;
    const int stored = m_storedChannels;
    const size_t tileStride = tileBytes(stored);
    unsigned char* band = bandRow(0, y);
    const bool coarse = m_layout.getLevelCount() > 1;
    if (coarse)
        startSums(1, y);
    Sum* sums = coarse ? m_pending[1].sums.data() : nullptr;
    // A pixel is drawn when its darkest channel lies below this and its
    // alpha is at least half.
    const int below = m_variant.getRemoveWhite() ? 255 - m_variant.getTolerance() : 256;
    for (int start = 0; start < width; start += TILE) {
        const int end = std::min(width, start + TILE);
        unsigned char* out = band + static_cast<size_t>(start / TILE) * tileStride;
        if (in == 3) {
            // Pixels in pairs, as they sum into one texel above (tiles are
            // of even width, so a pair never straddles two of them).
            int x = start;
            for (; x + 1 < end; x += 2, row += 6, out += 6) {
                std::memcpy(out, row, 6);
                if (sums == nullptr)
                    continue;
                const uint32_t d0 = std::min(row[0], std::min(row[1], row[2])) < below ? 1 : 0;
                const uint32_t d1 = std::min(row[3], std::min(row[4], row[5])) < below ? 1 : 0;
                Sum& sum = sums[x >> 1];
                sum.r += row[0] * d0 + row[3] * d1;
                sum.g += row[1] * d0 + row[4] * d1;
                sum.b += row[2] * d0 + row[5] * d1;
                sum.drawn += d0 + d1;
            }
            for (; x < end; ++x, row += 3, out += 3) {
                std::memcpy(out, row, 3);
                if (sums == nullptr)
                    continue;
                const uint32_t drawn = std::min(row[0], std::min(row[1], row[2])) < below ? 1 : 0;
                Sum& sum = sums[x >> 1];
                sum.r += row[0] * drawn;
                sum.g += row[1] * drawn;
                sum.b += row[2] * drawn;
                sum.drawn += drawn;
            }
            continue;
        }
        const bool grey = in < 3;
        const bool alpha = in == 2 || in == 4;
        for (int x = start; x < end; ++x, row += in, out += stored) {
            const unsigned char r = row[0];
            const unsigned char g = grey ? r : row[1];
            const unsigned char b = grey ? r : row[2];
            const unsigned char a = alpha ? (row[in - 1] >= 128 ? 255 : 0) : 255;
            out[0] = r;
            out[1] = g;
            out[2] = b;
            if (stored == 4)
                out[3] = a;
            if (sums != nullptr) {
                const uint64_t drawn = a != 0 && std::min(r, std::min(g, b)) < below ? 1 : 0;
                Sum& sum = sums[x >> 1];
                sum.r += r * drawn;
                sum.g += g * drawn;
                sum.b += b * drawn;
                sum.drawn += drawn;
            }
        }
    }
    if (!m_coarseOnly && !finishBandRow(0))
        return false;
    return !coarse || finishSums(1, y);
}

void CPyramidBuilder::startSums(int level, int y)
{
    Pending& pending = m_pending[static_cast<size_t>(level)];
    const int target = y / 2;
    if (pending.target != target) {
        pending.target = target;
        pending.count = 0;
    }
}

bool CPyramidBuilder::finishSums(int level, int y)
{
    Pending& pending = m_pending[static_cast<size_t>(level)];
    const int expected = 2 * (y / 2) + 1 < m_layout.getLevelHeight(level - 1) ? 2 : 1;
    if (++pending.count < expected)
        return true;

    // The row is complete: its texels, then its sums one level up.
    const int target = pending.target;
    const int width = m_layout.getLevelWidth(level);
    const uint32_t rows = static_cast<uint32_t>(
        std::min(1 << level, m_layout.getHeight() - (target << level)));
    unsigned char* band = bandRow(level, target);
    const size_t tileStride = tileBytes(4);
    // The full-resolution pixels under a texel; fewer under the last one.
    const uint64_t fullTotal = static_cast<uint64_t>(1 << level) * rows;
    const uint64_t lastTotal =
        static_cast<uint64_t>(m_layout.getWidth() - ((width - 1) << level)) * rows;
    // Inside the picture a texel covers a power of two of pixels: when all
    // of them are drawn, a shift divides.
    const bool square = rows == (1u << level);
    const int shift = 2 * level;
    const uint64_t roundUp = fullTotal / 2;
    for (int x = 0; x < width; ++x) {
        const Sum& sum = pending.sums[static_cast<size_t>(x)];
        unsigned char* out = band + static_cast<size_t>(x / TILE) * tileStride + static_cast<size_t>(x % TILE) * 4;
        const uint64_t total = x + 1 < width ? fullTotal : lastTotal;
        if (square && sum.drawn == fullTotal) {
            out[0] = static_cast<unsigned char>((sum.r + roundUp) >> shift);
            out[1] = static_cast<unsigned char>((sum.g + roundUp) >> shift);
            out[2] = static_cast<unsigned char>((sum.b + roundUp) >> shift);
        } else if (sum.drawn > 0) {
            // Integer division by a double reciprocal, at a fraction of its
            // cost: a quotient of at most 256 is off by less than 1e-13, and
            // one that is not whole lies at least 1 / drawn below the next
            // whole number, so a nudge of 1e-12 rounds every one right.
            const double half = static_cast<double>(sum.drawn / 2) + 1e-12 * static_cast<double>(sum.drawn);
            const double reciprocal = 1.0 / static_cast<double>(sum.drawn);
            out[0] = static_cast<unsigned char>((static_cast<double>(sum.r) + half) * reciprocal);
            out[1] = static_cast<unsigned char>((static_cast<double>(sum.g) + half) * reciprocal);
            out[2] = static_cast<unsigned char>((static_cast<double>(sum.b) + half) * reciprocal);
        } else {
            out[0] = out[1] = out[2] = 0;
        }
        out[3] = sum.drawn > 0 && 2 * sum.drawn >= total ? 255 : 0;
    }
    if (!finishBandRow(level))
        return false;
    pending.done.swap(pending.sums);
    std::fill(pending.sums.begin(), pending.sums.end(), Sum{0, 0, 0, 0});
    pending.target = -1;
    pending.count = 0;
    if (level + 1 >= m_layout.getLevelCount())
        return true;
    startSums(level + 1, target);
    Sum* up = m_pending[static_cast<size_t>(level + 1)].sums.data();
    for (int x = 0; x < width; ++x) {
        const Sum& from = pending.done[static_cast<size_t>(x)];
        Sum& into = up[x >> 1];
        into.r += from.r;
        into.g += from.g;
        into.b += from.b;
        into.drawn += from.drawn;
    }
    return finishSums(level + 1, target);
}

bool CPyramidBuilder::finishBandRow(int level)
{
    Band& band = m_bands[static_cast<size_t>(level)];
    if (++band.filled < m_layout.getTileHeight(level, band.index))
        return true;
    const int channels = band.channels;
    const int height = band.filled;
    const size_t tileRow = static_cast<size_t>(TILE) * static_cast<size_t>(channels);
    for (int column = 0; column < m_layout.getColumns(level); ++column) {
        unsigned char* tile = band.pixels.data() + tileBytes(channels) * static_cast<size_t>(column);
        const int width = m_layout.getTileWidth(level, column);
        // Beyond the picture, the tile repeats its last column and row. Rows
        // from the bottom up fill the tile's top rows first: its last row is
        // always the picture's.
        if (width < TILE)
            for (int y = 0; y < height; ++y) {
                unsigned char* line = tile + tileRow * static_cast<size_t>(y);
                for (int x = width; x < TILE; ++x)
                    std::memcpy(line + static_cast<size_t>(x) * channels,
                                line + static_cast<size_t>(width - 1) * channels, static_cast<size_t>(channels));
            }
        for (int y = height; y < TILE; ++y)
            std::memcpy(tile + tileRow * static_cast<size_t>(y), tile + tileRow * static_cast<size_t>(height - 1),
                        tileRow);
        if (level > 0)
            CPyramidVariant::fillEdges(tile, TILE);
        if (!m_sink(level, band.index, column, channels, tile))
            return false;
    }
    band.filled = 0;
    band.index = -1;
    return true;
}
