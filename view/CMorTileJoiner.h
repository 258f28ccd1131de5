// Joins the export's tiles into one PNG without the external image tool,
// holding only one row of tiles in memory at a time.
#pragma once

#include <string>
#include <vector>

class CMorTileJoiner
{
public:
    // files[r][c]: packed bitmaps of tile row r (0 at the bottom) and column c
    // (0 at the left), all of one size and every row with the same number of
    // tiles. Writes an RGB PNG; false with a sentence in error, and then no
    // output file is left.
    static bool writePng(const std::vector<std::vector<std::string>>& files, const std::string& output,
                         std::string& error);
};
