// The levels and tiles of a picture's resolution pyramid: level 0 is the
// picture, each further level half as wide and high (rounded up), down to a
// level of one tile. Tiles are TILE texels square, counted from the top left;
// every tile of every level has one index, coarse levels after fine ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CPyramidLayout
{
public:
    static constexpr int TILE = 128;

    CPyramidLayout() = default;
    // Both sizes at least 1.
    CPyramidLayout(int width, int height);

    int getWidth() const { return getLevelWidth(0); }
    int getHeight() const { return getLevelHeight(0); }
    int getLevelCount() const { return static_cast<int>(m_levels.size()); }
    int getLevelWidth(int level) const { return m_levels[static_cast<size_t>(level)].width; }
    int getLevelHeight(int level) const { return m_levels[static_cast<size_t>(level)].height; }
    int getColumns(int level) const { return m_levels[static_cast<size_t>(level)].columns; }
    int getRows(int level) const { return m_levels[static_cast<size_t>(level)].rows; }
    // Index of the level's first tile.
    int getFirstTile(int level) const { return m_levels[static_cast<size_t>(level)].first; }
    int getTileCount() const { return m_tileCount; }
    int getTileIndex(int level, int row, int column) const
    {
        return getFirstTile(level) + row * getColumns(level) + column;
    }
    // The level, row and column of a tile index; false outside the pyramid.
    bool locate(int index, int& level, int& row, int& column) const;
    // Texels of the tile that show the picture (the rest is padding).
    int getTileWidth(int level, int column) const;
    int getTileHeight(int level, int row) const;

private:
    struct Level
    {
        int width;
        int height;
        int columns;
        int rows;
        int first;
    };
    std::vector<Level> m_levels;
    int m_tileCount = 0;
};
