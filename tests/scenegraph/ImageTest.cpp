// Images in memory (sizes, aspect, alpha, region copies) and their upload
// into textures and tile sheets on an offscreen context.
#include "CZelImage.h"
#include "CZelTexture.h"
#include "CZelTileSheet.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

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
    const unsigned char* p =
        image.getPixels() + (static_cast<size_t>(y) * image.getWidth() + x) * image.getChannels();
    return std::vector<int>(p, p + image.getChannels());
}

} // namespace

TEST(ImageTest, SizeChannelsAndAspect)
{
    CZelImage image;
    EXPECT_EQ(image.getWidth(), -1);
    EXPECT_EQ(image.getFormat(), static_cast<GLenum>(GL_RGB));
    EXPECT_FALSE(image.setSize(0, 10));
    EXPECT_EQ(image.getWidth(), -1);
    EXPECT_EQ(image.getPixels(), nullptr);

    ASSERT_TRUE(image.setSize(3, 2));
    EXPECT_EQ(image.getByteCount(), 18u);
    EXPECT_FALSE(image.setSize(-3, 2));
    EXPECT_EQ(image.getWidth(), 3);

    image.setChannels(4);
    EXPECT_EQ(image.getFormat(), static_cast<GLenum>(GL_RGBA));
    EXPECT_EQ(image.getByteCount(), 24u);
    // A count the GL formats do not know would leave too short a buffer.
    image.setChannels(5);
    EXPECT_EQ(image.getChannels(), 3);
    EXPECT_EQ(image.getByteCount(), 18u);

    image.setSize(640, 480);
    EXPECT_EQ(image.getAspect(), 1.0);
    image.setSize(480, 640);
    EXPECT_EQ(image.getAspect(), 0.0);

    // Sizes whose byte count does not fit are refused, not wrapped around.
    EXPECT_EQ(CZelImage::byteCount(INT_MAX, INT_MAX, 4), static_cast<size_t>(INT_MAX) * INT_MAX * 4);
    EXPECT_EQ(CZelImage::byteCount(0, 5, 3), 0u);
}

TEST(ImageTest, FillAndAlpha)
{
    CZelPointer<CZelImage> rgba = counting(2, 2, 4);
    rgba->fillColor(1, 2, 3);
    rgba->setAlphaValue(9);
    EXPECT_EQ(pixel(*rgba, 1, 1), (std::vector<int>{1, 2, 3, 9}));

    CZelPointer<CZelImage> rgb = counting(2, 1, 3);
    rgb->setAlphaValue(9);
    rgb->setAlphaByThreshold(250, -1, 0, 255);
    EXPECT_EQ(pixel(*rgb, 1, 0), (std::vector<int>{3, 4, 5}));

    // Near-white pixels (all of red, green, blue at 250 or above) become
    // transparent, all others opaque.
    const unsigned char colours[4][3] = {{250, 250, 250}, {255, 249, 255}, {0, 0, 0}, {255, 255, 255}};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c)
            rgba->getPixels()[i * 4 + c] = colours[i][c];
    rgba->setAlphaByThreshold(250, -1, 0, 255);
    EXPECT_EQ(pixel(*rgba, 0, 0)[3], 0);
    EXPECT_EQ(pixel(*rgba, 1, 0)[3], 255);
    EXPECT_EQ(pixel(*rgba, 0, 1)[3], 255);
    EXPECT_EQ(pixel(*rgba, 1, 1)[3], 0);
    // One channel only; unknown channel numbers look at red.
    rgba->setAlphaByThreshold(250, 1, 10, 20);
    EXPECT_EQ(pixel(*rgba, 1, 0)[3], 20);
    EXPECT_EQ(pixel(*rgba, 0, 0)[3], 10);
    rgba->setAlphaByThreshold(250, 7, 10, 20);
    EXPECT_EQ(pixel(*rgba, 1, 0)[3], 10);
    EXPECT_EQ(pixel(*rgba, 0, 1)[3], 20);
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
    EXPECT_EQ(pixel(*target, 1, 2), (std::vector<int>{s[40], s[41], s[42]}));
    EXPECT_EQ(pixel(*target, 2, 2), (std::vector<int>{s[44], s[45], s[46]}));
    EXPECT_EQ(pixel(*target, 0, 2), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(pixel(*target, 1, 1), (std::vector<int>{0, 0, 0}));

    // Extreme ranges neither overflow nor run for ever.
    target->fillColor(0, 0, 0);
    target->copyRegion(source, INT_MIN, INT_MAX, INT_MIN, INT_MAX, 0, 0);
    EXPECT_EQ(pixel(*target, 0, 0), (std::vector<int>{0, 0, 0}));
    target->copyRegion(source, -2, INT_MAX, -2, INT_MAX, 0, 0);
    EXPECT_EQ(pixel(*target, 2, 2), (std::vector<int>{s[0], s[1], s[2]}));
    target->copyRegion(source, 0, 3, 0, 3, INT_MAX, INT_MIN);

    CZelPointer<CZelImage> grey = counting(2, 2, 1);
    target->copyRegion(grey, 0, 1, 0, 1, 0, 0);
    EXPECT_EQ(pixel(*target, 0, 0), (std::vector<int>{0, 0, 0}));
}

