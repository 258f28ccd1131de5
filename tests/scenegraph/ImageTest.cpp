// Images in memory, their upload into textures and tile sheets, and the index
// lists, quad and line primitives that show them, on an offscreen context.
#include "CZelImage.h"
#include "CZelIndex.h"
#include "CZelLineSet.h"
#include "CZelPngImage.h"
#include "CZelQuadPlane.h"
#include "CZelQuadSet.h"
#include "CZelTexture.h"
#include "CZelTileSheet.h"
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

TEST(ImageTest, CropKeepsARectangleInPlace)
{
    CZelPointer<CZelImage> image = counting(5, 4, 3);
    const std::vector<int> kept = pixel(*image, 3, 2);
    const unsigned char* before = image->getPixels();
    // Empty rectangles and rectangles reaching outside change nothing.
    for (const auto& r : {std::vector<int>{2, 1, 2, 3}, {0, 0, 6, 4}, {-1, 0, 2, 2}, {0, 3, 5, 5}})
        EXPECT_FALSE(image->crop(r[0], r[1], r[2], r[3]));
    ASSERT_TRUE(image->crop(1, 1, 4, 3));
    EXPECT_EQ(std::make_pair(image->getWidth(), image->getHeight()), std::make_pair(3, 2));
    EXPECT_EQ(image->getPixels(), before);
    EXPECT_EQ(pixel(*image, 2, 1), kept);
}

TEST_F(TextureTest, ImageRowsOfAnyWidthUploadIntactAndAlignmentIsRestored)
{
    CZelPointer<CZelImage> image = counting(5, 3, 3);
    CZelPointer<CZelTexture> texture = new CZelTexture();
    texture->setImage(image);
    texture->bind();
    EXPECT_EQ(readInteger(GL_UNPACK_ALIGNMENT), 4);
    Bytes back(45);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, Bytes(image->getPixels(), image->getPixels() + 45));
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

TEST_F(TextureTest, TileSheetPlacesEveryTileAndRefusesWhatGLCannotHold)
{
    // Tiles of a 4 x 2 sheet, each filled with its own number: read back,
    // every texel sits in its tile's place, counted from the lower left.
    CZelPointer<CZelTileSheet> sheet = new CZelTileSheet(8, 4, 2);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column) {
            CZelPointer<CZelImage> tile = counting(8, 8, 4);
            for (size_t i = 0; i < tile->getByteCount(); ++i)
                tile->getPixels()[i] = static_cast<unsigned char>(10 * (row * 4 + column) + i % 4);
            sheet->setTile(column, row, tile);
        }
    // Neither a three-channel tile nor a place outside the sheet is taken.
    CZelPointer<CZelImage> wrong = counting(8, 8, 3, 200);
    sheet->setTile(0, 0, wrong);
    CZelPointer<CZelImage> outside = counting(8, 8, 4, 200);
    sheet->setTile(4, 0, outside);

    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    ASSERT_TRUE(sheet->bind());
    EXPECT_TRUE(sheet->isCreated());
    Bytes texels(32 * 16 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    int misplaced = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            for (int k = 0; k < 4; ++k)
                misplaced += texels[(static_cast<size_t>(y) * 32 + x) * 4 + k] != 10 * ((y / 8) * 4 + x / 8) + k;
    EXPECT_EQ(misplaced, 0);

    // Far beyond any texture size: refused without a GL error, the binding left alone.
    CZelPointer<CZelTileSheet> huge = new CZelTileSheet(8, 1 << 16, 1);
    CZelPointer<CZelImage> tile = counting(8, 8, 4);
    huge->setTile(0, 0, tile);
    glBindTexture(GL_TEXTURE_2D, other);
    EXPECT_FALSE(huge->bind());
    EXPECT_TRUE(huge->isRefused());
    EXPECT_FALSE(huge->isCreated());
    EXPECT_EQ(readInteger(GL_TEXTURE_BINDING_2D), static_cast<int>(other));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &other);
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

TEST_F(TextureTest, TexturedQuadPlaneShowsTheFileUpright)
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

// A stand-in reader whose rows are computed, for pictures of any size.
class CComputedImage : public CZelFileImage
{
public:
    CComputedImage(int width, int height, bool rowByRow, bool bottomUp)
        : m_width(width), m_height(height), m_rowByRow(rowByRow), m_bottomUp(bottomUp)
    {
    }
    bool decode(const LayoutSink& layoutSink, const RowSink& rowSink) override
    {
        Layout layout;
        layout.width = m_width;
        layout.height = m_height;
        layout.channels = 1;
        layout.rowByRow = m_rowByRow;
        if (!layoutSink(layout))
            return false;
        // Row y is (x + 3 y) mod 256: a window into one long ramp.
        std::vector<unsigned char> ramp(static_cast<size_t>(m_width) + 256);
        for (size_t i = 0; i < ramp.size(); ++i)
            ramp[i] = static_cast<unsigned char>(i % 256);
        for (int i = 0; i < m_height; ++i) {
            const int y = m_bottomUp ? m_height - 1 - i : i;
            if (!rowSink(y, ramp.data() + (3 * y) % 256))
                return false;
        }
        return true;
    }

private:
    int m_width, m_height;
    bool m_rowByRow, m_bottomUp;
};

TEST(FileImageTest, PicturesBeyondTheLimitAreReducedWhileReadOrRefused)
{
    // 20000 x 15000 grey is 300 million pixels: halved to 10000 x 7500.
    struct Case {
        int width, height;
        bool rowByRow, bottomUp;
        int reducedWidth, reducedHeight;
    } cases[] = {{6, 4, true, false, 6, 4}, {6, 4, false, true, 6, 4}, {20000, 15000, true, true, 10000, 7500},
                 {20000, 15000, false, false, 0, 0}};
    for (const Case& c : cases) {
        CComputedImage image(c.width, c.height, c.rowByRow, c.bottomUp);
        image.setFileName("computed");
        const bool read = image.readImage();
        SCOPED_TRACE(std::to_string(c.width) + (c.rowByRow ? " by rows" : " whole"));
        ASSERT_EQ(read, c.reducedWidth > 0) << image.getErrorMessage();
        if (!read) {
            EXPECT_TRUE(image.isTooLarge());
            continue;
        }
        ASSERT_EQ(image.getWidth(), c.reducedWidth);
        ASSERT_EQ(image.getHeight(), c.reducedHeight);
        EXPECT_EQ(image.getSourceWidth(), c.width);
        const int factor = c.width / c.reducedWidth;
        // Bottom row first; pixel (x, y from the top) is the mean of its box.
        auto at = [&](int x, int y) {
            return image.getPixels()[static_cast<size_t>(c.reducedHeight - 1 - y) * c.reducedWidth + x];
        };
        auto mean = [&](int x, int y) {
            int sum = 0;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i)
                    sum += (x * factor + i + 3 * (y * factor + j)) % 256;
            return (sum + factor * factor / 2) / (factor * factor);
        };
        for (int y : {0, 1, c.reducedHeight - 1})
            for (int x : {0, 5, c.reducedWidth - 1})
                EXPECT_EQ(at(x, y), mean(x, y)) << x << "," << y;
        EXPECT_EQ(image.getNotice().empty(), factor == 1) << image.getNotice();
    }
}
