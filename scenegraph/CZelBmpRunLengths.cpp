// Run-length decoding of bitmap pixel data, read from the file in blocks.
#include "CZelBmpRunLengths.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t BLOCK = 64 * 1024;

} // namespace

CZelBmpRunLengths::CZelBmpRunLengths(FILE* file, long long start, long long end, int width, int height, int bits)
    : m_file(file), m_position(start), m_end(end), m_width(width),
      m_rowPixels(static_cast<int>(rowBytes(width, bits))), m_height(height), m_bits(bits)
{
}

size_t CZelBmpRunLengths::rowBytes(int width, int bits)
{
    // Uncompressed rows are padded to 4 bytes: 4 pixels of 8 bits, 8 of 4.
    const size_t step = bits == 8 ? 4 : 8;
    return (static_cast<size_t>(width) + step - 1) / step * step;
}

bool CZelBmpRunLengths::byte(unsigned& value)
{
    if (m_used == m_filled) {
        if (m_position >= m_end)
            return false;
        if (m_buffer.empty())
            m_buffer.resize(BLOCK);
        const size_t wanted = static_cast<size_t>(std::min<long long>(BLOCK, m_end - m_position));
        if (fseeko(m_file, static_cast<off_t>(m_position), SEEK_SET) != 0)
            return false;
        m_filled = fread(m_buffer.data(), 1, wanted, m_file);
        m_used = 0;
        if (m_filled == 0)
            return false;
        m_position += static_cast<long long>(m_filled);
    }
    value = m_buffer[m_used++];
    return true;
}

bool CZelBmpRunLengths::fail(const std::string& error)
{
    m_error = error;
    return false;
}

bool CZelBmpRunLengths::nextRow(unsigned char* row)
{
    std::memset(row, 0, static_cast<size_t>(m_rowPixels));
    const int y = m_row++;
    if (m_ended)
        return true;
    if (m_rowsToSkip > 0) {
        --m_rowsToSkip;
        return true;
    }
    const std::string where = " in row " + std::to_string(y + 1) + " from the bottom";
    int x = m_startX;
    m_startX = 0;
    for (;;) {
        unsigned count = 0, code = 0;
        if (!byte(count)) {
            // The codes may stop after the last pixel without an end code.
            if (y == m_height - 1 && x >= m_width)
                return true;
            return fail("the file ends inside its pixel data" + where);
        }
        if (!byte(code))
            return fail("the file ends inside its pixel data" + where);
        if (count > 0) {
            if (count > static_cast<unsigned>(m_rowPixels - x))
                return fail("a run goes past the right edge of the picture" + where);
            if (m_bits == 8) {
                std::memset(row + x, static_cast<int>(code), count);
            } else {
                for (unsigned i = 0; i < count; ++i)
                    row[x + static_cast<int>(i)] = static_cast<unsigned char>(i % 2 ? code & 15 : code >> 4);
            }
            x += static_cast<int>(count);
            continue;
        }
        switch (code) {
        case 0: // end of line
            return true;
        case 1: // end of picture
            m_ended = true;
            return true;
        case 2: { // delta: right and up
            unsigned dx = 0, dy = 0;
            if (!byte(dx) || !byte(dy))
                return fail("the file ends inside its pixel data" + where);
            if (dx > static_cast<unsigned>(m_rowPixels - x) || dy > static_cast<unsigned>(m_height - 1 - y))
                return fail("a delta code moves outside the picture" + where);
            if (dy == 0) {
                x += static_cast<int>(dx);
                continue;
            }
            m_rowsToSkip = static_cast<int>(dy) - 1;
            m_startX = x + static_cast<int>(dx);
            return true;
        }
        default: { // that many indices as they stand, padded to an even byte count
            if (code > static_cast<unsigned>(m_rowPixels - x))
                return fail("a run goes past the right edge of the picture" + where);
            const unsigned bytes = m_bits == 8 ? code : (code + 1) / 2;
            for (unsigned i = 0; i < bytes; ++i) {
                unsigned value = 0;
                if (!byte(value))
                    return fail("the file ends inside its pixel data" + where);
                if (m_bits == 8) {
                    row[x + static_cast<int>(i)] = static_cast<unsigned char>(value);
                } else {
                    row[x + static_cast<int>(2 * i)] = static_cast<unsigned char>(value >> 4);
                    if (2 * i + 1 < code)
                        row[x + static_cast<int>(2 * i + 1)] = static_cast<unsigned char>(value & 15);
                }
            }
            // A missing pad byte at the very end of the file is harmless.
            unsigned pad = 0;
            if (bytes % 2)
                byte(pad);
            x += static_cast<int>(code);
            continue;
        }
        }
    }
}
