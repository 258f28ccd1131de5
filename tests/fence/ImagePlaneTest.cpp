// Fence panel geometry without drawing: tile counts, pieces and texture ranges
// along straight and bent lines, the build log line by line, white pixels in
// the tiles, and lines that give no direction or no length.
#include "CZelImagePlane.h"
#include "CZelPointer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

CZelLine3d* makeLine(const std::vector<CZelVec3d>& points)
{
    CZelLine3d* line = new CZelLine3d();
    line->setSize(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i)
        *line->getPoint(static_cast<int>(i)) = points[i];
    return line;
}

// An RGB picture whose pixel (x, y) is (x, y, 7) modulo 256.
CZelImage* makeImage(int width, int height)
{
    CZelImage* image = new CZelImage();
    image->setChannels(3);
    image->setSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = image->getPixels() + (static_cast<size_t>(y) * width + x) * 3;
            p[0] = static_cast<unsigned char>(x);
            p[1] = static_cast<unsigned char>(y);
            p[2] = 7;
        }
    return image;
}

// What the action writes to standard output.
std::string logOf(const std::function<void()>& action)
{
    std::ostringstream log;
    std::streambuf* previous = std::cout.rdbuf(log.rdbuf());
    action();
    std::cout.rdbuf(previous);
    return log.str();
}

// Builds the panel the way the diagram does and returns what it logged.
std::string build(CZelImagePlane* plane, int exponent, CZelLine3d* line, CZelImage* image)
{
    return logOf([&] {
        plane->setTextureSizeExponent(exponent);
        plane->setLine(line);
        plane->setImage(image);
    });
}

struct Corner {
    double x, y, z, s, t;
};

Corner corner(CZelImagePlane* plane, int row, int quad, int i)
{
    CZelQuadPlane* q = plane->getQuad(row, quad);
    const CZelVec3d* p = q->getCoord(i);
    const CZelVec3d* st = q->getTextureCoord(i);
    return {p->x(), p->y(), p->z(), st->x(), st->y()};
}

void expectAllFinite(CZelImagePlane* plane)
{
    for (int r = 0; r < plane->getRows(); ++r)
        for (int q = 0; q < plane->getQuadCount(r); ++q)
            for (int i = 0; i < 4; ++i) {
                const Corner c = corner(plane, r, q, i);
                EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.z) && std::isfinite(c.s) &&
                            std::isfinite(c.t))
                    << "row " << r << " quad " << q << " corner " << i;
            }
}

// The log of a 300 x 200 picture with 128-pixel tiles on a line of length 600.
const char* const LOG_300_BY_200 = "realTotalLength = 768\n"
                                   "---- OffsetCalc Start ----\n"
                                   "m_rows = 2\n"
                                   "m_textureSize = 128\n"
                                   "m_rawImage->getHeight() = 200\n"
                                   "imageHeight = 256\n"
                                   "imageDiffY = 56\n"
                                   "imageOffsetY = 112\n"
                                   "---- OffsetCalc End ----\n"
                                   "imageDiffY = 0\n"
                                   "imageDiffX = 84\n"
                                   "ratioX = 0.34375\n"
                                   "imageDiffY = 56\n"
                                   "imageDiffX = 84\n"
                                   "ratioX = 0.34375\n"
                                   "ratioY = 0.5625\n";

} // namespace

