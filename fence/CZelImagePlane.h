// A section image standing upright along a 3-D polyline: its top edge follows
// the line and it hangs straight down, bending with the line at every vertex.
// The picture is a resolution pyramid (CPyramid): each frame draws every
// visible part from the coarsest level whose texels are no larger than the
// screen pixels they cover, and asks for finer tiles where it needs them;
// until they come, the finest level at hand stands in. White and near-white
// pixels can be left out, and pixels the picture makes transparent never
// show. The build still lays full-resolution tiles of the texture size along
// the line as quads, which say where each part of the picture stands.
#pragma once

#include "CFencePixelMask.h"
#include "CPyramid.h"
#include "CPyramidTextures.h"
#include "CZelImage.h"
#include "CZelLine3d.h"
#include "CZelPointer.h"
#include "CZelQuadPlane.h"
#include "CZelShape.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class CZelImagePlane : public CZelShape
{
    ZEL_DECLARE_CLASS(CZelImagePlane, CZelShape)
public:
    CZelImagePlane() = default;
    ~CZelImagePlane() override;

    void doCreateGeometry() override;

    // Makes a pyramid of the image (borrowed; held in memory) and rebuilds.
    void setImage(CZelImage* image);
    // Takes the picture's pyramid and rebuilds.
    void setPyramid(std::shared_ptr<CPyramid> pyramid);
    const std::shared_ptr<CPyramid>& getPyramid() const { return m_pyramid; }
    // Drawing code: hands the always-resident coarse tiles to GL now rather
    // than at the first draw.
    void uploadTiles();
    // Adds a reference to the line of the top edge, in scene coordinates (y
    // up); does not rebuild, so set the line before the image.
    void setLine(CZelLine3d* line) { m_line = line; }
    // Borrowed: the line given to setLine.
    CZelLine3d* getLine() const { return m_line; }
    // Makes the picture this high below the line whatever its proportions
    // (its width still spreads over the line's length); 0, the default, keeps
    // one pixel as high as it is wide. Does not rebuild: set it before the image.
    void setPanelHeight(double height) { m_panelHeight = height > 0.0 ? height : 0.0; }
    double getPanelHeight() const { return m_panelHeight; }
    // The build lays tiles of 2 to this power pixels; rebuilds. Exponents
    // outside 0..14 are refused (false) and change nothing.
    bool setTextureSizeExponent(int exponent);
    int getTextureSizeExponent() const { return m_textureSizeExponent; }
    int getTextureSize() const { return m_textureSize; }
    // Takes effect at the next draw: the full-resolution tiles at once, the
    // coarser levels once they are made for it (the old ones stand in).
    void setRemoveWhite(bool remove) { m_removeWhite = remove; }
    bool getRemoveWhite() const { return m_removeWhite; }
    // With remove white on, pixels whose red, green and blue all lie within
    // this distance of 255 are left out too; 0 removes pure white only.
    // Taken within 0..253.
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
    // The picture of the last build: its size in pixels, and how far along
    // the extended line it reaches, its right edge; 0 while nothing is built.
    int getPictureWidth() const { return m_pictureWidth; }
    int getPictureHeight() const { return m_pictureHeight; }
    double getPictureLength() const { return m_pictureLength; }
    // Where the picture lies in its file, in the file's pixels from the top
    // left, ends exclusive: its crop, or the whole file.
    void getFileWindow(double& left, double& top, double& right, double& bottom) const;
    // Borrowed: which of the picture's pixels are drawn, kept after the
    // pixels themselves have gone to GL; null while nothing is built.
    const CFencePixelMask* getPixelMask() const { return m_pixelMask; }
    // Row r counts from the bottom of the picture. Out-of-range indexes give
    // 0 and null. Borrowed.
    int getQuadCount(int row) const;
    CZelQuadPlane* getQuad(int row, int i) const;
    // The GL side of the pyramid, for tests; null while nothing is built.
    CPyramidTextures* getTextures() const { return m_textures.get(); }

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
    // A part of the picture (full-resolution pixels from the top left, ends
    // exclusive) drawn from a tile of a level.
    struct Patch
    {
        GLuint texture;
        bool opaque;
        double x0, x1, y0, y1;
        int level, row, column;
    };

    void rebuild();
    void clearGeometry();
    // The full-resolution tiles laid along the line as the build logs them:
    // written to the log, or made into quads (asked for only by those who
    // read them, and for drawing without textures).
    void layQuads(bool build) const;
    // The unit direction of the last segment of the line that has one.
    bool lastDirection(CZelVec3d& direction);
    std::vector<Piece> findPieces(double tileLength) const;
    // The distances along the extended line of full-resolution columns x0
    // and x1 and of the vertices between them.
    void breakpoints(double x0, double x1, std::vector<double>& along) const;
    // The extended line's point at a distance along it.
    CZelVec3d pointAt(double distance) const;
    // Chooses the level of the tile and its parts, recursively, adding what
    // is drawn to the patches.
    void choose(int level, int row, int column, std::vector<Patch>& patches);
    // Draws the part of the picture a tile covers from the finest texture at
    // hand for it.
    void place(int level, int row, int column, std::vector<Patch>& patches);
    void drawPatch(const Patch& patch) const;

    std::shared_ptr<CPyramid> m_pyramid;
    std::unique_ptr<CPyramidTextures> m_textures;
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
    // Scene units a full-resolution pixel spans along the line and down.
    double m_pixelWidth = 0.0;
    double m_pixelHeight = 0.0;
    // The extended line's points and their distances along it.
    std::vector<double> m_vertexDistances;
    std::vector<CZelVec3d> m_vertexPoints;
    // What the quads are laid from.
    struct QuadLayout
    {
        std::vector<Piece> pieces;
        std::vector<CZelVec3d> endPoints;
        double tileLength;
        double rowLength;
        double imageOffsetY;
        int64_t imageDiffY;
        int width;
    };
    QuadLayout m_layout;
    mutable std::vector<std::vector<CZelPointer<CZelQuadPlane>>> m_quads;
    CZelPointer<CZelMaterial> m_tileMaterial;
    // The current draw's projection: model to clip coordinates, and the
    // viewport's size.
    double m_toClip[16] = {};
    double m_viewport[2] = {1.0, 1.0};
    bool m_toldDamage = false;
    // Lists a draw fills anew for every tile, kept to spare their memory.
    mutable std::vector<double> m_along;
    std::vector<std::array<double, 4>> m_clip;
    std::vector<std::array<double, 2>> m_screen;
    std::vector<Patch> m_patches;
};
