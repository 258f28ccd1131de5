// Box-filter reduction of streamed rows.
#include "CZelBoxReducer.h"

#include <algorithm>
#include <utility>

CZelBoxReducer::CZelBoxReducer(int width, int height, int channels, int factor, RowSink sink)
    : m_width(width), m_height(height), m_channels(channels), m_factor(std::max(1, factor)),
      m_reducedWidth(reducedSize(width, std::max(1, factor))), m_sink(std::move(sink)),
      m_sums(static_cast<size_t>(m_reducedWidth) * static_cast<size_t>(channels), 0),
      m_row(m_sums.size())
{
}

bool CZelBoxReducer::addRow(int rowFromTop, const unsigned char* row)
{
    if (rowFromTop < 0 || rowFromTop >= m_height)
        return true;
    const int boxRow = rowFromTop / m_factor;
    if (boxRow != m_boxRow) {
        if (!flush())
            return false;
        m_boxRow = boxRow;
    }
    ++m_rowsInBox;
    for (int x = 0; x < m_width; ++x) {
        uint64_t* sum = &m_sums[static_cast<size_t>(x / m_factor) * m_channels];
        const unsigned char* pixel = row + static_cast<size_t>(x) * m_channels;
        for (int c = 0; c < m_channels; ++c)
            sum[c] += pixel[c];
    }
    return true;
}

bool CZelBoxReducer::finish()
{
    const bool handed = flush();
    m_boxRow = -1;
    return handed;
}

bool CZelBoxReducer::flush()
{
    if (m_boxRow < 0 || m_rowsInBox == 0)
        return true;
    unsigned char* out = m_row.data();
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
    return m_sink(m_boxRow, m_row.data());
}
