// Images in memory, their upload into textures and tile sheets, and the index
// lists, quad and line primitives that show them, on an offscreen context.
#include "CComputedRows.h"
#include "CZelImage.h"
#include "CZelIndex.h"
#include "CZelLineSet.h"
#include "CZelPngImage.h"
#include "CZelQuadPlane.h"
#include "CZelQuadSet.h"
#include "CZelTexture.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// An image of the given size whose bytes count up from start.
CZelImage* counting(int width, int height, int channels, int start = 0)
{
    CZelImage* image = new CZelImage();
    image->setChannels(channels);
    image->setSize(width, height);
    for (size_t i = 0; i < image->getByteCount(); ++i)
        image->getPixels()[i] = static_cast<unsigned char>(start + i);
    return image;
}

std::vector<int> pixel(const CZelImage& image, int x, int y)
{
    const unsigned char* p = image.getPixels() + (static_cast<size_t>(y) * image.getWidth() + x) * image.getChannels();
    return std::vector<int>(p, p + image.getChannels());
}

Bytes rgba(int r, int g, int b)
{
    return {static_cast<unsigned char>(r), static_cast<unsigned char>(g), static_cast<unsigned char>(b), 255};
}

CZelIndex* indexOf(std::vector<int32_t> entries)
{
    CZelIndex* index = new CZelIndex();
    index->add(entries.data(), static_cast<int>(entries.size()));
    return index;
}

bool near(const CZelVec3d* v, double x, double y, double z)
{
    return v && std::fabs(v->x() - x) < 1e-12 && std::fabs(v->y() - y) < 1e-12 && std::fabs(v->z() - z) < 1e-12;
}

const Bytes UNTOUCHED(4, 0);

class TextureTest : public OffscreenGLTest
{
protected:
    Bytes pixelAt(int x, int y) { return m_context->readPixel(x, y); }
};

} // namespace

TEST(ImageTest, RefusedSizesAndChannelCounts)
{
    CZelImage image;
    EXPECT_FALSE(image.setSize(0, 10));
    EXPECT_EQ(image.getPixels(), nullptr);
    ASSERT_TRUE(image.setSize(3, 2));
    EXPECT_FALSE(image.setSize(-3, 2));
    EXPECT_EQ(image.getWidth(), 3);
    image.setChannels(4);
    EXPECT_EQ(image.getByteCount(), 24u);
    // A count the GL formats do not know would leave too short a buffer.
    for (int channels : {0, 5}) {
        image.setChannels(channels);
        EXPECT_EQ(image.getChannels(), 3);
        EXPECT_EQ(image.getByteCount(), 18u);
    }
    EXPECT_EQ(CZelImage::byteCount(INT_MAX, INT_MAX, 4), static_cast<size_t>(INT_MAX) * INT_MAX * 4); // no wrap
}

TEST(ImageTest, AlphaByThreshold)
{
    CZelPointer<CZelImage> rgb = counting(2, 1, 3);
    rgb->setAlphaByThreshold(250, -1, 0, 255); // no alpha to set
    EXPECT_EQ(pixel(*rgb, 1, 0), (std::vector<int>{3, 4, 5}));

    CZelPointer<CZelImage> image = counting(4, 1, 4);
    const unsigned char colours[4][3] = {{250, 250, 250}, {255, 249, 255}, {0, 0, 0}, {255, 255, 255}};
    for (int i = 0; i < 4; ++i)
        std::copy(colours[i], colours[i] + 3, image->getPixels() + i * 4);
    // Channel -1 needs red, green and blue at the threshold; unknown channel numbers look at red.
    const std::pair<int, std::vector<int>> cases[] = {{-1, {0, 1, 1, 0}}, {1, {0, 1, 1, 0}}, {7, {0, 0, 1, 0}}};
    for (const auto& [channel, below] : cases) {
        image->setAlphaByThreshold(250, channel, 10, 20);
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixel(*image, x, 0)[3], below[x] ? 20 : 10) << "channel " << channel << " pixel " << x;
    }
}

TEST(ImageTest, CopyRegionSkipsPixelsOutsideEitherImage)
{
    CZelPointer<CZelImage> source = counting(4, 4, 4, 100);
    CZelPointer<CZelImage> target = counting(3, 3, 3);
    target->fillColor(0, 0, 0);
    // Source columns 2..5 (4 and 5 do not exist) to target x 1..: only the
    // first two fit both; row 3 lands outside the target.
    target->copyRegion(source, 2, 5, 2, 3, 1, 2);
    const unsigned char* s = source->getPixels();
    const std::vector<int> black = {0, 0, 0};
    EXPECT_EQ(pixel(*target, 1, 2), (std::vector<int>{s[40], s[41], s[42]}));
    EXPECT_EQ(pixel(*target, 2, 2), (std::vector<int>{s[44], s[45], s[46]}));
    EXPECT_EQ(pixel(*target, 0, 2), black);
    EXPECT_EQ(pixel(*target, 1, 1), black);

    // Extreme ranges neither overflow nor run for ever; grey sources are not copied.
    target->fillColor(0, 0, 0);
    target->copyRegion(source, INT_MIN, INT_MAX, INT_MIN, INT_MAX, 0, 0);
    EXPECT_EQ(pixel(*target, 0, 0), black);
    target->copyRegion(source, -2, INT_MAX, -2, INT_MAX, 0, 0);
    EXPECT_EQ(pixel(*target, 2, 2), (std::vector<int>{s[0], s[1], s[2]}));
    target->copyRegion(source, 0, 3, 0, 3, INT_MAX, INT_MIN);
    CZelPointer<CZelImage> grey = counting(2, 2, 1);
    target->copyRegion(grey, 0, 1, 0, 1, 0, 0);
    EXPECT_EQ(pixel(*target, 0, 0), black);
}