TEST(ImagePlane, StraightLineGivesThreeColumnsTwoRowsAndEndsOnTheLastPoint)
{
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    CZelPointer<CZelLine3d> line = makeLine({{0, 0, 0}, {600, 0, 0}});
    CZelPointer<CZelImage> image = makeImage(300, 200);
    EXPECT_EQ(build(plane, 7, line, image), LOG_300_BY_200);

    EXPECT_EQ(plane->getTextureSize(), 128);
    EXPECT_EQ(plane->getColumns(), 3);
    EXPECT_EQ(plane->getRows(), 2);
    EXPECT_DOUBLE_EQ(plane->getHeight(), 400.0);
    EXPECT_DOUBLE_EQ(plane->getExtendedLine()->getLength(), 768.0);
    EXPECT_EQ(plane->getLine(), line.get());
    for (int r = 0; r < 2; ++r) {
        ASSERT_EQ(plane->getQuadCount(r), 3);
        EXPECT_EQ(plane->getTileCount(r), 3);
    }
    // Bottom row: from 400 below the line up to 144 below it (tile length 256
    // minus the 112 units of padding above the picture).
    const Corner bottomLeft = corner(plane, 0, 0, 0);
    EXPECT_DOUBLE_EQ(bottomLeft.y, -400.0);
    EXPECT_DOUBLE_EQ(corner(plane, 0, 0, 3).y, -144.0);
    // The last piece stops at the line's end with s = 0.34375.
    const Corner end = corner(plane, 0, 2, 1);
    EXPECT_DOUBLE_EQ(end.x, 600.0);
    EXPECT_DOUBLE_EQ(end.s, 0.34375);
    EXPECT_DOUBLE_EQ(corner(plane, 0, 2, 0).x, 512.0);
    // Top row: its upper edge on the line, showing the picture's 72 rows.
    const Corner top = corner(plane, 1, 1, 2);
    EXPECT_DOUBLE_EQ(top.y, 0.0);
    EXPECT_DOUBLE_EQ(top.t, 0.5625);
    EXPECT_DOUBLE_EQ(corner(plane, 1, 1, 1).y, -144.0);
    EXPECT_DOUBLE_EQ(corner(plane, 1, 2, 2).x, 600.0);
}

TEST(ImagePlane, VertexInsideATileSplitsItIntoTwoPiecesSharingOneTile)
{
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    CZelPointer<CZelLine3d> line = makeLine({{0, 0, 0}, {300, 0, 0}, {300, 0, 300}});
    CZelPointer<CZelImage> image = makeImage(300, 200);
    EXPECT_EQ(build(plane, 7, line, image), LOG_300_BY_200);

    struct Expected {
        double x0, z0, x1, z1, s0, s1;
    };
    const Expected pieces[] = {{0, 0, 256, 0, 0, 1},
                               {256, 0, 300, 0, 0, 0.171875},
                               {300, 0, 300, 212, 0.171875, 1},
                               {300, 212, 300, 300, 0, 0.34375}};
    for (int r = 0; r < 2; ++r) {
        ASSERT_EQ(plane->getQuadCount(r), 4);
        EXPECT_EQ(plane->getTileCount(r), 3);
        for (int q = 0; q < 4; ++q) {
            const Corner a = corner(plane, r, q, 0);
            const Corner b = corner(plane, r, q, 1);
            EXPECT_DOUBLE_EQ(a.x, pieces[q].x0) << q;
            EXPECT_DOUBLE_EQ(a.z, pieces[q].z0) << q;
            EXPECT_DOUBLE_EQ(b.x, pieces[q].x1) << q;
            EXPECT_DOUBLE_EQ(b.z, pieces[q].z1) << q;
            EXPECT_DOUBLE_EQ(a.s, pieces[q].s0) << q;
            EXPECT_DOUBLE_EQ(b.s, pieces[q].s1) << q;
        }
        EXPECT_EQ(plane->getQuad(r, 1)->getTexture(), plane->getQuad(r, 2)->getTexture());
        EXPECT_NE(plane->getQuad(r, 0)->getTexture(), plane->getQuad(r, 1)->getTexture());
        EXPECT_NE(plane->getQuad(r, 2)->getTexture(), plane->getQuad(r, 3)->getTexture());
    }
}

