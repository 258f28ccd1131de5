// Level and tile arithmetic of the pyramid.
#include "CPyramidLayout.h"

#include <algorithm>

CPyramidLayout::CPyramidLayout(int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    for (;;) {
        const Level level{width, height, (width + TILE - 1) / TILE, (height + TILE - 1) / TILE, m_tileCount};
        m_levels.push_back(level);
        m_tileCount += level.columns * level.rows;
        if (level.columns == 1 && level.rows == 1)
            break;
        width = (width + 1) / 2;
        height = (height + 1) / 2;
    }
}

bool CPyramidLayout::locate(int index, int& level, int& row, int& column) const
{
    if (index < 0 || index >= m_tileCount)
        return false;
    level = getLevelCount() - 1;
    while (level > 0 && index < getFirstTile(level))
        --level;
    const int within = index - getFirstTile(level);
    row = within / getColumns(level);
    column = within % getColumns(level);
    return true;
}

int CPyramidLayout::getTileWidth(int level, int column) const
{
    return std::min(TILE, getLevelWidth(level) - column * TILE);
}

int CPyramidLayout::getTileHeight(int level, int row) const
{
    return std::min(TILE, getLevelHeight(level) - row * TILE);
}
