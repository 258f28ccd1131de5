// A compact record of a picture's white-distance codes, row by row, kept for
// pointing at the picture once its pixels have gone to GL. A code is the tile
// alpha (0 transparent, 1 + the distance of the darkest channel from 255),
// cut at the first value that every white tolerance draws: rows of paper and
// of solid colour become a few runs.
#pragma once

#include "CFencePixelMask.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CFencePixelRuns : public CFencePixelMask
{
    ZEL_DECLARE_CLASS(CFencePixelRuns, CFencePixelMask)
public:
    // The highest white tolerance the codes tell apart; larger ones are
    // taken as this one.
    static constexpr int LARGEST_TOLERANCE = 64;
    // What every tolerance draws: codes above it are kept as it.
    static constexpr int DRAWN_CODE = LARGEST_TOLERANCE + 2;

    // An empty record of width x height pixels; rows not yet set are drawn,
    // as the tiles' padding is.
    CFencePixelRuns(int width, int height);

    // Row rowFromTop's codes, width bytes (borrowed), each the tile alpha of
    // its pixel. Rows come each once, in any order.
    void setRow(int rowFromTop, const unsigned char* alphas);
    // Lets go of the room kept for rows still to come.
    void compact();
    // Memory the record takes, in bytes.
    size_t getByteCount() const;

    int getWidth() const override { return m_width; }
    int getHeight() const override { return m_height; }
    bool isDrawn(int column, int row, bool removeWhite, int tolerance) const override;

private:
    int codeAt(int column, int row) const;

    int m_width;
    int m_height;
    // Where each row's bytes begin in m_bytes; NO_ROW for rows not set.
    std::vector<uint32_t> m_rowStart;
    // Per row a kind byte, then either (code, length) runs, the length in
    // 7-bit groups lowest first, or one code per pixel, whichever is shorter.
    std::vector<unsigned char> m_bytes;
    std::vector<unsigned char> m_scratch;
};
