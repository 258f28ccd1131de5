// The pieces of a 3-D export: pictures shrunk without white seeping into what
// is kept, left-out pixels coloured by their neighbours, pieces of at most
// 4096 pixels, and the panel mesh that follows the line through its bends.
#include "CMorExportPicture.h"
#include "CMorGltfBuilder.h"
#include "CMorTexturePieces.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ExportPieces, ShrinkingKeepsWhatMostOfAPixelShowsInTheColourOfTheKeptPart)
{
    // Rows of four RGB pixels: red, white, white, blue / red, red, white, blue.
    const unsigned char rows[2][12] = {{200, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 200},
                                       {200, 0, 0, 200, 0, 0, 255, 255, 255, 0, 0, 200}};
    CMorExportPicture::Options options;
    CMorExportPicture picture;
    ASSERT_TRUE(picture.start(4, 2, 3, 0, 0, 4, 2, 2, 1, options));
    // Rows may come bottom first, as bitmaps store them.
    picture.addRow(1, rows[1]);
    picture.addRow(0, rows[0]);
    const std::vector<unsigned char>& p = picture.getPixels();
    ASSERT_EQ(picture.getWidth(), 2);
    // Left: three of four pixels red, kept in pure red. Right: two of four
    // kept, exactly half: kept, in blue alone.
    EXPECT_EQ(std::vector<unsigned char>(p.begin(), p.begin() + 4), (std::vector<unsigned char>{200, 0, 0, 255}));
    EXPECT_EQ(std::vector<unsigned char>(p.begin() + 4, p.end()), (std::vector<unsigned char>{0, 0, 200, 255}));
    EXPECT_FALSE(picture.hasLeftOut());

    // Keeping white, a window of the right column alone, never enlarged.
    options.removeWhite = false;
    ASSERT_TRUE(picture.start(4, 2, 3, 2, 0, 4, 2, 8, 8, options));
    picture.addRow(0, rows[0]);
    picture.addRow(1, rows[1]);
    EXPECT_EQ(picture.getWidth(), 2);
    EXPECT_EQ(picture.getHeight(), 2);
    EXPECT_EQ(picture.getPixels()[0], 255);
    EXPECT_EQ(picture.getPixels()[3], 255);
    // Transparent pixels are left out whatever white does.
    const unsigned char clear[8] = {10, 20, 30, 0, 10, 20, 30, 0};
    ASSERT_TRUE(picture.start(2, 1, 4, 0, 0, 2, 1, 1, 1, options));
    picture.addRow(0, clear);
    EXPECT_TRUE(picture.hasLeftOut());
}

TEST(ExportPieces, LeftOutPixelsTakeTheColourOfTheirNearestKeptPixel)
{
    // 4 x 1: left out, green, left out, left out.
    std::vector<unsigned char> rgba{1, 1, 1, 0, 0, 200, 0, 255, 9, 9, 9, 0, 9, 9, 9, 0};
    CMorTexturePieces::bleed(rgba, 4, 1);
    for (int x : {0, 2, 3})
        EXPECT_EQ(rgba[x * 4 + 1], 200) << x;
    EXPECT_EQ(rgba[3], 0);
    std::vector<unsigned char> none{5, 5, 5, 0};
    CMorTexturePieces::bleed(none, 1, 1);
    EXPECT_EQ(none[0], 255);
}

TEST(ExportPieces, PicturesAreCutIntoEqualPiecesOfAtMost4096Pixels)
{
    EXPECT_EQ(CMorTexturePieces::split(4096, 4096), (std::vector<int>{0, 4096}));
    EXPECT_EQ(CMorTexturePieces::split(4097, 4096), (std::vector<int>{0, 2048, 4097}));
    EXPECT_EQ(CMorTexturePieces::split(9000, 4096), (std::vector<int>{0, 3000, 6000, 9000}));
}

TEST(ExportPieces, APieceBendsWithTheLineAtItsVertices)
{
    // An L of 100 + 100 units: the picture's middle column lies on the corner.
    const std::vector<CZelVec3d> line{{0, 50, 0}, {100, 50, 0}, {100, 50, -100}};
    std::vector<float> xyz, uv;
    std::vector<uint32_t> indices;
    // Columns 50..200 of 200, rows 10..20 of 20, of a panel 40 high.
    CMorGltfBuilder::pieceMesh(line, 40.0, 200, 20, 50, 200, 10, 20, xyz, uv, indices);
    ASSERT_EQ(xyz.size(), 3u * 6u);
    const std::vector<float> expected{50, 30, 0,   50, 10, 0,    100, 30, 0,
                                      100, 10, 0,  100, 30, -100, 100, 10, -100};
    EXPECT_EQ(xyz, expected);
    EXPECT_FLOAT_EQ(uv[4], 50.0f / 150.0f);
    EXPECT_EQ(uv[1], 0.0f);
    EXPECT_EQ(uv[3], 1.0f);
    EXPECT_EQ(indices.size(), 12u);
}
