// Joins the export's tiles into one PNG without the external image tool,
// holding only one row of tiles in memory at a time.
#pragma once

#include <functional>
#include <string>

class CMorPackedBitmap;

class CMorTileJoiner
{
public:
    // Fills the bitmap with tile (row, column), row 0 at the bottom and
    // column 0 at the left; false with a sentence in the string.
    using TileSource = std::function<bool(int row, int column, CMorPackedBitmap& tile, std::string& error)>;

    // Writes the rows x columns tiles, all of one size, as an RGB PNG; false
    // with a sentence in error, and then no output file is left.
    static bool writePng(int rows, int columns, const TileSource& source, const std::string& output,
                         std::string& error);
};
