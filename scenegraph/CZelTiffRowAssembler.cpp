// Sample unpacking and colour conversion of TIFF rows.
#include "CZelTiffRowAssembler.h"

#include <cstring>

CZelTiffRowAssembler::CZelTiffRowAssembler(const Samples& samples, int width)
    : m_samples(samples), m_width(width)
{
    const int colours = samples.colours == Colours::Rgb ? 3 : 1;
    const bool alpha = samples.alphaSample >= 0;
    m_used = colours + (alpha ? 1 : 0);
    if (alpha)
        m_sampleOf[colours] = samples.alphaSample;
    m_channels = (samples.colours == Colours::Palette ? 3 : colours) + (alpha ? 1 : 0);
    // Large scans are mostly 8-bit grey or RGB, interleaved as they are shown.
    m_copies = samples.bits == 8 && !samples.separate && samples.samplesPerPixel == m_channels &&
               (samples.colours == Colours::MinIsBlack || samples.colours == Colours::Rgb) &&
               (!alpha || (samples.alphaSample == colours && !samples.premultiplied));
    if (samples.colours == Colours::Palette) {
        // Some writers store palette entries of 0 to 255 in the 16-bit fields.
        bool wide = false;
        const size_t entries = size_t(1) << samples.bits;
        for (size_t i = 0; i < entries && !wide; ++i)
            for (const uint16_t* channel : samples.palette)
                wide = wide || channel[i] > 255;
        m_paletteShift = wide ? 8 : 0;
    }
}

unsigned CZelTiffRowAssembler::sample(const unsigned char* const* rows, int used, int x) const
{
    const int bits = m_samples.bits;
    const unsigned char* row = rows[m_samples.separate ? used : 0];
    const size_t index = m_samples.separate
                             ? static_cast<size_t>(x)
                             : static_cast<size_t>(x) * m_samples.samplesPerPixel + m_sampleOf[used];
    switch (bits) {
    case 8:
        return row[index];
    case 16: {
        // libtiff hands out 16-bit samples in the machine's byte order.
        uint16_t value;
        std::memcpy(&value, row + 2 * index, 2);
        return value;
    }
    default: {
        const size_t bit = index * static_cast<size_t>(bits);
        return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
    }
    }
}

unsigned char CZelTiffRowAssembler::toByte(unsigned value) const
{
    switch (m_samples.bits) {
    case 16:
        return static_cast<unsigned char>(value >> 8);
    case 8:
        return static_cast<unsigned char>(value);
    default:
        // 1, 2 and 4 bits: 255, 85 and 17 per step.
        return static_cast<unsigned char>(value * (255 / ((1u << m_samples.bits) - 1)));
    }
}

void CZelTiffRowAssembler::assemble(const unsigned char* const* rows, unsigned char* out) const
{
    if (m_copies) {
        std::memcpy(out, rows[0], static_cast<size_t>(m_width) * static_cast<size_t>(m_channels));
        return;
    }
    const bool alpha = m_samples.alphaSample >= 0;
    const int colours = m_channels - (alpha ? 1 : 0);
    for (int x = 0; x < m_width; ++x, out += m_channels) {
        switch (m_samples.colours) {
        case Colours::MinIsBlack:
            out[0] = toByte(sample(rows, 0, x));
            break;
        case Colours::MinIsWhite:
            out[0] = static_cast<unsigned char>(255 - toByte(sample(rows, 0, x)));
            break;
        case Colours::Rgb:
            for (int c = 0; c < 3; ++c)
                out[c] = toByte(sample(rows, c, x));
            break;
        case Colours::Palette: {
            const unsigned index = sample(rows, 0, x);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<unsigned char>(m_samples.palette[c][index] >> m_paletteShift);
            break;
        }
        }
        if (!alpha)
            continue;
        const unsigned a = toByte(sample(rows, m_used - 1, x));
        out[colours] = static_cast<unsigned char>(a);
        // The picture is drawn with straight alpha: undo the multiplication.
        if (m_samples.premultiplied && a > 0 && a < 255)
            for (int c = 0; c < colours; ++c) {
                const unsigned straight = (out[c] * 255u + a / 2) / a;
                out[c] = static_cast<unsigned char>(straight > 255 ? 255 : straight);
            }
    }
}