TEST(ImagePlane, TallNarrowPictureGivesOneColumnOfThreeTiles)
{
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    CZelPointer<CZelLine3d> line = makeLine({{0, 50, 0}, {100, 50, 0}});
    CZelPointer<CZelImage> image = makeImage(100, 300);
    EXPECT_EQ(build(plane, 7, line, image), "realTotalLength = 128\n"
                                            "---- OffsetCalc Start ----\n"
                                            "m_rows = 3\n"
                                            "m_textureSize = 128\n"
                                            "m_rawImage->getHeight() = 300\n"
                                            "imageHeight = 128\n"
                                            "imageDiffY = 84\n"
                                            "imageOffsetY = 84\n"
                                            "---- OffsetCalc End ----\n"
                                            "imageDiffY = 0\n"
                                            "imageDiffX = 28\n"
                                            "ratioX = 0.78125\n"
                                            "imageDiffY = 0\n"
                                            "imageDiffX = 28\n"
                                            "ratioX = 0.78125\n"
                                            "imageDiffY = 84\n"
                                            "imageDiffX = 28\n"
                                            "ratioX = 0.78125\n"
                                            "ratioY = 0.34375\n");
    ASSERT_EQ(plane->getRows(), 3);
    EXPECT_EQ(plane->getColumns(), 1);
    EXPECT_DOUBLE_EQ(plane->getHeight(), 300.0);
    for (int r = 0; r < 3; ++r) {
        ASSERT_EQ(plane->getQuadCount(r), 1);
        ASSERT_EQ(plane->getTileCount(r), 1);
        // Each row shows its own band of the picture: tile pixel (5, 0) is
        // picture pixel (5, 128 r), padded yellow beyond the picture's width.
        const unsigned char* tile = plane->getTile(r, 0)->getPixels();
        EXPECT_EQ(tile[5 * 4 + 0], 5);
        EXPECT_EQ(tile[5 * 4 + 1], static_cast<unsigned char>(128 * r));
        EXPECT_EQ(tile[5 * 4 + 2], 7);
        EXPECT_EQ(tile[110 * 4 + 2], 0);
        EXPECT_EQ(plane->getQuad(r, 0)->getTexture(), plane->getTileTexture(r, 0));
        EXPECT_DOUBLE_EQ(corner(plane, r, 0, 0).y, 50.0 - 300.0 + 128.0 * r);
    }
    EXPECT_DOUBLE_EQ(corner(plane, 2, 0, 3).y, 50.0);
}

TEST(ImagePlane, PictureOfWholeTilesIsNeitherCutNorShortened)
{
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    CZelPointer<CZelLine3d> line = makeLine({{0, 0, 0}, {0, 0, 512}});
    CZelPointer<CZelImage> image = makeImage(256, 128);
    EXPECT_EQ(build(plane, 7, line, image), "realTotalLength = 512\n"
                                            "---- OffsetCalc Start ----\n"
                                            "m_rows = 1\n"
                                            "m_textureSize = 128\n"
                                            "m_rawImage->getHeight() = 128\n"
                                            "imageHeight = 256\n"
                                            "imageDiffY = 0\n"
                                            "imageOffsetY = 0\n"
                                            "---- OffsetCalc End ----\n"
                                            "imageDiffY = 0\n"
                                            "imageDiffX = 0\n");
    EXPECT_DOUBLE_EQ(corner(plane, 0, 1, 2).s, 1.0);
    EXPECT_DOUBLE_EQ(corner(plane, 0, 1, 2).t, 1.0);
}

TEST(ImagePlane, TilesMakeOnlyPureWhiteTransparentAndShowGreyPicturesInGrey)
{
    CZelPointer<CZelImage> image = makeImage(20, 10);
    unsigned char* p = image->getPixels();
    p[0] = p[1] = p[2] = 255;
    p[3] = 254;
    p[4] = p[5] = 255;
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    CZelPointer<CZelLine3d> line = makeLine({{0, 0, 0}, {20, 0, 0}});
    build(plane, 5, line, image);
    const unsigned char* tile = plane->getTile(0, 0)->getPixels();
    EXPECT_EQ(tile[3], 0);
    EXPECT_EQ(tile[4 + 3], 255);
    // Padding beyond the picture is opaque yellow.
    EXPECT_EQ((std::vector<int>{tile[31 * 4], tile[31 * 4 + 1], tile[31 * 4 + 2], tile[31 * 4 + 3]}),
              (std::vector<int>{255, 255, 0, 255}));

    CZelPointer<CZelImage> grey = new CZelImage();
    grey->setChannels(1);
    grey->setSize(20, 10);
    for (int i = 0; i < 200; ++i)
        grey->getPixels()[i] = static_cast<unsigned char>(i);
    grey->getPixels()[21] = 255;
    build(plane, 5, line, grey);
    tile = plane->getTile(0, 0)->getPixels();
    EXPECT_EQ((std::vector<int>{tile[(32 + 2) * 4], tile[(32 + 2) * 4 + 1], tile[(32 + 2) * 4 + 2]}),
              (std::vector<int>{22, 22, 22}));
    EXPECT_EQ(tile[(32 + 1) * 4 + 3], 0);
}

