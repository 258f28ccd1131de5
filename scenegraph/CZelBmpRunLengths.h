// Decoder of the run-length pixel data of 4- and 8-bit bitmaps (RLE4, RLE8):
// hands out rows of palette indices as they complete, bottom row first, and
// refuses codes that leave the picture or the file.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class CZelBmpRunLengths
{
public:
    // file is borrowed; the codes run from byte start to byte end of it.
    // bits is 4 or 8.
    CZelBmpRunLengths(FILE* file, long long start, long long end, int width, int height, int bits);

    // Bytes of a row buffer: writers may run codes into the padding of the
    // row as an uncompressed file stores it (ImageMagick does), so rows are
    // that wide; codes beyond the padding leave the picture.
    static size_t rowBytes(int width, int bits);
    // Fills row (rowBytes) with the next row's indices, pixels that codes
    // skip with 0; the first width of them are the picture's. False with
    // getError when the codes are damaged.
    bool nextRow(unsigned char* row);
    // Why nextRow failed, as the end of a sentence.
    const std::string& getError() const { return m_error; }

private:
    bool byte(unsigned& value);
    bool fail(const std::string& error);

    FILE* m_file;
    long long m_position;
    long long m_end;
    int m_width;
    // The width with its padding, in pixels.
    int m_rowPixels;
    int m_height;
    int m_bits;
    std::vector<unsigned char> m_buffer;
    size_t m_used = 0;
    size_t m_filled = 0;
    int m_row = 0;
    // Left by a delta code that moves up: whole rows to skip, then the pixels
    // to skip at the start of the row it lands in.
    int m_rowsToSkip = 0;
    int m_startX = 0;
    bool m_ended = false;
    std::string m_error;
};
