// Cutting the section image into tiles and laying them along the line piece
// by piece. All geometry is computed in double; setCorner is the one place
// where scene coordinates reach the quads.
#include "CZelImagePlane.h"

#include "CMorMemory.h"
#include "CZelFileImage.h"
#include "CZelGlobalState.h"
#include "CZelMaterial.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <iostream>
#include <utility>

namespace {

constexpr int LARGEST_EXPONENT = 14;
// A tile edge this close before a segment's end (as a fraction of the segment)
// falls on the vertex instead of making a piece of its own.
constexpr double EDGE_TOLERANCE = 0.999999;
// Sheets stay within what every GL implementation of the last decade holds
// in one texture; a sheet GL refuses all the same is drawn tile by tile.
constexpr int LARGEST_SHEET = 4096;
// Alpha 255 stands for every distance from white from 254 on.
constexpr int LARGEST_WHITE_TOLERANCE = 253;

int ceilDivide(int a, int b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

// Splits count tiles into runs whose lengths are powers of two of at most
// largest tiles (itself a power of two), longest first: (start, length) pairs.
std::vector<std::pair<int, int>> powerOfTwoRuns(int count, int largest)
{
    std::vector<std::pair<int, int>> runs;
    for (int start = 0; start < count;) {
        int length = largest;
        while (length > count - start)
            length /= 2;
        runs.emplace_back(start, length);
        start += length;
    }
    return runs;
}

// The points of the line at distances that never decrease, in one walk along
// it: what getPosition gives for each, without its search from the line's
// start, which made panels along lines of many points quadratic in time.
std::vector<CZelVec3d> positionsAlong(CZelLine3d* line, const std::vector<double>& distances)
{
    std::vector<CZelVec3d> result;
    result.reserve(distances.size());
    const int count = line->getSegmentCount();
    int i = 0;
    double done = 0.0;
    for (const double s : distances) {
        bool found = false;
        // Zero-length segments give no quotient of at most 1 and are passed over.
        for (; s > 0.0 && i < count; ++i) {
            CZelLineSegment3d* segment = line->getSegment(i);
            const double length = segment->getLength();
            const double u = (s - done) / length;
            if (u <= 1.0) {
                result.push_back(*segment->getPosition(u));
                found = true;
                break;
            }
            done += length;
        }
        if (!found)
            result.push_back(*line->getPosition(s));
    }
    return result;
}

// Scene coordinates reach the quads here and only here. The quad is borrowed.
void setCorner(CZelQuadPlane* quad, int corner, const CZelVec3d& p, double y, double s, double t)
{
    quad->setCoord(corner, p.x(), y, p.z());
    quad->setTextureCoord(corner, s, t);
}

} // namespace

void CZelImagePlane::setImage(CZelImage* image)
{
    m_rawImage = image;
    m_picture = nullptr;
    m_imagesReleased = false;
    rebuild();
}

void CZelImagePlane::setTiles(CZelTiledPicture* picture)
{
    m_picture = picture;
    m_rawImage = nullptr;
    m_imagesReleased = false;
    rebuild();
}

void CZelImagePlane::releaseImages()
{
    m_rawImage = nullptr;
    m_picture = nullptr;
    // The sheets and the tile textures hold the tiles until GL has them.
    for (auto& row : m_textures)
        for (CZelTexture* texture : row)
            texture->setReleaseImageAfterUpload(true);
    m_tiles.clear();
    m_imagesReleased = true;
}

void CZelImagePlane::setWhiteTolerance(int tolerance)
{
    m_whiteTolerance = std::max(0, std::min(LARGEST_WHITE_TOLERANCE, tolerance));
}

bool CZelImagePlane::setTextureSizeExponent(int exponent)
{
    if (exponent < 0 || exponent > LARGEST_EXPONENT)
        return false;
    m_textureSizeExponent = exponent;
    rebuild();
    return true;
}

int CZelImagePlane::getTileCount(int row) const
{
    return row >= 0 && row < static_cast<int>(m_tiles.size()) ? static_cast<int>(m_tiles[static_cast<size_t>(row)].size())
                                                             : 0;
}

CZelImage* CZelImagePlane::getTile(int row, int i) const
{
    return i >= 0 && i < getTileCount(row) ? m_tiles[static_cast<size_t>(row)][static_cast<size_t>(i)].get() : nullptr;
}

CZelTexture* CZelImagePlane::getTileTexture(int row, int i) const
{
    return i >= 0 && i < getTileCount(row) ? m_textures[static_cast<size_t>(row)][static_cast<size_t>(i)].get()
                                           : nullptr;
}

int CZelImagePlane::getQuadCount(int row) const
{
    return row >= 0 && row < static_cast<int>(m_quads.size()) ? static_cast<int>(m_quads[static_cast<size_t>(row)].size())
                                                             : 0;
}

CZelQuadPlane* CZelImagePlane::getQuad(int row, int i) const
{
    return i >= 0 && i < getQuadCount(row) ? m_quads[static_cast<size_t>(row)][static_cast<size_t>(i)].get() : nullptr;
}

void CZelImagePlane::clearGeometry()
{
    m_tiles.clear();
    m_textures.clear();
    m_quads.clear();
    m_sheets.clear();
    m_extendedLine = nullptr;
    m_rows = -1;
    m_columns = -1;
    m_height = 0.0;
    m_pictureWidth = m_pictureHeight = 0;
    m_pictureLength = 0.0;
    m_pixelMask = nullptr;
}

void CZelImagePlane::getFileWindow(double& left, double& top, double& right, double& bottom) const
{
    left = m_fileWindow[0];
    top = m_fileWindow[1];
    right = m_fileWindow[2];
    bottom = m_fileWindow[3];
}

bool CZelImagePlane::lastDirection(CZelVec3d& direction)
{
    for (int i = m_line->getSegmentCount() - 1; i >= 0; --i) {
        CZelLineSegment3d* segment = m_line->getSegment(i);
        direction = *segment->getSecondPoint() - *segment->getFirstPoint();
        if (direction.normalize())
            return true;
    }
    return false;
}

std::vector<CZelImagePlane::Piece> CZelImagePlane::findPieces(double tileLength) const
{
    struct Breakpoint
    {
        double distance;
        int column;
    };
    std::vector<Breakpoint> breakpoints{{0.0, 0}};
    double nextEdge = tileLength;
    double segmentStart = 0.0;
    int column = 0;
    for (int i = 0; i < m_extendedLine->getSegmentCount();) {
        const double length = m_extendedLine->getSegment(i)->getLength();
        // A zero-length segment gives an infinite or undefined quotient and is
        // passed over. The last column's right edge is the line's end, so
        // rounding can never open a column beyond the picture.
        const double t = (nextEdge - segmentStart) / length;
        if (t < EDGE_TOLERANCE && column + 1 < m_columns) {
            ++column;
            breakpoints.push_back({nextEdge, column});
            nextEdge += tileLength;
        } else {
            segmentStart += length;
            breakpoints.push_back({segmentStart, column});
            ++i;
        }
    }
    std::vector<Piece> pieces;
    for (size_t k = 0; k + 1 < breakpoints.size(); ++k)
        pieces.push_back({breakpoints[k].distance, breakpoints[k + 1].distance, breakpoints[k].column});
    return pieces;
}

CZelTexture* CZelImagePlane::takeTile(const CZelTiledPicture* picture, int column, int row)
{
    CZelImage* tile = picture->getTile(row, column);
    if (!tile)
        return nullptr;
    m_tiles[static_cast<size_t>(row)].emplace_back(tile);

    CZelTexture* texture = new CZelTexture();
    texture->setImage(tile);
    texture->setFilters(GL_NEAREST, GL_NEAREST);
    texture->setMode(GL_MODULATE);
    m_textures[static_cast<size_t>(row)].emplace_back(texture);
    return texture;
}

CZelPointer<CZelTiledPicture> CZelImagePlane::cutPicture() const
{
    CZelPointer<CZelTiledPicture> picture = new CZelTiledPicture(m_textureSize);
    if (!picture->cut(m_rawImage))
        return nullptr;
    if (m_rawImage->isClass("CZelFileImage")) {
        const CZelFileImage* file = static_cast<const CZelFileImage*>(m_rawImage.get());
        picture->setSourceSize(file->getSourceWidth(), file->getSourceHeight());
    }
    return picture;
}

void CZelImagePlane::rebuild()
{
    m_textureSize = 1 << m_textureSizeExponent;
    clearGeometry();
    if (!m_line)
        return;
    const bool hasRawImage = m_rawImage && m_rawImage->getWidth() > 0 && m_rawImage->getHeight() > 0 &&
                             m_rawImage->getPixels();
    const bool hasPicture = m_picture && m_picture->getTileSize() == m_textureSize && m_picture->getRows() > 0;
    if (!hasRawImage && !hasPicture)
        return;
    // Without a length there is no direction to hang the picture from, and
    // every scale would divide by zero.
    const double length = m_line->getLength();
    CZelVec3d direction;
    if (!(length > 0.0) || !std::isfinite(length) || !lastDirection(direction)) {
        std::cout << "Image plane: the line has no length, nothing is built" << std::endl;
        return;
    }
    const CZelPointer<CZelTiledPicture> picture = hasPicture ? m_picture : cutPicture();
    if (!picture) {
        std::cout << "Image plane: not enough memory for the tiles, nothing is built" << std::endl;
        return;
    }
    const int width = picture->getWidth();
    const int height = picture->getHeight();

    const int ts = m_textureSize;
    m_columns = ceilDivide(width, ts);
    const double realTotalLength = static_cast<double>(m_columns) * ts * length / width;
    // The line runs straight on past its end (along its last segment that has
    // a direction), so that the picture's right edge falls on the last point.
    m_extendedLine = new CZelLine3d();
    m_extendedLine->copyFrom(m_line);
    CZelVec3d* end = m_extendedLine->getPoint(m_extendedLine->getPointCount() - 1);
    *end = *end + direction * (realTotalLength - length);
    const double extendedLength = m_extendedLine->getLength();
    std::cout << "realTotalLength" << " = " << extendedLength << std::endl;

    m_rows = ceilDivide(height, ts);
    const double tileLength = extendedLength / m_columns;
    m_pictureWidth = width;
    m_pictureHeight = height;
    // Where the last piece ends (its texture reaches ratioX of its tile).
    m_pictureLength = static_cast<double>(width) * tileLength / ts;
    picture->getFileWindow(m_fileWindow[0], m_fileWindow[1], m_fileWindow[2], m_fileWindow[3]);
    m_pixelMask = picture->getPixelRuns();
    // A picture reduced while it was read keeps the proportions of the
    // file's: its pixels may stand a little taller or lower than wide.
    const bool reduced = picture->getSourceWidth() != width || picture->getSourceHeight() != height;
    const double tileHeight = reduced ? tileLength * picture->getSourceHeight() / picture->getSourceWidth() *
                                            width / height
                                      : tileLength;
    const int64_t imageDiffY = static_cast<int64_t>(m_rows) * ts - height;
    // The scene height of a tile row: as long as a tile is wide (for a reduced picture, as its
    // file's proportions make it), unless the
    // panel's height is given.
    const double rowLength = m_panelHeight > 0.0 ? m_panelHeight * ts / height : tileHeight;
    const double imageOffsetY = static_cast<double>(imageDiffY) * rowLength / ts;
    m_height = m_rows * rowLength - imageOffsetY;
    std::cout << "---- " << "OffsetCalc Start" << " ----" << std::endl;
    std::cout << "m_rows" << " = " << m_rows << std::endl;
    std::cout << "m_textureSize" << " = " << ts << std::endl;
    std::cout << "m_rawImage->getHeight()" << " = " << height << std::endl;
    std::cout << "imageHeight" << " = " << tileLength << std::endl;
    std::cout << "imageDiffY" << " = " << imageDiffY << std::endl;
    std::cout << "imageOffsetY" << " = " << imageOffsetY << std::endl;
    std::cout << "---- " << "OffsetCalc End" << " ----" << std::endl;

    const std::vector<Piece> pieces = findPieces(tileLength);
    std::vector<double> ends;
    for (const Piece& piece : pieces) {
        ends.push_back(piece.start);
        ends.push_back(piece.end);
    }
    const std::vector<CZelVec3d> endPoints = positionsAlong(m_extendedLine, ends);
    m_tiles.resize(static_cast<size_t>(m_rows));
    m_textures.resize(static_cast<size_t>(m_rows));
    m_quads.resize(static_cast<size_t>(m_rows));

    m_tileMaterial = new CZelMaterial();
    m_tileMaterial->setAlphaValue(1.0f);
    m_tileMaterial->setDiffuseColor(1.0f, 1.0f, 1.0f, 1.0f);
    m_tileMaterial->setAmbientColor(1.0f, 1.0f, 1.0f, 1.0f);

    for (int r = 0; r < m_rows; ++r) {
        const int64_t rowDiffY = r == m_rows - 1 ? imageDiffY : 0;
        std::cout << "imageDiffY = " << rowDiffY << std::endl;
        const double ratioY = rowDiffY != 0 ? static_cast<double>(ts - rowDiffY) / ts : 1.0;
        const double bottomDrop = (m_rows - r) * rowLength - imageOffsetY;
        const double topDrop = (m_rows - r - ratioY) * rowLength - imageOffsetY;
        CZelTexture* texture = nullptr;
        for (size_t k = 0; k < pieces.size(); ++k) {
            const Piece& piece = pieces[k];
            const int c = piece.column;
            int64_t imageDiffX = 0;
            if (k + 1 == pieces.size()) {
                imageDiffX = (static_cast<int64_t>(c) + 1) * ts - width;
                std::cout << "imageDiffX = " << imageDiffX << std::endl;
            }
            if (k == 0 || c != pieces[k - 1].column) {
                texture = takeTile(picture, c, r);
                if (!texture) {
                    std::cout << "Image plane: the picture lacks a tile, nothing is built" << std::endl;
                    clearGeometry();
                    return;
                }
            }
            const CZelVec3d& p0 = endPoints[2 * k];
            CZelVec3d p1 = endPoints[2 * k + 1];
            const double columnStart = c * tileLength;
            const double s0 = (piece.start - columnStart) / tileLength;
            double s1 = (piece.end - columnStart) / tileLength;
            if (imageDiffX != 0) {
                // The picture ends inside this tile, on the line's last point.
                const double ratioX = static_cast<double>(ts - imageDiffX) / ts;
                p1 = p0 + (p1 - p0) * ((ratioX - s0) / (s1 - s0));
                s1 = ratioX;
                std::cout << "ratioX = " << ratioX << std::endl;
                if (rowDiffY != 0)
                    std::cout << "ratioY" << " = " << ratioY << std::endl;
            }

            CZelQuadPlane* quad = new CZelQuadPlane();
            quad->setSize(1.0, 1.0);
            setCorner(quad, 0, p0, p0.y() - bottomDrop, s0, 0.0);
            setCorner(quad, 1, p1, p1.y() - bottomDrop, s1, 0.0);
            setCorner(quad, 2, p1, p1.y() - topDrop, s1, ratioY);
            setCorner(quad, 3, p0, p0.y() - topDrop, s0, ratioY);
            // The normals were made for the flat square the quad started as;
            // lighting needs those of the corners just set.
            quad->refresh();
            quad->setTexture(texture);
            quad->setMaterial(m_tileMaterial);
            m_quads[static_cast<size_t>(r)].emplace_back(quad);
        }
    }
    layOutSheets(pieces);
}

void CZelImagePlane::layOutSheets(const std::vector<Piece>& pieces)
{
    const int largest = std::max(1, LARGEST_SHEET / m_textureSize);
    for (const std::pair<int, int>& rows : powerOfTwoRuns(m_rows, largest))
        for (const std::pair<int, int>& columns : powerOfTwoRuns(m_columns, largest)) {
            Sheet sheet;
            sheet.sheet = new CZelTileSheet(m_textureSize, columns.second, rows.second);
            for (int r = rows.first; r < rows.first + rows.second; ++r) {
                const size_t row = static_cast<size_t>(r);
                for (int c = columns.first; c < columns.first + columns.second; ++c) {
                    const size_t column = static_cast<size_t>(c);
                    sheet.sheet->setTile(c - columns.first, r - rows.first, m_tiles[row][column]);
                    sheet.textures.push_back(m_textures[row][column]);
                }
                for (size_t k = 0; k < pieces.size(); ++k) {
                    const int c = pieces[k].column;
                    if (c >= columns.first && c < columns.first + columns.second)
                        sheet.quads.push_back({m_quads[row][k], c - columns.first, r - rows.first});
                }
            }
            m_sheets.push_back(std::move(sheet));
        }
}

bool CZelImagePlane::bindSheet(size_t index)
{
    Sheet& sheet = m_sheets[index];
    const bool uploaded = sheet.sheet->isCreated();
    if (!sheet.sheet->bind())
        return false;
    // GL holds the pixels now; the tile textures only keep them for a sheet
    // GL refuses. Their memory goes back at once, before the next sheet's
    // texture takes as much again.
    if (!uploaded && m_imagesReleased) {
        for (CZelTexture* texture : sheet.textures)
            texture->setImage(nullptr);
        CMorMemory::returnFreedPages();
    }
    return true;
}

void CZelImagePlane::uploadTiles()
{
    if (!CZelGlobalState::getInstance()->getTextures())
        return;
    glPushAttrib(GL_TEXTURE_BIT);
    for (size_t i = 0; i < m_sheets.size(); ++i)
        bindSheet(i);
    glPopAttrib();
}

bool CZelImagePlane::drawSheet(size_t index)
{
    Sheet& sheet = m_sheets[index];
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
    if (!bindSheet(index)) {
        glPopAttrib();
        return false;
    }
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    if (CZelGlobalState::getInstance()->getMaterials())
        m_tileMaterial->render();
    const double across = sheet.sheet->getColumns();
    const double up = sheet.sheet->getRows();
    glBegin(GL_QUADS);
    for (const SheetQuad& entry : sheet.quads) {
        if (const CZelVec3d* normal = entry.quad->getNormal(0))
            glNormal3dv(normal->getArray());
        for (int j = 0; j < 4; ++j) {
            const CZelVec3d* st = entry.quad->getTextureCoord(j);
            glTexCoord2d((entry.column + st->x()) / across, (entry.row + st->y()) / up);
            glVertex3dv(entry.quad->getCoord(j)->getArray());
        }
    }
    glEnd();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    return true;
}

void CZelImagePlane::doCreateGeometry()
{
    // The alpha test is put back afterwards, so that later shapes are drawn
    // as if no panel had been drawn before them.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    // The highest alpha left out: 0 keeps every pixel the picture does not
    // make transparent, T + 1 leaves out those within T of white too. The reference lies a quarter step
    // above it, right whether GL compares floats or rounds the reference to
    // 8 bits (half a step would round up to the next alpha).
    const int highestLeftOut = m_removeWhite ? m_whiteTolerance + 1 : 0;
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, (static_cast<float>(highestLeftOut) + 0.25f) / 255.0f);
    const bool textured = CZelGlobalState::getInstance()->getTextures();
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (textured && drawSheet(i))
            continue;
        for (const SheetQuad& entry : m_sheets[i].quads)
            entry.quad->render();
    }
    glPopAttrib();
}
