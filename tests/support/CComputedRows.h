// A picture whose rows a function computes, delivered from the top down or the
// bottom up, and row by row or (like an interlaced file) only whole.
#pragma once

#include "CZelFileImage.h"

#include <functional>
#include <utility>
#include <vector>

class CComputedRows : public CZelFileImage
{
public:
    // Fills row y: width times channels bytes.
    using Fill = std::function<void(int y, unsigned char* row)>;

    CComputedRows(int width, int height, int channels, Fill fill, bool bottomUp = false, bool rowByRow = true)
        : m_fill(std::move(fill)), m_bottomUp(bottomUp)
    {
        m_layout.width = width;
        m_layout.height = height;
        m_layout.channels = channels;
        m_layout.rowByRow = rowByRow;
        setFileName("computed");
    }

    bool decode(const LayoutSink& layoutSink, const RowSink& rowSink) override
    {
        std::vector<unsigned char> row(static_cast<size_t>(m_layout.width) * static_cast<size_t>(m_layout.channels));
        bool going = layoutSink(m_layout);
        for (int i = 0; going && i < m_layout.height; ++i) {
            const int y = m_bottomUp ? m_layout.height - 1 - i : i;
            m_fill(y, row.data());
            going = rowSink(y, row.data());
        }
        return going;
    }

private:
    Layout m_layout;
    Fill m_fill;
    bool m_bottomUp;
};
