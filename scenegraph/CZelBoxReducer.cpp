// Box-filter reduction of streamed rows.
#include "CZelBoxReducer.h"

#include <algorithm>

CZelBoxReducer::CZelBoxReducer(int width, int height, int channels, int factor, unsigned char* target)
    : m_width(width), m_height(height), m_channels(channels), m_factor(std::max(1, factor)),
      m_reducedWidth(reducedSize(width, std::max(1, factor))), m_target(target),
      m_sums(static_cast<size_t>(m_reducedWidth) * static_cast<size_t>(channels), 0)
{
}

void CZelBoxReducer::addRow(int rowFromTop, const unsigned char* row)
{
    if (rowFromTop < 0 || rowFromTop >= m_height)
        return;
    const int boxRow = rowFromTop / m_factor;
    if (boxRow != m_boxRow) {
        flush();
        m_boxRow = boxRow;
    }
    ++m_rowsInBox;
    for (int x = 0; x < m_width; ++x) {
        uint64_t* sum = &m_sums[static_cast<size_t>(x / m_factor) * m_channels];
        const unsigned char* pixel = row + static_cast<size_t>(x) * m_channels;
        for (int c = 0; c < m_channels; ++c)
            sum[c] += pixel[c];
    }
}

void CZelBoxReducer::finish()
{
    flush();
    m_boxRow = -1;
}

void CZelBoxReducer::flush()
{
    if (m_boxRow < 0 || m_rowsInBox == 0)
        return;
    const int reducedHeight = reducedSize(m_height, m_factor);
    // The target is stored bottom row first.
    unsigned char* out =
        m_target + static_cast<size_t>(reducedHeight - 1 - m_boxRow) * m_reducedWidth * m_channels;
    for (int x = 0; x < m_reducedWidth; ++x) {
        const uint64_t columns = static_cast<uint64_t>(std::min(m_factor, m_width - x * m_factor));
        const uint64_t count = columns * static_cast<uint64_t>(m_rowsInBox);
        for (int c = 0; c < m_channels; ++c) {
            uint64_t& sum = m_sums[static_cast<size_t>(x) * m_channels + c];
            out[static_cast<size_t>(x) * m_channels + c] = static_cast<unsigned char>((sum + count / 2) / count);
            sum = 0;
        }
    }
    m_rowsInBox = 0;
}
