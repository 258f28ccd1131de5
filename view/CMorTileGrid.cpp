// Tile geometry of tiled pictures.
#include "CMorTileGrid.h"

#include <algorithm>

CMorTileGrid::CMorTileGrid(int width, int height, int rows, int columns)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_rows(std::max(rows, 1)),
      m_columns(std::max(columns, 1))
{
}

void CMorTileGrid::getViewWindow(int row, int column, double& left, double& right, double& bottom, double& top) const
{
    // Computed from the tile numbers rather than added up step by step, so
    // that the right edge of one tile is bit for bit the left edge of the next.
    left = 2.0 * column / m_columns - 1.0;
    right = 2.0 * (column + 1) / m_columns - 1.0;
    bottom = 2.0 * row / m_rows - 1.0;
    top = 2.0 * (row + 1) / m_rows - 1.0;
}

void CMorTileGrid::getPixelWindow(int row, int column, double& left, double& right, double& bottom, double& top) const
{
    left = static_cast<double>(m_width) * column / m_columns;
    right = static_cast<double>(m_width) * (column + 1) / m_columns;
    bottom = static_cast<double>(m_height) * (m_rows - row) / m_rows;
    top = static_cast<double>(m_height) * (m_rows - row - 1) / m_rows;
}