TEST(ImagePlane, ZeroLengthLastSegmentExtendsAlongTheLastDirection)
{
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    CZelPointer<CZelLine3d> line = makeLine({{0, 0, 0}, {0, 0, 100}, {0, 0, 100}});
    CZelPointer<CZelImage> image = makeImage(150, 64);
    build(plane, 6, line, image);
    ASSERT_EQ(plane->getColumns(), 3);
    EXPECT_DOUBLE_EQ(plane->getExtendedLine()->getLength(), 128.0);
    EXPECT_EQ(*plane->getExtendedLine()->getPoint(2), CZelVec3d(0, 0, 128));
    expectAllFinite(plane);
    const int last = plane->getQuadCount(0) - 1;
    EXPECT_DOUBLE_EQ(corner(plane, 0, last, 1).z, 100.0);
    EXPECT_DOUBLE_EQ(corner(plane, 0, last, 1).s, 22.0 / 64.0);

    // A repeated point inside the line and a tile edge on a vertex make
    // empty pieces, never undefined ones.
    line = makeLine({{0, 0, 0}, {0, 0, 0}, {0, 0, 100.0 / 150.0 * 64.0}, {0, 0, 100}});
    build(plane, 6, line, image);
    expectAllFinite(plane);
    EXPECT_DOUBLE_EQ(corner(plane, 0, plane->getQuadCount(0) - 1, 1).z, 100.0);
}

TEST(ImagePlane, LineWithoutLengthBuildsNothing)
{
    CZelPointer<CZelImage> image = makeImage(150, 64);
    const std::vector<std::vector<CZelVec3d>> lines = {
        {{5, 5, 5}, {5, 5, 5}, {5, 5, 5}},
        {{0, 0, 0}, {NAN, 0, 0}},
    };
    for (const std::vector<CZelVec3d>& points : lines) {
        CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
        CZelPointer<CZelLine3d> line = makeLine({{0, 0, 0}, {10, 0, 0}});
        build(plane, 6, line, image);
        ASSERT_EQ(plane->getRows(), 1);
        line = makeLine(points);
        EXPECT_EQ(logOf([&] {
                      plane->setLine(line);
                      plane->setImage(image);
                  }),
                  "Image plane: the line has no length, nothing is built\n");
        EXPECT_EQ(plane->getRows(), -1);
        EXPECT_EQ(plane->getQuadCount(0), 0);
        EXPECT_DOUBLE_EQ(plane->getHeight(), 0.0);
    }
    // A line of one point has no segments at all.
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    CZelPointer<CZelLine3d> single = new CZelLine3d();
    single->setSize(1);
    build(plane, 6, single, image);
    EXPECT_EQ(plane->getQuadCount(0), 0);
}

TEST(ImagePlane, TileExponentsOutsideTheUsableRangeAreRefused)
{
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    EXPECT_EQ(plane->getTextureSize(), 256);
    EXPECT_FALSE(plane->setTextureSizeExponent(-1));
    EXPECT_FALSE(plane->setTextureSizeExponent(31));
    EXPECT_EQ(plane->getTextureSizeExponent(), 8);
    EXPECT_TRUE(plane->setTextureSizeExponent(0));
    EXPECT_EQ(plane->getTextureSize(), 1);
}
