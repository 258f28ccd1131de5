// Tile rows read back one at a time and streamed into the PNG writer.
#include "CMorTileJoiner.h"

#include "CMorPackedBitmap.h"
#include "CMorSafeFile.h"
#include "CZelPngWriter.h"

#include <vector>

bool CMorTileJoiner::writePng(int rows, int columns, const TileSource& source, const std::string& output,
                              std::string& error)
{
    if (rows < 1 || columns < 1) {
        error = "Cannot write " + output + ": there are no tiles.";
        return false;
    }
    // The picture replaces the output only when complete.
    CMorSafeFile file;
    if (!file.begin(output, error))
        return false;
    CZelPngWriter writer;
    // The file's own cause (a full disk) says more than the encoder's.
    auto failed = [&]() {
        error = !file.getWriteError().empty() ? file.getWriteError() : writer.getErrorMessage();
        return false;
    };
    std::vector<CMorPackedBitmap> tiles(columns);
    std::vector<unsigned char> line;
    int tileWidth = 0;
    int tileHeight = 0;
    for (int r = rows - 1; r >= 0; --r) {
        for (int c = 0; c < columns; ++c) {
            if (!source(r, c, tiles[c], error))
                return false;
            if (tileWidth == 0) {
                tileWidth = tiles[c].getWidth();
                tileHeight = tiles[c].getHeight();
                line.resize(static_cast<size_t>(tileWidth) * columns * 3);
                if (!writer.open(file.getStream(), output, tileWidth * columns, tileHeight * rows, 3))
                    return failed();
            } else if (tiles[c].getWidth() != tileWidth || tiles[c].getHeight() != tileHeight) {
                error = "Cannot write " + output + ": tile " + std::to_string(r) + ", " + std::to_string(c) +
                        " differs in size from the others.";
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
            if (!writer.writeRow(line.data()))
                return failed();
        }
    }
    if (!writer.close())
        return failed();
    return file.commit(error);
}
