// Laying the section picture along the line and drawing it level by level.
// All geometry is computed in double; setCorner and drawPatch are where scene
// coordinates reach GL.
#include "CZelImagePlane.h"

#include "CFencePyramidMask.h"

#include "CPyramidMemory.h"
#include "CZelGlobalState.h"
#include "CZelMaterial.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <iostream>
#include <utility>

namespace {

constexpr int LARGEST_EXPONENT = 14;
// A tile edge this close before a segment's end (as a fraction of the segment)
// falls on the vertex instead of making a piece of its own.
constexpr double EDGE_TOLERANCE = 0.999999;
constexpr int TILE = CPyramidLayout::TILE;
// Alpha 255 stands for every distance from white from 254 on.
constexpr int LARGEST_WHITE_TOLERANCE = 253;

int ceilDivide(int a, int b)
{
    return a / b + (a % b != 0 ? 1 : 0);
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

CZelImagePlane::~CZelImagePlane() = default;

void CZelImagePlane::setImage(CZelImage* image)
{
    setPyramid(CPyramid::fromImage(image, CPyramidVariant(m_removeWhite, m_whiteTolerance)));
}

void CZelImagePlane::setPyramid(std::shared_ptr<CPyramid> pyramid)
{
    m_pyramid = std::move(pyramid);
    rebuild();
}

void CZelImagePlane::uploadTiles()
{
    if (m_textures && CZelGlobalState::getInstance()->getTextures()) {
        m_textures->setVariant(CPyramidVariant(m_removeWhite, m_whiteTolerance));
        m_textures->update();
    }
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

int CZelImagePlane::getQuadCount(int row) const
{
    if (m_quads.empty() && m_rows > 0)
        layQuads(true);
    return row >= 0 && row < static_cast<int>(m_quads.size()) ? static_cast<int>(m_quads[static_cast<size_t>(row)].size())
                                                             : 0;
}

CZelQuadPlane* CZelImagePlane::getQuad(int row, int i) const
{
    return i >= 0 && i < getQuadCount(row) ? m_quads[static_cast<size_t>(row)][static_cast<size_t>(i)].get() : nullptr;
}

void CZelImagePlane::clearGeometry()
{
    m_textures.reset();
    m_quads.clear();
    m_vertexDistances.clear();
    m_vertexPoints.clear();
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

void CZelImagePlane::rebuild()
{
    m_textureSize = 1 << m_textureSizeExponent;
    clearGeometry();
    if (!m_line)
        return;
    if (!m_pyramid)
        return;
    // Without a length there is no direction to hang the picture from, and
    // every scale would divide by zero.
    const double length = m_line->getLength();
    CZelVec3d direction;
    if (!(length > 0.0) || !std::isfinite(length) || !lastDirection(direction)) {
        std::cout << "Image plane: the line has no length, nothing is built" << std::endl;
        return;
    }
    const int width = m_pyramid->getWidth();
    const int height = m_pyramid->getHeight();

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
    m_fileWindow[0] = m_pyramid->getFileLeft();
    m_fileWindow[1] = m_pyramid->getFileTop();
    m_fileWindow[2] = m_fileWindow[0] + width;
    m_fileWindow[3] = m_fileWindow[1] + height;
    m_pixelMask = new CFencePyramidMask(m_pyramid);
    const int64_t imageDiffY = static_cast<int64_t>(m_rows) * ts - height;
    // The scene height of a tile row: as long as a tile is wide, unless the
    // panel's height is given.
    const double rowLength = m_panelHeight > 0.0 ? m_panelHeight * ts / height : tileLength;
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
    m_pixelWidth = tileLength / ts;
    m_pixelHeight = rowLength / ts;
    double along = 0.0;
    for (int i = 0; i < m_extendedLine->getPointCount(); ++i) {
        if (i > 0)
            along += m_extendedLine->getSegment(i - 1)->getLength();
        m_vertexDistances.push_back(along);
        m_vertexPoints.push_back(*m_extendedLine->getPoint(i));
    }

    m_tileMaterial = new CZelMaterial();
    m_tileMaterial->setAlphaValue(1.0f);
    m_tileMaterial->setDiffuseColor(1.0f, 1.0f, 1.0f, 1.0f);
    m_tileMaterial->setAmbientColor(1.0f, 1.0f, 1.0f, 1.0f);

    m_layout = {std::move(pieces), endPoints, tileLength, rowLength, imageOffsetY, imageDiffY, width};
    layQuads(false);
    m_textures.reset(new CPyramidTextures(m_pyramid, CPyramidVariant(m_removeWhite, m_whiteTolerance)));
}

void CZelImagePlane::layQuads(bool build) const
{
    const int ts = m_textureSize;
    if (build)
        m_quads.assign(static_cast<size_t>(m_rows), {});
    for (int r = 0; r < m_rows; ++r) {
        const int64_t rowDiffY = r == m_rows - 1 ? m_layout.imageDiffY : 0;
        if (!build)
            std::cout << "imageDiffY = " << rowDiffY << std::endl;
        const double ratioY = rowDiffY != 0 ? static_cast<double>(ts - rowDiffY) / ts : 1.0;
        const double bottomDrop = (m_rows - r) * m_layout.rowLength - m_layout.imageOffsetY;
        const double topDrop = (m_rows - r - ratioY) * m_layout.rowLength - m_layout.imageOffsetY;
        for (size_t k = 0; k < m_layout.pieces.size(); ++k) {
            const Piece& piece = m_layout.pieces[k];
            const int c = piece.column;
            int64_t imageDiffX = 0;
            if (k + 1 == m_layout.pieces.size()) {
                imageDiffX = (static_cast<int64_t>(c) + 1) * ts - m_layout.width;
                if (!build)
                    std::cout << "imageDiffX = " << imageDiffX << std::endl;
            }
            const CZelVec3d& p0 = m_layout.endPoints[2 * k];
            CZelVec3d p1 = m_layout.endPoints[2 * k + 1];
            const double columnStart = c * m_layout.tileLength;
            const double s0 = (piece.start - columnStart) / m_layout.tileLength;
            double s1 = (piece.end - columnStart) / m_layout.tileLength;
            if (imageDiffX != 0) {
                // The picture ends inside this tile, on the line's last point.
                const double ratioX = static_cast<double>(ts - imageDiffX) / ts;
                p1 = p0 + (p1 - p0) * ((ratioX - s0) / (s1 - s0));
                s1 = ratioX;
                if (!build) {
                    std::cout << "ratioX = " << ratioX << std::endl;
                    if (rowDiffY != 0)
                        std::cout << "ratioY" << " = " << ratioY << std::endl;
                }
            }

            if (!build)
                continue;
            CZelQuadPlane* quad = new CZelQuadPlane();
            quad->setSize(1.0, 1.0);
            setCorner(quad, 0, p0, p0.y() - bottomDrop, s0, 0.0);
            setCorner(quad, 1, p1, p1.y() - bottomDrop, s1, 0.0);
            setCorner(quad, 2, p1, p1.y() - topDrop, s1, ratioY);
            setCorner(quad, 3, p0, p0.y() - topDrop, s0, ratioY);
            // The normals were made for the flat square the quad started as;
            // lighting needs those of the corners just set.
            quad->refresh();
            quad->setMaterial(m_tileMaterial);
            m_quads[static_cast<size_t>(r)].emplace_back(quad);
        }
    }
}

void CZelImagePlane::breakpoints(double x0, double x1, std::vector<double>& along) const
{
    const double start = x0 * m_pixelWidth, end = x1 * m_pixelWidth;
    along.clear();
    along.push_back(start);
    for (auto d = std::upper_bound(m_vertexDistances.begin(), m_vertexDistances.end(), start);
         d != m_vertexDistances.end() && *d < end; ++d)
        along.push_back(*d);
    along.push_back(end);
}

CZelVec3d CZelImagePlane::pointAt(double distance) const
{
    const size_t count = m_vertexDistances.size();
    size_t i = static_cast<size_t>(std::upper_bound(m_vertexDistances.begin(), m_vertexDistances.end(), distance) -
                                   m_vertexDistances.begin());
    i = std::max<size_t>(1, std::min(i, count - 1));
    const double start = m_vertexDistances[i - 1];
    const double length = m_vertexDistances[i] - start;
    const double u = length > 0.0 ? (distance - start) / length : 0.0;
    return m_vertexPoints[i - 1] + (m_vertexPoints[i] - m_vertexPoints[i - 1]) * u;
}

void CZelImagePlane::choose(int level, int row, int column, std::vector<Patch>& patches)
{
    const double scale = static_cast<double>(1 << level);
    const double width = m_pyramid->getWidth(), height = m_pyramid->getHeight();
    const double x0 = column * TILE * scale, x1 = std::min(width, (column + 1) * TILE * scale);
    const double y0 = row * TILE * scale, y1 = std::min(height, (row + 1) * TILE * scale);
    // The tile's corners and the vertices within it, at its top and bottom,
    // in clip coordinates. The scratch lists are done with before the
    // recursion below.
    std::vector<double>& along = m_along;
    breakpoints(x0, x1, along);
    std::vector<std::array<double, 4>>& clip = m_clip;
    clip.clear();
    for (const double d : along) {
        const CZelVec3d p = pointAt(d);
        for (const double drop : {y0 * m_pixelHeight, y1 * m_pixelHeight}) {
            const double v[3] = {p.x(), p.y() - drop, p.z()};
            std::array<double, 4> c;
            for (int k = 0; k < 4; ++k)
                c[static_cast<size_t>(k)] = m_toClip[k] * v[0] + m_toClip[4 + k] * v[1] + m_toClip[8 + k] * v[2] +
                                            m_toClip[12 + k];
            clip.push_back(c);
        }
    }
    // Outside the view when every point lies beyond one of its planes.
    for (int axis = 0; axis < 3; ++axis)
        for (const double side : {-1.0, 1.0}) {
            bool outside = true;
            for (const std::array<double, 4>& c : clip)
                outside = outside && side * c[static_cast<size_t>(axis)] > c[3];
            if (outside)
                return;
        }
    if (level == 0) {
        place(level, row, column, patches);
        return;
    }
    // Its texels against the screen's pixels, along and down.
    bool behind = false;
    double across = 0.0, down = 0.0;
    std::vector<std::array<double, 2>>& screen = m_screen;
    screen.clear();
    for (const std::array<double, 4>& c : clip) {
        behind = behind || c[3] <= 1e-9;
        screen.push_back({c[0] / c[3] * 0.5 * m_viewport[0], c[1] / c[3] * 0.5 * m_viewport[1]});
    }
    if (!behind) {
        double top = 0.0, bottom = 0.0;
        for (size_t i = 0; i + 2 < screen.size(); i += 2) {
            top += std::hypot(screen[i + 2][0] - screen[i][0], screen[i + 2][1] - screen[i][1]);
            bottom += std::hypot(screen[i + 3][0] - screen[i + 1][0], screen[i + 3][1] - screen[i + 1][1]);
        }
        across = std::max(top, bottom);
        for (size_t i = 0; i + 1 < screen.size(); i += 2)
            down = std::max(down, std::hypot(screen[i + 1][0] - screen[i][0], screen[i + 1][1] - screen[i][1]));
    }
    if (!behind && across <= (x1 - x0) / scale && down <= (y1 - y0) / scale) {
        place(level, row, column, patches);
        return;
    }
    const CPyramidLayout& layout = m_pyramid->getLayout();
    for (int r = 2 * row; r <= 2 * row + 1 && r < layout.getRows(level - 1); ++r)
        for (int c = 2 * column; c <= 2 * column + 1 && c < layout.getColumns(level - 1); ++c)
            choose(level - 1, r, c, patches);
}

void CZelImagePlane::place(int level, int row, int column, std::vector<Patch>& patches)
{
    const CPyramidLayout& layout = m_pyramid->getLayout();
    CPyramidMemory& memory = CPyramidMemory::getInstance();
    const int index = layout.getTileIndex(level, row, column);
    bool current = false, opaque = false;
    GLuint texture = m_textures->use(index, current, opaque);
    if (!current) {
        if (memory.isSynchronous() && m_textures->fetchNow(index)) {
            texture = m_textures->use(index, current, opaque);
        } else if (!m_textures->hasFailed(index)) {
            m_textures->want(index);
            memory.addMissing(1);
        } else if (!m_toldDamage) {
            std::cout << "The cached tiles of " << m_pyramid->getPath()
                      << " are damaged: coarser ones stand in, and they are made anew at the next open." << std::endl;
            m_toldDamage = true;
        }
    }
    const double scale = static_cast<double>(1 << level);
    const double x0 = column * TILE * scale, x1 = std::min<double>(m_pyramid->getWidth(), (column + 1) * TILE * scale);
    const double y0 = row * TILE * scale, y1 = std::min<double>(m_pyramid->getHeight(), (row + 1) * TILE * scale);
    // Until the tile comes, the finest coarser one at hand stands in.
    int from = level, fromRow = row, fromColumn = column;
    while (texture == 0 && from + 1 < layout.getLevelCount()) {
        ++from;
        fromRow /= 2;
        fromColumn /= 2;
        bool ignored = false;
        texture = m_textures->use(layout.getTileIndex(from, fromRow, fromColumn), ignored, opaque);
    }
    if (texture != 0)
        patches.push_back({texture, opaque, x0, x1, y0, y1, from, fromRow, fromColumn});
}

void CZelImagePlane::drawPatch(const Patch& patch) const
{
    const double span = TILE * static_cast<double>(1 << patch.level);
    const double left = patch.column * span, top = patch.row * span;
    const double t0 = (patch.y0 - top) / span, t1 = (patch.y1 - top) / span;
    const double drop0 = patch.y0 * m_pixelHeight, drop1 = patch.y1 * m_pixelHeight;
    std::vector<double>& along = m_along;
    breakpoints(patch.x0, patch.x1, along);
    CZelVec3d a = pointAt(along.front());
    for (size_t i = 0; i + 1 < along.size(); ++i) {
        const CZelVec3d b = pointAt(along[i + 1]);
        const double s0 = (along[i] / m_pixelWidth - left) / span;
        const double s1 = (along[i + 1] / m_pixelWidth - left) / span;
        const CZelVec3d direction = b - a;
        const double nx = -direction.z(), nz = direction.x();
        const double length = std::hypot(nx, nz);
        if (length > 0.0)
            glNormal3d(nx / length, 0.0, nz / length);
        glTexCoord2d(s0, t1);
        glVertex3d(a.x(), a.y() - drop1, a.z());
        glTexCoord2d(s1, t1);
        glVertex3d(b.x(), b.y() - drop1, b.z());
        glTexCoord2d(s1, t0);
        glVertex3d(b.x(), b.y() - drop0, b.z());
        glTexCoord2d(s0, t0);
        glVertex3d(a.x(), a.y() - drop0, a.z());
        a = b;
    }
}

void CZelImagePlane::doCreateGeometry()
{
    // Everything changed here is put back afterwards, so that later shapes
    // are drawn as if no panel had been drawn before them.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    // Every tile's alpha says drawn (255) or not (0); filtering blends them,
    // and half decides.
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_ALPHA_TEST);
    if (!m_textures || !CZelGlobalState::getInstance()->getTextures()) {
        if (m_quads.empty() && m_rows > 0)
            layQuads(true);
        for (const auto& row : m_quads)
            for (CZelQuadPlane* quad : row)
                quad->render();
        glPopAttrib();
        return;
    }
    m_textures->setVariant(CPyramidVariant(m_removeWhite, m_whiteTolerance));
    m_textures->update();
    if (m_textures->isDeriving())
        CPyramidMemory::getInstance().addMissing(1);

    GLdouble modelView[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int column = 0; column < 4; ++column)
        for (int k = 0; k < 4; ++k) {
            double sum = 0.0;
            for (int j = 0; j < 4; ++j)
                sum += projection[j * 4 + k] * modelView[column * 4 + j];
            m_toClip[column * 4 + k] = sum;
        }
    m_viewport[0] = std::max(1, viewport[2]);
    m_viewport[1] = std::max(1, viewport[3]);
    std::vector<Patch>& patches = m_patches;
    patches.clear();
    const int top = m_pyramid->getLayout().getLevelCount() - 1;
    choose(top, 0, 0, patches);
    m_textures->flushWants();

    // Tiles drawn whole first, without the alpha test, so that GL can leave
    // out what lies behind them before it textures it.
    std::sort(patches.begin(), patches.end(), [](const Patch& a, const Patch& b) {
        return a.opaque != b.opaque ? a.opaque : a.texture < b.texture;
    });
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    if (CZelGlobalState::getInstance()->getMaterials())
        m_tileMaterial->render();
    glDisable(GL_ALPHA_TEST);
    for (size_t i = 0; i < patches.size();) {
        if (!patches[i].opaque)
            glEnable(GL_ALPHA_TEST);
        glBindTexture(GL_TEXTURE_2D, patches[i].texture);
        glBegin(GL_QUADS);
        const GLuint texture = patches[i].texture;
        for (; i < patches.size() && patches[i].texture == texture; ++i)
            drawPatch(patches[i]);
        glEnd();
    }
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
