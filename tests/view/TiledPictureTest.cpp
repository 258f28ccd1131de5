// Tiled pictures drawn offscreen: the joined tiles equal one large drawing of
// the same view, with no pixel column or row lost or doubled at the seams,
// also when the frame does not divide by the tile count.
#include "CMorFrame.h"
#include "CMorTileGrid.h"
#include "CMorTiledPicture.h"
#include "CTestTriangle.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Rows = std::vector<std::vector<unsigned char>>;

// A frame of the given size with a gradient background and a triangle whose
// long edge crosses the picture diagonally, drawn as tiles x tiles tiles.
Rows drawPicture(int width, int height, int tiles, bool antialias = false)
{
    OffscreenContext context(width, height);
    EXPECT_TRUE(context.isValid()) << context.getRenderer();
    CMorFrame frame;
    frame.initializeFrame(width, height);
    frame.resizeFrame(width, height);
    frame.setBackgroundType(CMorFrame::BACKGROUND_GRADIENT);
    frame.setLowerColor(0.0f, 0.0f, 0.0f);
    frame.setAntialias(antialias);
    // Odd corners: an edge through pixel centres would leave ties to the
    // rasteriser's rounding, which differs between a tile and the whole.
    const double a[3] = {-3.01, -2.03, 0.0}, b[3] = {3.07, -2.02, 0.0}, c[3] = {-2.93, 1.97, 0.0};
    frame.getScene()->addChild(new CTestTriangle(a, b, c, 200, 30, 30));
    frame.getCamera()->setPosition(0.0, 0.0, 6.0);

    CMorTiledPicture picture(&frame, tiles, tiles);
    Rows rows;
    const size_t rowBytes = static_cast<size_t>(picture.getWidth()) * 3;
    EXPECT_TRUE(picture.write([&rows, rowBytes](const unsigned char* row) {
        rows.emplace_back(row, row + rowBytes);
        return true;
    }));
    EXPECT_FALSE(frame.getTileMode());
    EXPECT_FALSE(frame.getCamera()->getUseViewWindow());
    return rows;
}

// Pixels whose channels differ by more than one step (rounding of llvmpipe).
int countDifferences(const Rows& first, const Rows& second)
{
    int count = 0;
    for (size_t y = 0; y < first.size(); ++y)
        for (size_t i = 0; i < first[y].size(); i += 3)
            for (int k = 0; k < 3; ++k)
                if (std::abs(first[y][i + k] - second[y][i + k]) > 1) {
                    ++count;
                    break;
                }
    return count;
}

} // namespace

TEST(TileGrid, SlicesOfAnUnevenFrameMeetWithoutGaps)
{
    const CMorTileGrid grid(101, 31, 3, 3);
    EXPECT_EQ(grid.getPictureWidth(), 303);
    EXPECT_EQ(grid.getPictureHeight(), 93);
    double previousRight = 0.0, previousTop = 31.0;
    for (int i = 0; i < 3; ++i) {
        double left, right, bottom, top, vl, vr, vb, vt;
        grid.getPixelWindow(i, i, left, right, bottom, top);
        grid.getViewWindow(i, i, vl, vr, vb, vt);
        EXPECT_EQ(left, previousRight);
        EXPECT_EQ(bottom, previousTop);
        // The overlay slice and the frustum part are the same share of the frame.
        EXPECT_DOUBLE_EQ((left / 101.0) * 2.0 - 1.0, vl);
        EXPECT_DOUBLE_EQ(1.0 - (bottom / 31.0) * 2.0, vb);
        previousRight = right;
        previousTop = top;
    }
    EXPECT_EQ(previousRight, 101.0);
    EXPECT_EQ(previousTop, 0.0);
    // Row 0 is the bottom row of tiles: it comes last in the picture.
    EXPECT_EQ(grid.getPictureY(0), 62);
    EXPECT_EQ(grid.getPictureX(2), 202);
}

TEST(TiledPicture, JoinedTilesEqualOneLargeDrawing)
{
    // 31 rows do not divide by 3: the gradient's slices must still meet.
    const Rows tiled = drawPicture(47, 31, 3);
    const Rows whole = drawPicture(141, 93, 1);
    ASSERT_EQ(tiled.size(), 93u);
    ASSERT_EQ(whole.size(), 93u);
    ASSERT_EQ(tiled[0].size(), whole[0].size());
    EXPECT_EQ(countDifferences(tiled, whole), 0);
    // Top row: the upper colour; bottom row: nearly the lower colour (black).
    EXPECT_GT(tiled.front()[2], 240);
    EXPECT_LT(tiled.back()[2], 10);
}

TEST(TiledPicture, NoSeamInTheGradientNorAlongTheEdge)
{
    const Rows tiled = drawPicture(40, 30, 2);
    // Down the left column the gradient darkens row by row, never repeating a
    // step or jumping at the seam between the tile rows.
    int largestStep = 0;
    for (size_t y = 1; y < tiled.size(); ++y) {
        const int step = tiled[y - 1][2] - tiled[y][2];
        EXPECT_GE(step, 0) << "row " << y;
        largestStep = std::max(largestStep, step);
    }
    EXPECT_LE(largestStep, 6);
    // The triangle's diagonal edge passes the seam between the tile columns
    // without a step: the edge moves by about one pixel per row.
    std::vector<int> edge;
    for (const auto& row : tiled) {
        int last = -1;
        for (int x = 0; x < 80; ++x)
            if (row[x * 3] == 200 && row[x * 3 + 1] == 30)
                last = x;
        edge.push_back(last);
    }
    int rowsWithEdge = 0;
    // Down to above the bottom edge of the triangle, which is nearly level.
    for (size_t y = 1; y < 50; ++y)
        if (edge[y] >= 0 && edge[y] < 79 && edge[y - 1] >= 0 && edge[y - 1] < 79) {
            ++rowsWithEdge;
            EXPECT_LE(std::abs(edge[y] - edge[y - 1]), 2) << "row " << y;
        }
    EXPECT_GT(rowsWithEdge, 20);
}

TEST(TiledPicture, AntialiasedTilesStayInTheirOwnPixels)
{
    const Rows tiled = drawPicture(40, 30, 2, true);
    const Rows whole = drawPicture(80, 60, 1, true);
    // The jitter is a fraction of a tile pixel, which is a picture pixel; a
    // jittered sample may fall on the edge itself and round either way.
    EXPECT_LE(countDifferences(tiled, whole), 2);
}
