// A section image standing upright along a 3-D polyline: its top edge follows
// the line and it hangs straight down, cut into square power-of-two tiles that
// bend with the line at every vertex; white and near-white pixels can be left
// out at drawing time, and pixels the picture makes transparent never show.
// The tiles are drawn from a few sheets of many tiles each.
#pragma once

#include "CFencePixelMask.h"
#include "CZelImage.h"
#include "CZelLine3d.h"
#include "CZelPointer.h"
#include "CZelQuadPlane.h"
#include "CZelShape.h"
#include "CZelTexture.h"
#include "CZelTileSheet.h"
#include "CZelTiledPicture.h"

#include <cstdint>
#include <vector>

class CZelImagePlane : public CZelShape
{
    ZEL_DECLARE_CLASS(CZelImagePlane, CZelShape)
public:
    CZelImagePlane() = default;
    ~CZelImagePlane() override = default;

    void doCreateGeometry() override;

    // Adds a reference to the image (the previous one is released) and
    // rebuilds the tiles and quads.
    void setImage(CZelImage* image);
    // Adds a reference to a picture already cut into tiles of this panel's
    // tile size (the previous picture or image is released) and rebuilds the
    // quads on its tiles; tiles of another size build nothing.
    void setTiles(CZelTiledPicture* picture);
    // Borrowed: the image given to setImage.
    CZelImage* getImage() const { return m_rawImage; }
    // Drops the picture and the tiles' pixels once they are no longer needed:
    // the picture now, each tile when GL has taken it. The quads and textures
    // stay; a rebuild then needs a new setImage.
    void releaseImages();
    // Adds a reference to the line of the top edge, in scene coordinates (y
    // up); does not rebuild, so set the line before the image.
    void setLine(CZelLine3d* line) { m_line = line; }
    // Drawing code: hands the tiles to GL now rather than at the first draw,
    // and, once the images are released, lets go of their pixels.
    void uploadTiles();
    // Borrowed: the line given to setLine.
    CZelLine3d* getLine() const { return m_line; }
    // Makes the picture this high below the line whatever its proportions
    // (its width still spreads over the line's length); 0, the default, keeps
    // one pixel as high as it is wide. Does not rebuild: set it before the image.
    void setPanelHeight(double height) { m_panelHeight = height > 0.0 ? height : 0.0; }
    double getPanelHeight() const { return m_panelHeight; }
    // Tiles are 2 to this power pixels square; rebuilds. Exponents outside
    // 0..14 are refused (false) and change nothing.
    bool setTextureSizeExponent(int exponent);
    int getTextureSizeExponent() const { return m_textureSizeExponent; }
    int getTextureSize() const { return m_textureSize; }
    // Takes effect at the next draw.
    void setRemoveWhite(bool remove) { m_removeWhite = remove; }
    bool getRemoveWhite() const { return m_removeWhite; }
    // With remove white on, pixels whose red, green and blue all lie within
    // this distance of 255 are left out too; 0 removes pure white only.
    // Taken within 0..253; takes effect at the next draw, without a rebuild.
    void setWhiteTolerance(int tolerance);
    int getWhiteTolerance() const { return m_whiteTolerance; }

    // Scene height of the picture below the line; 0 while nothing is built.
    double getHeight() const { return m_height; }
    // Tile rows and columns of the last build; -1 while nothing is built.
    int getRows() const { return m_rows; }
    int getColumns() const { return m_columns; }
    // Borrowed: the line as long as all tile columns together; null while
    // nothing is built.
    CZelLine3d* getExtendedLine() const { return m_extendedLine; }
    // The picture of the last build: its size in pixels (as its tiles hold
    // it), and how far along the extended line it reaches, its right edge;
    // 0 while nothing is built.
    int getPictureWidth() const { return m_pictureWidth; }
    int getPictureHeight() const { return m_pictureHeight; }
    double getPictureLength() const { return m_pictureLength; }
    // Where the picture lies in its file, in the file's pixels (see
    // CZelTiledPicture::getFileWindow).
    void getFileWindow(double& left, double& top, double& right, double& bottom) const;
    // Borrowed: which of the picture's pixels are drawn, kept after the
    // pixels themselves have gone to GL; null while nothing is built.
    const CFencePixelMask* getPixelMask() const { return m_pixelMask; }
    // Row r counts from the bottom of the picture. Out-of-range indexes give
    // 0 and null. Everything returned is borrowed.
    int getTileCount(int row) const;
    CZelImage* getTile(int row, int i) const;
    CZelTexture* getTileTexture(int row, int i) const;
    int getQuadCount(int row) const;
    CZelQuadPlane* getQuad(int row, int i) const;

protected:
    // For subclasses that draw a panel of their own instead of a picture.
    void setHeight(double height) { m_height = height; }

private:
    // A stretch of the extended line between two breakpoints (a vertex or a
    // tile edge), lying on one tile column.
    struct Piece
    {
        double start;
        double end;
        int column;
    };

    void rebuild();
    void clearGeometry();
    // The image given to setImage cut into tiles; null when memory is short.
    CZelPointer<CZelTiledPicture> cutPicture() const;
    // The unit direction of the last segment of the line that has one.
    bool lastDirection(CZelVec3d& direction);
    std::vector<Piece> findPieces(double tileLength) const;
    // Keeps the picture's tile of this column and row with a texture of its
    // own in the row. Borrowed: the texture; null when the picture has no
    // such tile.
    CZelTexture* takeTile(const CZelTiledPicture* picture, int column, int row);
    // Groups the tiles into sheets and every quad with the sheet of its tile.
    void layOutSheets(const std::vector<Piece>& pieces);
    // Binds a sheet, uploading it the first time; false when GL cannot hold it.
    bool bindSheet(size_t index);
    // Draws the quads of one sheet after a single bind; false when GL cannot
    // hold the sheet, and the quads must draw themselves.
    bool drawSheet(size_t index);

    // A quad (borrowed) and the place of its tile in its sheet.
    struct SheetQuad
    {
        CZelQuadPlane* quad;
        int column;
        int row;
    };
    struct Sheet
    {
        CZelPointer<CZelTileSheet> sheet;
        std::vector<SheetQuad> quads;
        // Borrowed: the textures of the sheet's tiles.
        std::vector<CZelTexture*> textures;
    };

    CZelPointer<CZelImage> m_rawImage;
    CZelPointer<CZelTiledPicture> m_picture;
    CZelPointer<CZelLine3d> m_line;
    CZelPointer<CZelLine3d> m_extendedLine;
    int32_t m_textureSizeExponent = 8;
    int32_t m_textureSize = 256;
    int32_t m_rows = -1;
    int32_t m_columns = -1;
    bool m_removeWhite = true;
    int m_whiteTolerance = 0;
    double m_height = 0.0;
    double m_panelHeight = 0.0;
    int m_pictureWidth = 0;
    int m_pictureHeight = 0;
    double m_pictureLength = 0.0;
    double m_fileWindow[4] = {0.0, 0.0, 0.0, 0.0};
    CZelPointer<CFencePixelMask> m_pixelMask;
    std::vector<std::vector<CZelPointer<CZelImage>>> m_tiles;
    std::vector<std::vector<CZelPointer<CZelTexture>>> m_textures;
    std::vector<std::vector<CZelPointer<CZelQuadPlane>>> m_quads;
    std::vector<Sheet> m_sheets;
    CZelPointer<CZelMaterial> m_tileMaterial;
    bool m_imagesReleased = false;
};
