// Tile rows read back one at a time and streamed into the PNG writer.
#include "CMorTileJoiner.h"

#include "CMorPackedBitmap.h"
#include "CZelPngWriter.h"

bool CMorTileJoiner::writePng(const std::vector<std::vector<std::string>>& files, const std::string& output,
                              std::string& error)
{
    const int rows = static_cast<int>(files.size());
    const int columns = rows > 0 ? static_cast<int>(files[0].size()) : 0;
    if (rows == 0 || columns == 0) {
        error = "Cannot write " + output + ": there are no tiles.";
        return false;
    }
    CZelPngWriter writer;
    std::vector<CMorPackedBitmap> tiles(columns);
    std::vector<unsigned char> line;
    int tileWidth = 0;
    int tileHeight = 0;
    for (int r = rows - 1; r >= 0; --r) {
        if (static_cast<int>(files[r].size()) != columns) {
            error = "Cannot write " + output + ": the tile rows differ in length.";
            return false;
        }
        for (int c = 0; c < columns; ++c) {
            if (!tiles[c].readFile(files[r][c], error))
                return false;
            if (tileWidth == 0) {
                tileWidth = tiles[c].getWidth();
                tileHeight = tiles[c].getHeight();
                line.resize(static_cast<size_t>(tileWidth) * columns * 3);
                if (!writer.open(output, tileWidth * columns, tileHeight * rows, 3)) {
                    error = writer.getErrorMessage();
                    return false;
                }
            } else if (tiles[c].getWidth() != tileWidth || tiles[c].getHeight() != tileHeight) {
                error = "Cannot write " + output + ": " + files[r][c] + " differs in size from the other tiles.";
                return false;
            }
        }
        for (int y = tileHeight - 1; y >= 0; --y) {
            unsigned char* out = line.data();
            for (int c = 0; c < columns; ++c) {
                const unsigned char* in = tiles[c].getRow(y);
                for (int x = 0; x < tileWidth; ++x, in += 3, out += 3) {
                    out[0] = in[2];
                    out[1] = in[1];
                    out[2] = in[0];
                }
            }
            if (!writer.writeRow(line.data())) {
                error = writer.getErrorMessage();
                return false;
            }
        }
    }
    if (!writer.close()) {
        error = writer.getErrorMessage();
        return false;
    }
    return true;
}
