// Where each tile of an n x m tiled picture lies: its part of the camera's
// frustum, its slice of the frame's pixel space for the flat overlays, and its
// place in the joined picture. Tiles share their borders exactly, so no pixel
// column or row is lost or doubled at a seam.
#pragma once

class CMorTileGrid
{
public:
    // A frame of width x height pixels drawn as rows x columns tiles, each at
    // the frame's full size: the joined picture is columns x width wide and
    // rows x height high. Counts below 1 are taken as 1.
    CMorTileGrid(int width, int height, int rows, int columns);

    int getRows() const { return m_rows; }
    int getColumns() const { return m_columns; }
    int getTileWidth() const { return m_width; }
    int getTileHeight() const { return m_height; }
    long long getPictureWidth() const { return static_cast<long long>(m_width) * m_columns; }
    long long getPictureHeight() const { return static_cast<long long>(m_height) * m_rows; }

    // The tile's part of the frustum in its normalised coordinates (-1 to 1);
    // row 0 is the bottom row.
    void getViewWindow(int row, int column, double& left, double& right, double& bottom, double& top) const;
    // The tile's slice of the frame in frame pixels, origin at the top left and
    // y downwards, as an orthographic projection takes it (bottom > top).
    // Fractional, so that the slices of frames not divisible by the counts
    // still meet without a gap.
    void getPixelWindow(int row, int column, double& left, double& right, double& bottom, double& top) const;
    // Left edge and top edge of the tile in the joined picture, in pixels.
    long long getPictureX(int column) const { return static_cast<long long>(column) * m_width; }
    long long getPictureY(int row) const { return static_cast<long long>(m_rows - 1 - row) * m_height; }

private:
    int m_width;
    int m_height;
    int m_rows;
    int m_columns;
};
