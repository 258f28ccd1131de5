// Streaming construction of the pyramid's levels.
#include "CPyramidBuilder.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int TILE = CPyramidLayout::TILE;

} // namespace

CPyramidBuilder::CPyramidBuilder(const CPyramidLayout& layout, int channels, const CPyramidVariant& variant,
                                 bool coarseOnly, TileSink sink)
    : m_layout(layout), m_channels(channels), m_storedChannels(storedChannels(channels)), m_variant(variant),
      m_coarseOnly(coarseOnly), m_sink(std::move(sink)), m_bands(static_cast<size_t>(layout.getLevelCount())),
      m_pending(static_cast<size_t>(layout.getLevelCount())), m_tile(static_cast<size_t>(TILE) * TILE * 4)
{
    for (int level = 0; level < layout.getLevelCount(); ++level) {
        Band& band = m_bands[static_cast<size_t>(level)];
        band.channels = level == 0 ? m_storedChannels : 4;
        if (level > 0 || !coarseOnly)
            band.pixels.resize(static_cast<size_t>(TILE) * static_cast<size_t>(layout.getColumns(level)) * TILE *
                               static_cast<size_t>(band.channels));
        if (level > 0)
            m_pending[static_cast<size_t>(level)].sums.assign(static_cast<size_t>(layout.getLevelWidth(level)),
                                                              Sum{0, 0, 0, 0, 0});
    }
    m_rowSums.resize(static_cast<size_t>(layout.getWidth()));
    m_stored.resize(static_cast<size_t>(layout.getWidth()) * static_cast<size_t>(m_storedChannels));
}

int64_t CPyramidBuilder::bandBytes(int width)
{
    // Level 0's band, the coarser bands (half of it together, in RGBA) and a
    // row of sums a level.
    const int64_t columns = (static_cast<int64_t>(width) + TILE - 1) / TILE;
    return columns * TILE * TILE * 4 * 2 + static_cast<int64_t>(width) * sizeof(Sum) * 2;
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

    const int width = m_layout.getWidth();
    const bool grey = m_channels < 3;
    const bool alpha = m_channels == 2 || m_channels == 4;
    const int stored = m_storedChannels;
    unsigned char* out = m_stored.data();
    Sum* sums = m_rowSums.data();
    for (int x = 0; x < width; ++x, row += m_channels, out += stored, ++sums) {
        const unsigned char r = row[0];
        const unsigned char g = grey ? r : row[1];
        const unsigned char b = grey ? r : row[2];
        const unsigned char a = alpha ? (row[m_channels - 1] >= 128 ? 255 : 0) : 255;
        out[0] = r;
        out[1] = g;
        out[2] = b;
        if (stored == 4)
            out[3] = a;
        if (m_variant.isDrawn(r, g, b, a))
            *sums = Sum{r, g, b, 1, 1};
        else
            *sums = Sum{0, 0, 0, 0, 1};
    }
    if (!m_coarseOnly && !addToBand(0, y, m_stored.data()))
        return false;
    return m_layout.getLevelCount() < 2 || addSums(1, y, m_rowSums);
}

bool CPyramidBuilder::addSums(int level, int y, const std::vector<Sum>& sums)
{
    Pending& pending = m_pending[static_cast<size_t>(level)];
    const int target = y / 2;
    if (pending.target != target) {
        pending.target = target;
        pending.count = 0;
    }
    const int below = m_layout.getLevelWidth(level - 1);
    for (int x = 0; x < below; ++x) {
        Sum& into = pending.sums[static_cast<size_t>(x / 2)];
        const Sum& from = sums[static_cast<size_t>(x)];
        into.r += from.r;
        into.g += from.g;
        into.b += from.b;
        into.drawn += from.drawn;
        into.total += from.total;
    }
    const int expected = 2 * target + 1 < m_layout.getLevelHeight(level - 1) ? 2 : 1;
    if (++pending.count < expected)
        return true;

    // The row is complete: its texels, then its sums one level up.
    const int width = m_layout.getLevelWidth(level);
    m_coarseRow.resize(static_cast<size_t>(width) * 4);
    unsigned char* out = m_coarseRow.data();
    for (int x = 0; x < width; ++x, out += 4) {
        const Sum& sum = pending.sums[static_cast<size_t>(x)];
        if (sum.drawn > 0) {
            const uint64_t half = sum.drawn / 2;
            out[0] = static_cast<unsigned char>((sum.r + half) / sum.drawn);
            out[1] = static_cast<unsigned char>((sum.g + half) / sum.drawn);
            out[2] = static_cast<unsigned char>((sum.b + half) / sum.drawn);
        } else {
            out[0] = out[1] = out[2] = 0;
        }
        out[3] = sum.drawn > 0 && 2 * static_cast<uint64_t>(sum.drawn) >= sum.total ? 255 : 0;
    }
    if (!addToBand(level, target, m_coarseRow.data()))
        return false;
    std::vector<Sum> done;
    done.swap(pending.sums);
    pending.sums.assign(static_cast<size_t>(width), Sum{0, 0, 0, 0, 0});
    pending.target = -1;
    pending.count = 0;
    return level + 1 >= m_layout.getLevelCount() || addSums(level + 1, target, done);
}

bool CPyramidBuilder::addToBand(int level, int y, const unsigned char* row)
{
    Band& band = m_bands[static_cast<size_t>(level)];
    const int index = y / TILE;
    if (band.index != index) {
        band.index = index;
        band.filled = 0;
    }
    const size_t rowBytes = static_cast<size_t>(m_layout.getColumns(level)) * TILE * static_cast<size_t>(band.channels);
    std::memcpy(band.pixels.data() + static_cast<size_t>(y % TILE) * rowBytes, row,
                static_cast<size_t>(m_layout.getLevelWidth(level)) * static_cast<size_t>(band.channels));
    if (++band.filled < m_layout.getTileHeight(level, index))
        return true;
    return cutBand(level);
}

bool CPyramidBuilder::cutBand(int level)
{
    Band& band = m_bands[static_cast<size_t>(level)];
    const int channels = band.channels;
    const int height = m_layout.getTileHeight(level, band.index);
    const size_t rowBytes = static_cast<size_t>(m_layout.getColumns(level)) * TILE * static_cast<size_t>(channels);
    const size_t tileRow = static_cast<size_t>(TILE) * static_cast<size_t>(channels);
    for (int column = 0; column < m_layout.getColumns(level); ++column) {
        const int width = m_layout.getTileWidth(level, column);
        for (int y = 0; y < TILE; ++y) {
            const unsigned char* from =
                band.pixels.data() + static_cast<size_t>(std::min(y, height - 1)) * rowBytes + column * tileRow;
            unsigned char* to = m_tile.data() + static_cast<size_t>(y) * tileRow;
            std::memcpy(to, from, static_cast<size_t>(width) * static_cast<size_t>(channels));
            // The padding repeats the picture's last column.
            for (int x = width; x < TILE; ++x)
                std::memcpy(to + static_cast<size_t>(x) * channels, to + static_cast<size_t>(width - 1) * channels,
                            static_cast<size_t>(channels));
        }
        if (level > 0)
            CPyramidVariant::fillEdges(m_tile.data(), TILE);
        if (!m_sink(level, band.index, column, channels, m_tile.data()))
            return false;
    }
    band.filled = 0;
    band.index = -1;
    return true;
}
