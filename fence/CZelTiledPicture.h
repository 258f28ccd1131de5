// A section picture cut into square RGBA tiles as its rows arrive, so that a
// picture read from a file is never held whole besides its tiles. A tile
// pixel's alpha tells how far it is from white (1 for pure white, 1 + d when
// its darkest channel lies d below 255, at most 255), or is 0 where the
// picture's own alpha is below half: such pixels are never drawn. Beyond the
// picture the tiles are opaque yellow (255, 255, 0).
#pragma once

#include "CFencePixelRuns.h"
#include "CZelBase.h"
#include "CZelImage.h"
#include "CZelPointer.h"

#include <vector>

class CZelTiledPicture : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelTiledPicture, CZelBase)
public:
    explicit CZelTiledPicture(int tileSize) : m_tileSize(tileSize) {}

    // Starts a picture of this size, whose rows hold channels bytes a pixel (1
    // grey, 2 grey + alpha, 3 RGB, 4 RGBA); the tiles of an earlier one are
    // let go. False for sizes or channel counts out of range.
    bool start(int width, int height, int channels);
    // As start, keeping of every row only the window x0..x1, top..bottom
    // (ends exclusive, rows counted from the top; clamped to the rows): the
    // picture is the window.
    bool start(int width, int height, int channels, int x0, int top, int x1, int bottom);
    // One row, counted from the top: width x channels bytes (borrowed). Rows
    // come each once; a tile's memory is taken when its first row arrives.
    // False when that memory is short.
    bool addRow(int rowFromTop, const unsigned char* row);
    // Cuts a whole image (bottom row first; borrowed); false when memory for
    // the tiles is short.
    bool cut(const CZelImage* image);
    // After the last row: lets go of what was kept for rows to come.
    void finish();

    // The size in the file of what the tiles show, which a picture reduced
    // while it was read keeps for its proportions; the picture's own until
    // set.
    void setSourceSize(int width, int height);
    int getSourceWidth() const { return m_sourceWidth > 0 ? m_sourceWidth : m_width; }
    int getSourceHeight() const { return m_sourceHeight > 0 ? m_sourceHeight : m_height; }

    // The size of the whole picture in its file, of which the tiles may show
    // a window; the source size until set.
    void setFileSize(int width, int height);
    int getFileWidth() const { return m_fileWidth > 0 ? m_fileWidth : getSourceWidth(); }
    int getFileHeight() const { return m_fileHeight > 0 ? m_fileHeight : getSourceHeight(); }

    // Where the picture lies in its file, in the file's pixels from the top
    // left, ends exclusive: the crop, or for a picture reduced while it was
    // read the crop's reduced edges scaled back.
    void getFileWindow(double& left, double& top, double& right, double& bottom) const;

    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    int getTileSize() const { return m_tileSize; }
    int getRows() const { return static_cast<int>(m_tiles.size()); }
    int getColumns() const { return m_columns; }
    // Tile row r counts from the bottom of the picture. Borrowed; null
    // outside the grid or before any of its rows arrived.
    CZelImage* getTile(int row, int column) const;
    // Borrowed: which of the picture's pixels are drawn, recorded as its rows
    // arrived; null before start.
    CFencePixelRuns* getPixelRuns() const { return m_pixelRuns; }

private:
    int m_tileSize;
    int m_width = 0;
    int m_height = 0;
    int m_channels = 0;
    int m_columns = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;
    // The size given to start, of which the picture may be a window.
    int m_wholeWidth = 0;
    int m_wholeHeight = 0;
    int m_fileWidth = 0;
    int m_fileHeight = 0;
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    std::vector<std::vector<CZelPointer<CZelImage>>> m_tiles;
    CZelPointer<CFencePixelRuns> m_pixelRuns;
    // One row's alphas on their way to the record.
    std::vector<unsigned char> m_alphas;
};
