// Turns the samples of one stored TIFF row into pixels of 8-bit channels:
// grey (black or white as 0), palette or RGB colours of 1, 2, 4, 8 or 16
// bits, interleaved in one row or one row per sample, with or without alpha.
#pragma once

#include <cstdint>

class CZelTiffRowAssembler
{
public:
    enum class Colours { MinIsBlack, MinIsWhite, Rgb, Palette };
    struct Samples
    {
        Colours colours = Colours::MinIsBlack;
        // 1, 2, 4, 8 or 16.
        int bits = 8;
        // Samples of a pixel in an interleaved row.
        int samplesPerPixel = 1;
        // One row per sample instead of one interleaved row.
        bool separate = false;
        // The sample that holds alpha, or -1.
        int alphaSample = -1;
        // Alpha that the colours were multiplied by (associated alpha).
        bool premultiplied = false;
        // Red, green and blue of 2^bits entries each, 16 bits (borrowed).
        const uint16_t* palette[3] = {nullptr, nullptr, nullptr};
    };

    CZelTiffRowAssembler(const Samples& samples, int width);

    // 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA.
    int getChannels() const { return m_channels; }
    // The rows assemble takes: 1 interleaved, or one per used sample.
    int getPlanes() const { return m_samples.separate ? m_used : 1; }
    // The sample whose row is plane number plane.
    int getPlaneSample(int plane) const { return m_sampleOf[plane]; }
    // rows: getPlanes() rows (borrowed); out: width x channels bytes.
    void assemble(const unsigned char* const* rows, unsigned char* out) const;

private:
    unsigned sample(const unsigned char* const* rows, int used, int x) const;
    unsigned char toByte(unsigned value) const;

    Samples m_samples;
    int m_width;
    int m_channels;
    // Colour samples, then alpha: the file's sample index of each.
    int m_used;
    int m_sampleOf[4] = {0, 1, 2, 3};
    // Rows that are already pixels as shown.
    bool m_copies = false;
    // Palettes written with 8-bit entries are taken as they stand.
    int m_paletteShift = 8;
};