using TextureTest = OffscreenGLTest;

TEST_F(TextureTest, ImageRowsOfAnyWidthUploadIntact)
{
    CZelPointer<CZelImage> image = counting(5, 3, 3);
    CZelPointer<CZelTexture> texture = new CZelTexture();
    texture->setImage(image);
    glEnable(GL_TEXTURE_2D);
    texture->bind();
    EXPECT_TRUE(texture->isCreated());
    EXPECT_EQ(readInteger(GL_UNPACK_ALIGNMENT), 4);

    GLint width = 0, format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(format, GL_RGB);
    std::vector<unsigned char> back(45);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    EXPECT_EQ(back, std::vector<unsigned char>(image->getPixels(), image->getPixels() + 45));
    glDisable(GL_TEXTURE_2D);
}

TEST_F(TextureTest, RawDataAndMipmaps)
{
    const std::vector<unsigned char> rgba(8 * 4 * 4, 200);
    CZelPointer<CZelTexture> raw = new CZelTexture();
    raw->setRawData(rgba.data(), 8, 4);
    raw->bind();
    GLint format = 0, levelOneWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGB);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
    EXPECT_EQ(levelOneWidth, 0);

    CZelPointer<CZelTexture> mipmapped = new CZelTexture();
    mipmapped->setRawData(rgba.data(), 8, 4);
    mipmapped->setGenerateMipmaps(true);
    mipmapped->bind();
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGBA);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
    EXPECT_EQ(levelOneWidth, 4);
    EXPECT_NE(raw->getTextureName(), mipmapped->getTextureName());
}

TEST_F(TextureTest, ApplyLoadsTheTextureMatrix)
{
    CZelPointer<CZelTexture> texture = new CZelTexture();
    texture->bind();
    texture->setTextureTransform(0.0, 0.0, 0.0, 0.0, 0.0);
    texture->apply();
    EXPECT_EQ(readInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    const std::vector<double> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(readMatrix(GL_TEXTURE_MATRIX), identity);

    texture->setTextureTransform(2.0, 3.0, 90.0, 0.5, 0.25);
    texture->apply();
    // T(0.5, 0.25) R(90 about z) S(2, 3), column-major.
    const std::vector<double> m = readMatrix(GL_TEXTURE_MATRIX);
    EXPECT_NEAR(m[0], 0.0, 1e-6);
    EXPECT_NEAR(m[1], 2.0, 1e-6);
    EXPECT_NEAR(m[4], -3.0, 1e-6);
    EXPECT_NEAR(m[5], 0.0, 1e-6);
    EXPECT_NEAR(m[12], 0.5, 1e-6);
    EXPECT_NEAR(m[13], 0.25, 1e-6);

    texture->setActive(false);
    glEnable(GL_TEXTURE_2D);
    texture->apply();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(TextureTest, TileSheetPlacesEveryTileAndRefusesWhatGLCannotHold)
{
    // Tiles of a 4 x 2 sheet, each filled with its own number: read back,
    // every texel sits in its tile's place, counted from the lower left.
    CZelPointer<CZelTileSheet> sheet = new CZelTileSheet(8, 4, 2);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column) {
            CZelPointer<CZelImage> tile = new CZelImage();
            tile->setChannels(4);
            tile->setSize(8, 8);
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
    std::vector<unsigned char> texels(32 * 16 * 4);
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
