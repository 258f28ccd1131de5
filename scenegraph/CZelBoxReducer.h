// Shrinks a picture by a whole factor while its rows arrive: each factor x
// factor box of pixels becomes one pixel, the mean of the pixels it holds, so
// a picture too large to keep is never held whole.
#pragma once

#include <cstdint>
#include <vector>

class CZelBoxReducer
{
public:
    // target (borrowed) holds reducedSize(width) x reducedSize(height) pixels
    // of channels bytes, bottom row first, and must outlive the reducer.
    CZelBoxReducer(int width, int height, int channels, int factor, unsigned char* target);

    // Boxes at the right and bottom edges hold fewer pixels.
    static int reducedSize(int size, int factor) { return (size + factor - 1) / factor; }

    // One row of width x channels bytes; rows come in order from the top or
    // from the bottom, each once. Rows outside the picture are ignored.
    void addRow(int rowFromTop, const unsigned char* row);
    // Writes the box row still being summed.
    void finish();

private:
    void flush();

    int m_width;
    int m_height;
    int m_channels;
    int m_factor;
    int m_reducedWidth;
    unsigned char* m_target;
    std::vector<uint64_t> m_sums;
    int m_boxRow = -1;
    int m_rowsInBox = 0;
};
