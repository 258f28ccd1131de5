// Shrinks a picture by a whole factor while its rows arrive: each factor x
// factor box of pixels becomes one pixel, the mean of the pixels it holds, so
// a picture too large to keep is never held whole.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class CZelBoxReducer
{
public:
    // Told every reduced row once, with its index from the top and its
    // reducedSize(width) x channels bytes (borrowed until it returns); false
    // stops the reduction.
    using RowSink = std::function<bool(int rowFromTop, const unsigned char* row)>;

    CZelBoxReducer(int width, int height, int channels, int factor, RowSink sink);

    // Boxes at the right and bottom edges hold fewer pixels.
    static int reducedSize(int size, int factor) { return (size + factor - 1) / factor; }

    // One row of width x channels bytes; rows come in order from the top or
    // from the bottom, each once. Rows outside the picture are ignored. False
    // when the sink refused a reduced row.
    bool addRow(int rowFromTop, const unsigned char* row);
    // Hands over the box row still being summed; false when the sink refused it.
    bool finish();

private:
    bool flush();

    int m_width;
    int m_height;
    int m_channels;
    int m_factor;
    int m_reducedWidth;
    RowSink m_sink;
    std::vector<uint64_t> m_sums;
    std::vector<unsigned char> m_row;
    int m_boxRow = -1;
    int m_rowsInBox = 0;
};
