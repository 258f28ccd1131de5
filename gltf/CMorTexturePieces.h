// A picture cut into the pieces a texture of the export may be, at most 4096
// pixels a side, each encoded for the file: a piece with left-out pixels as
// PNG with alpha, after every left-out pixel has taken the colour of its
// nearest kept neighbour, so that a filtering viewer shows no fringe along
// the edges; any other as PNG or, for photographs, as JPEG when that is
// smaller.
#pragma once

#include <string>
#include <vector>

class CMorTexturePieces
{
public:
    static constexpr int LARGEST = 4096;

    struct Piece
    {
        // Pixels x0..x1, y0..y1 (ends exclusive, from the top left) of the picture.
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        std::vector<unsigned char> bytes;
        // "image/png" or "image/jpeg".
        std::string mimeType;
        // Whether it has left-out pixels (alpha 0).
        bool masked = false;
    };

    // rgba: width x height pixels, top row first, alpha 0 (left out) or 255.
    // False with error set when an encoder fails.
    bool cut(const std::vector<unsigned char>& rgba, int width, int height, std::string& error);
    const std::vector<Piece>& getPieces() const { return m_pieces; }

    // Gives every pixel of alpha 0 the colour of its nearest pixel of alpha
    // 255 (white when there is none); rgba is width x height, top row first.
    static void bleed(std::vector<unsigned char>& rgba, int width, int height);
    // The edges of n equal parts of size: n + 1 values from 0 to size.
    static std::vector<int> split(int size, int largest);

private:
    std::vector<Piece> m_pieces;
};
