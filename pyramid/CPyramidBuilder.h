// Builds a picture's pyramid while its rows stream through, so that the
// picture is never held whole: level 0 keeps the picture's pixels (RGB, or
// RGBA where it has alpha), every coarser texel is drawn when at least half
// of the full-resolution pixels under it are drawn, in the mean colour of
// only those. Finished tiles go to a sink, band by band.
#pragma once

#include "CPyramidLayout.h"
#include "CPyramidVariant.h"

#include <cstdint>
#include <functional>
#include <vector>

class CPyramidBuilder
{
public:
    // Told every finished tile once: its level, row and column, its channels
    // (3 or 4) and TILE x TILE x channels bytes, top row first (borrowed
    // until it returns). Texels beyond the picture repeat its edge. False
    // stops the build.
    using TileSink = std::function<bool(int level, int row, int column, int channels, const unsigned char* pixels)>;

    // Rows of channels bytes a pixel (1 grey, 2 grey + alpha, 3 RGB, 4 RGBA).
    // With coarseOnly, level 0 is not handed out: the rows come from its
    // tiles, to build coarse levels of another variant.
    CPyramidBuilder(const CPyramidLayout& layout, int channels, const CPyramidVariant& variant, bool coarseOnly,
                    TileSink sink);

    // The channels of level 0's tiles for rows of this many channels.
    static int storedChannels(int channels) { return channels == 2 || channels == 4 ? 4 : 3; }
    // The bytes of the bands a build of this width holds at once.
    static int64_t bandBytes(int width);

    // One row, counted from the top: width x channels bytes (borrowed). Rows
    // come once each, all from the top down or all from the bottom up. False
    // when the sink stopped the build or a row came out of that order.
    bool addRow(int y, const unsigned char* row);
    // Whether every row came.
    bool isComplete() const { return m_rowsIn == m_layout.getHeight(); }

private:
    // Sums of the drawn full-resolution pixels under a coarse texel.
    struct Sum
    {
        uint64_t r, g, b, drawn;
    };
    // The tiles of a level's band of rows, each tile's pixels together.
    struct Band
    {
        std::vector<unsigned char> pixels;
        int channels = 0;
        int index = -1;
        int filled = 0;
    };
    // The level's row being summed from the two below it.
    struct Pending
    {
        std::vector<Sum> sums;
        std::vector<Sum> done;
        int target = -1;
        int count = 0;
    };

    // Where row y of the level starts in its band (its first tile).
    unsigned char* bandRow(int level, int y);
    // A row of the level is in its band; cuts the band's tiles once full.
    bool finishBandRow(int level);
    // Row y of the level below is about to be added to the level's sums;
    // and has been: hands the sums on once their rows are in.
    void startSums(int level, int y);
    bool finishSums(int level, int y);

    CPyramidLayout m_layout;
    int m_channels;
    int m_storedChannels;
    CPyramidVariant m_variant;
    bool m_coarseOnly;
    TileSink m_sink;
    std::vector<Band> m_bands;
    std::vector<Pending> m_pending;
    int m_rowsIn = 0;
    int m_direction = 0;
    int m_lastRow = -1;
};