TEST_F(TextureTest, ApplyLoadsTheTextureMatrix)
{
    CZelPointer<CZelTexture> texture = new CZelTexture();
    texture->bind();
    texture->setTextureTransform(0.0, 0.0, 0.0, 0.0, 0.0); // scale 0: no scaling at all
    texture->apply();
    EXPECT_EQ(readMatrix(GL_TEXTURE_MATRIX), (std::vector<double>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(readInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    texture->setTextureTransform(2.0, 3.0, 90.0, 0.5, 0.25);
    texture->apply();
    // T(0.5, 0.25) R(90 about z) S(2, 3), column-major.
    const std::vector<double> m = readMatrix(GL_TEXTURE_MATRIX);
    const std::pair<int, double> expected[] = {{0, 0.0}, {1, 2.0}, {4, -3.0}, {5, 0.0}, {12, 0.5}, {13, 0.25}};
    for (const auto& [i, value] : expected)
        EXPECT_NEAR(m[i], value, 1e-6) << i;
}

TEST(PrimitiveTest, FaceAndVertexNormals)
{
    CZelPointer<CZelQuadPlane> plane = new CZelQuadPlane();
    plane->setOrientation(1);
    EXPECT_TRUE(near(plane->getNormal(0), 0.0, 1.0, 0.0));
    plane->setOrientation(2);
    EXPECT_TRUE(near(plane->getNormal(0), 1.0, 0.0, 0.0));

    // Two quads folded along the edge x = 0: one faces +z, the other +x.
    CZelPointer<CZelQuadSet> fold = new CZelQuadSet();
    const double corners[6][3] = {{-1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {-1, 1, 0}, {0, 0, -1}, {0, 1, -1}};
    for (const auto& c : corners)
        fold->addCoord(c[0], c[1], c[2]);
    fold->addCoordIndex(indexOf({0, 1, 2, 3, 1, 4, 5, 2}));
    EXPECT_TRUE(near(fold->getNormal(0), 0.0, 0.0, 1.0));
    EXPECT_TRUE(near(fold->getNormal(1), 1.0, 0.0, 0.0));
    fold->setUseVertexNormals(true);
    fold->refresh();
    fold->refresh();
    EXPECT_EQ(fold->getNormalCount(), 2);
    EXPECT_TRUE(near(fold->getVertexNormal(1), std::sqrt(0.5), 0.0, std::sqrt(0.5))); // on the fold
    EXPECT_TRUE(near(fold->getVertexNormal(0), 0.0, 0.0, 1.0));
    EXPECT_TRUE(near(fold->getVertexNormal(4), 1.0, 0.0, 0.0));
}

TEST(PrimitiveTest, PlaneHeightFollowsTheTextureAndCoordinatesStayInRange)
{
    CZelPointer<CZelQuadPlane> plane = new CZelQuadPlane();
    plane->setSize(2.0, 5.0);
    CZelPointer<CZelTexture> texture = new CZelTexture();
    const Bytes data(400 * 200 * 4);
    texture->setRawData(data.data(), 400, 200);
    plane->setTexture(texture);
    EXPECT_TRUE(near(plane->getCoord(2), 1.0, 0.5, 0.0));
    plane->updateBoundingSphere();
    EXPECT_DOUBLE_EQ(plane->getBoundingSphere()->getRadius(), std::sqrt(1.25));
    plane->setCoord(4, 9.0, 9.0, 9.0);
    EXPECT_EQ(plane->getCoordCount(), 4);
    EXPECT_EQ(plane->getCoord(4), nullptr);
}

// The picture is 5 x 4 RGB: rows of 15 bytes, not a multiple of the default
// alignment, come out intact.
TEST_F(TextureTest, TexturedQuadPlaneShowsTheFileUprightAndRestoresTheAlignment)
{
    const char* data = std::getenv("MORVEX_TEST_DATA");
    ASSERT_NE(data, nullptr);
    CZelPointer<CZelPngImage> image = new CZelPngImage();
    image->setFileName(std::string(data) + "/images/good/png-rgb_c3_colour.png");
    ASSERT_TRUE(image->readImage());
    CZelTexture* texture = new CZelTexture();
    texture->setImage(image);
    texture->setFilters(GL_NEAREST, GL_NEAREST);
    CZelPointer<CZelQuadPlane> plane = new CZelQuadPlane();
    plane->setSize(2.0, 2.0);
    plane->setTexture(texture);

    plane->render();
    plane->render(); // the second frame applies the texture instead of creating it
    const Bytes second[5] = {rgba(255, 0, 0), rgba(0, 255, 0), rgba(0, 0, 255), rgba(0, 0, 0), rgba(255, 255, 255)};
    for (int column = 0; column < 5; ++column) {
        const int x = column * 64 / 5 + 6;
        EXPECT_EQ(pixelAt(x, 56), rgba(255, 255, 255)) << column;
        EXPECT_EQ(pixelAt(x, 40), second[column]) << column;
        EXPECT_EQ(pixelAt(x, 8), rgba(0, 0, 0)) << column;
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(readInteger(GL_UNPACK_ALIGNMENT), 4);
}

TEST_F(TextureTest, LineSetDrawsItsMaterialColourUnlit)
{
    CZelPointer<CZelLineSet> lines = new CZelLineSet();
    const double ends[4][2] = {{-1.0, 0.0}, {1.0, 0.0}, {0.0, -1.0}, {0.0, 1.0}};
    for (const auto& e : ends)
        lines->addCoord(e[0], e[1], 0.0);
    lines->addCoordIndex(indexOf({0, 1}));
    CZelMaterial* green = new CZelMaterial();
    green->setDiffuseColor(0.0f, 1.0f, 0.0f, 1.0f);
    lines->setMaterial(green);
    lines->setLineWidth(3.0f);

    glEnable(GL_LIGHTING); // lit, with no light on, the line would come out black
    lines->render();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_LIGHTING);
    EXPECT_EQ(pixelAt(10, 32), rgba(0, 255, 0));
    EXPECT_EQ(pixelAt(10, 31), rgba(0, 255, 0)); // three pixels wide
    EXPECT_EQ(pixelAt(10, 36), UNTOUCHED);

    // Per-vertex colours; a second batch reuses the last colour index set.
    lines->addColor(1.0f, 0.0f, 0.0f, 1.0f);
    lines->addColorIndex(indexOf({0, 0}));
    lines->addCoordIndex(indexOf({2, 3}));
    lines->setUseColors(true);
    glClear(GL_COLOR_BUFFER_BIT);
    lines->render();
    EXPECT_EQ(pixelAt(10, 32), rgba(255, 0, 0));
    EXPECT_EQ(pixelAt(32, 10), rgba(255, 0, 0));
}

TEST_F(TextureTest, IndexesOutsideTheCoordinatesAreSkipped)
{
    CZelPointer<CZelQuadSet> quads = new CZelQuadSet();
    quads->addCoord(-1, -1, 0);
    quads->addCoord(1, -1, 0);
    quads->addCoord(1, 1, 0);
    quads->addCoordIndex(indexOf({0, 1, 2, 99, 0, 1, 2}));
    quads->addTextureIndex(indexOf({0, 1, 2, 3, 4, 5, 6}));
    quads->setUseColors(true);
    quads->setUseVertexNormals(true);
    quads->refresh();
    quads->render();
    EXPECT_EQ(pixelAt(48, 16), UNTOUCHED);
    EXPECT_EQ(readInteger(GL_ATTRIB_STACK_DEPTH), 0);

    CZelPointer<CZelLineSet> lines = new CZelLineSet();
    lines->addCoordIndex(indexOf({5, 6}));
    lines->setUseColors(true);
    lines->render();
    EXPECT_EQ(pixelAt(32, 32), UNTOUCHED);
}

namespace {

// Row y of a 20000 x 15000 grey picture, 300 million pixels, beyond what is
// kept whole: (x + 3 y) mod 256.
void ramp(int y, unsigned char* row)
{
    for (int x = 0; x < 20000; ++x)
        row[x] = static_cast<unsigned char>(x + 3 * y);
}

} // namespace

TEST(FileImageTest, PicturesBeyondTheLimitComeRowByRowAtFullSizeButAreNeverKeptWhole)
{
    for (const bool bottomUp : {false, true}) {
        CComputedRows image(20000, 15000, 1, ramp, bottomUp);
        int rows = 0, width = 0;
        ASSERT_TRUE(image.readRows(
            [&](const CZelFileImage::Layout& layout) {
                width = layout.width;
                return true;
            },
            [&](int y, const unsigned char* row) {
                rows += row[0] == (3 * y) % 256;
                return true;
            }));
        EXPECT_EQ(width, 20000);
        EXPECT_EQ(rows, 15000);
        EXPECT_TRUE(image.getNotice().empty());
        EXPECT_FALSE(image.readImage());
        EXPECT_TRUE(image.isTooLarge());
    }
    // A decoder that holds the picture before its first row is refused from
    // its header either way.
    CComputedRows whole(20000, 15000, 1, ramp, false, false);
    EXPECT_FALSE(whole.readRows([](const CZelFileImage::Layout&) { return true; },
                                [](int, const unsigned char*) { return true; }));
    EXPECT_TRUE(whole.isTooLarge());
}
