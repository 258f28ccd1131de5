// Run-length rows of white-distance codes.
#include "CFencePixelRuns.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint32_t NO_ROW = std::numeric_limits<uint32_t>::max();
constexpr unsigned char RUNS = 0;
constexpr unsigned char PLAIN = 1;

void appendLength(std::vector<unsigned char>& bytes, uint32_t length)
{
    while (length >= 0x80) {
        bytes.push_back(static_cast<unsigned char>(0x80 | (length & 0x7f)));
        length >>= 7;
    }
    bytes.push_back(static_cast<unsigned char>(length));
}

} // namespace

CFencePixelRuns::CFencePixelRuns(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_rowStart(static_cast<size_t>(m_height), NO_ROW)
{
}

void CFencePixelRuns::setRow(int rowFromTop, const unsigned char* alphas)
{
    if (rowFromTop < 0 || rowFromTop >= m_height || m_width == 0)
        return;
    m_scratch.clear();
    m_scratch.push_back(RUNS);
    for (int x = 0; x < m_width;) {
        const unsigned char code = std::min<unsigned char>(alphas[x], DRAWN_CODE);
        int end = x + 1;
        while (end < m_width && std::min<unsigned char>(alphas[end], DRAWN_CODE) == code)
            ++end;
        m_scratch.push_back(code);
        appendLength(m_scratch, static_cast<uint32_t>(end - x));
        x = end;
        // Noisy rows give up on runs as soon as they are no shorter.
        if (m_scratch.size() > static_cast<size_t>(m_width))
            break;
    }
    const bool plain = m_scratch.size() > static_cast<size_t>(m_width);
    // Offsets are 32 bits: a record beyond them keeps the row unknown (drawn).
    const size_t size = plain ? static_cast<size_t>(m_width) + 1 : m_scratch.size();
    if (m_bytes.size() + size > NO_ROW)
        return;
    m_rowStart[static_cast<size_t>(rowFromTop)] = static_cast<uint32_t>(m_bytes.size());
    if (!plain) {
        m_bytes.insert(m_bytes.end(), m_scratch.begin(), m_scratch.end());
        return;
    }
    m_bytes.push_back(PLAIN);
    for (int x = 0; x < m_width; ++x)
        m_bytes.push_back(std::min<unsigned char>(alphas[x], DRAWN_CODE));
}

void CFencePixelRuns::compact()
{
    m_bytes.shrink_to_fit();
    m_scratch = std::vector<unsigned char>();
}

size_t CFencePixelRuns::getByteCount() const
{
    return sizeof *this + m_rowStart.capacity() * sizeof(uint32_t) + m_bytes.capacity() + m_scratch.capacity();
}

int CFencePixelRuns::codeAt(int column, int row) const
{
    const uint32_t start = m_rowStart[static_cast<size_t>(row)];
    if (start == NO_ROW)
        return DRAWN_CODE;
    const unsigned char* p = m_bytes.data() + start;
    if (*p++ == PLAIN)
        return p[column];
    for (uint32_t end = 0;;) {
        const unsigned char code = *p++;
        uint32_t length = 0;
        for (int shift = 0;; shift += 7) {
            const unsigned char byte = *p++;
            length |= static_cast<uint32_t>(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0)
                break;
        }
        end += length;
        if (static_cast<uint32_t>(column) < end)
            return code;
    }
}

bool CFencePixelRuns::isDrawn(int column, int row, bool removeWhite, int tolerance) const
{
    if (column < 0 || row < 0 || column >= m_width || row >= m_height)
        return false;
    // As the panel's alpha test: alpha 0 never shows, and remove white leaves
    // out every alpha up to tolerance + 1.
    const int highestLeftOut = removeWhite ? std::max(0, std::min(tolerance, LARGEST_TOLERANCE)) + 1 : 0;
    return codeAt(column, row) > highestLeftOut;
}
