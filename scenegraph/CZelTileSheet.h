// One GL texture made of equal square tiles laid side by side, so that
// everything textured from a grid of tiles draws after a single bind: a
// renderer without dedicated hardware pays for every texture switch.
#pragma once

#include "CZelBase.h"
#include "CZelImage.h"
#include "CZelPointer.h"

#include <GL/gl.h>

#include <vector>

class CZelTileSheet : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelTileSheet, CZelBase)
public:
    // columns x rows tiles of tileSize pixels square.
    CZelTileSheet(int tileSize, int columns, int rows);
    ~CZelTileSheet() override;
    CZelTileSheet(const CZelTileSheet&) = delete;
    CZelTileSheet& operator=(const CZelTileSheet&) = delete;

    // Adds a reference to the RGBA tile of tileSize pixels square, which goes
    // to (column, row) counted from the sheet's lower left corner. The sheet
    // lets go of it once GL holds its pixels. Tiles of another size or
    // format and places outside the sheet are ignored.
    void setTile(int column, int row, CZelImage* tile);

    // Drawing code. The first call makes the texture (nearest filtering,
    // clamped edges) and uploads the tiles; every call binds it. False, with
    // nothing bound, when GL cannot hold a texture of this size: then the
    // sheet stays unusable and has let go of its tiles.
    bool bind();
    bool isCreated() const { return m_created; }
    bool isRefused() const { return m_refused; }

    int getTileSize() const { return m_tileSize; }
    int getColumns() const { return m_columns; }
    int getRows() const { return m_rows; }

private:
    struct Placed
    {
        int column;
        int row;
        CZelPointer<CZelImage> tile;
    };

    bool create();

    int m_tileSize;
    int m_columns;
    int m_rows;
    GLuint m_textureName = 0;
    bool m_created = false;
    bool m_refused = false;
    std::vector<Placed> m_pending;
};
