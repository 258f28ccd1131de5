// The PNG, JPEG, BMP and TIFF readers over the folders of test images written by
// tests/data/images/make-images.py: good files show their picture upright, bad
// files fail and leave the image as it was, tolerated files load or fail cleanly.
#include "CTestDiagramDir.h"
#include "CZelBmpImage.h"
#include "CZelJpegImage.h"
#include "CZelPngImage.h"
#include "CZelPointer.h"
#include "CZelTiffImage.h"

#include <gtest/gtest.h>

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

namespace {

// Readers allocate pixels with nothrow array new, replaced here to measure the
// largest request; the other array forms are replaced to stay paired with it.
size_t g_largestNothrowArray = 0;

} // namespace

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    g_largestNothrowArray = std::max(g_largestNothrowArray, size);
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

void* operator new[](std::size_t size)
{
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

namespace {

namespace fs = std::filesystem;

const fs::path DATA = std::getenv("MORVEX_TEST_DATA") ? std::getenv("MORVEX_TEST_DATA") : "";

std::vector<fs::path> imagesIn(const std::string& folder)
{
    std::vector<fs::path> files(fs::directory_iterator(DATA / "images" / folder), fs::directory_iterator());
    std::sort(files.begin(), files.end());
    return files;
}

CZelFileImage* readerFor(const fs::path& path)
{
    const std::string ext = path.extension().string();
    CZelFileImage* reader = ext == ".png"   ? static_cast<CZelFileImage*>(new CZelPngImage())
                            : ext == ".jpg" ? static_cast<CZelFileImage*>(new CZelJpegImage())
                            : ext == ".tif" ? static_cast<CZelFileImage*>(new CZelTiffImage())
                                            : static_cast<CZelFileImage*>(new CZelBmpImage());
    reader->setFileName(path.string());
    return reader;
}

// Channel k of cell (column, row from the top) of the common test picture:
// a white row, a row in the pattern, two black rows.
int expectedCell(const std::string& pattern, int column, int row, int k)
{
    static const int colour[5][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}, {255, 255, 255}};
    static const int grey[5] = {0, 85, 170, 255, 0}, bw[5] = {0, 255, 0, 255, 0};
    if (row != 1)
        return row == 0 ? 255 : 0;
    return pattern == "colour" ? colour[column][k] : pattern == "grey" ? grey[column] : bw[column];
}

// Reads path into an image prefilled with 2 x 2 known pixels; a failed read
// must leave them as they were.
bool readPrefilled(CZelFileImage& image)
{
    image.setChannels(3);
    image.setSize(2, 2);
    for (int i = 0; i < 12; ++i)
        image.getPixels()[i] = static_cast<unsigned char>(i * 7);
    const unsigned char* pixels = image.getPixels();
    g_largestNothrowArray = 0;
    testing::internal::CaptureStderr();
    const bool read = image.readImage();
    // Library messages end up in the reason, never on standard error.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    if (read)
        return true;
    EXPECT_EQ(image.getWidth() * image.getHeight(), 4);
    EXPECT_EQ(image.getFormat(), static_cast<GLenum>(GL_RGB));
    EXPECT_EQ(image.getPixels(), pixels);
    EXPECT_EQ(std::vector<unsigned char>(pixels, pixels + 12),
              (std::vector<unsigned char>{0, 7, 14, 21, 28, 35, 42, 49, 56, 63, 70, 77}));
    EXPECT_FALSE(image.getErrorMessage().empty());
    return false;
}

} // namespace

TEST(ImageReaderTest, GoodFilesShowTheirPictureWithTheFirstFileRowOnTop)
{
    const std::vector<fs::path> files = imagesIn("good");
    ASSERT_GE(files.size(), 40u);
    const GLenum formats[5] = {0, GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        CZelPointer<CZelFileImage> image = readerFor(path);
        ASSERT_TRUE(image->readImage()) << image->getErrorMessage();
        // The name promises <what>_c<channels>_<pattern>[_a<alpha>].<ext>
        const std::string stem = path.stem().string();
        const size_t c = stem.find("_c");
        const int channels = stem[c + 2] - '0';
        const size_t patternEnd = stem.find('_', c + 4);
        const std::string pattern = stem.substr(c + 4, patternEnd - (c + 4));
        const int alpha = patternEnd == std::string::npos ? -1 : std::atoi(stem.c_str() + patternEnd + 2);
        const size_t black = stem.find("_k", c);
        const int blackAlpha = black == std::string::npos ? alpha : std::atoi(stem.c_str() + black + 2);
        ASSERT_EQ(image->getChannels(), channels);
        EXPECT_EQ(image->getFormat(), formats[channels]);
        const bool lossy = path.extension() == ".jpg" || stem.find("jpeg") != std::string::npos;
        const int cell = lossy || stem.find("tiled") != std::string::npos ? 16 : 1;
        ASSERT_EQ(image->getWidth(), 5 * cell);
        ASSERT_EQ(image->getHeight(), 4 * cell);
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 5; ++column) {
                const int x = column * cell + cell / 2, y = (3 - row) * cell + cell / 2;
                const unsigned char* p = image->getPixels() + (static_cast<size_t>(y) * 5 * cell + x) * channels;
                for (int k = 0; k < (channels >= 3 ? 3 : 1); ++k) {
                    EXPECT_NEAR(p[k], expectedCell(pattern, column, row, k), lossy ? 40 : 0) << "cell " << column << ", " << row << " channel " << k;
                }
                if (alpha >= 0) {
                    const bool isBlack = expectedCell(pattern, column, row, 0) + expectedCell(pattern, column, row, 1) +
                                             expectedCell(pattern, column, row, 2) == 0;
                    EXPECT_EQ(p[channels - 1], isBlack ? blackAlpha : alpha) << "cell " << column << ", " << row;
                }
            }
    }
}

TEST(ImageReaderTest, BadFilesFailAndLeaveTheImageAsItWas)
{
    const std::vector<fs::path> files = imagesIn("bad");
    ASSERT_GE(files.size(), 25u);
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        CZelPointer<CZelFileImage> image = readerFor(path);
        EXPECT_FALSE(readPrefilled(*image));
        EXPECT_NE(image->getErrorMessage().find(path.filename().string()), std::string::npos)
            << image->getErrorMessage();
        // Huge claimed sizes are refused before anything near them is allocated.
        EXPECT_LT(g_largestNothrowArray, 1u << 20);
    }
}

TEST(ImageReaderTest, ToleratedFilesLoadOrFailCleanly)
{
    const std::vector<fs::path> files = imagesIn("tolerated");
    ASSERT_GE(files.size(), 5u);
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        CZelPointer<CZelFileImage> image = readerFor(path);
        if (readPrefilled(*image)) {
            EXPECT_NE(image->getPixels(), nullptr);
            EXPECT_GT(image->getByteCount(), 0u);
        }
    }
}

TEST(ImageReaderTest, A32BitBitmapWithAnyAlphaKeepsItsZeroAlphasAndAMultiPageTiffSaysWhatItShows)
{
    // Only the last pixel the file stores, the top right one, has alpha 200.
    CZelPointer<CZelFileImage> image = readerFor(DATA / "images" / "bmp-32bit-one-alpha.bmp");
    ASSERT_TRUE(image->readImage()) << image->getErrorMessage();
    const unsigned char* pixels = image->getPixels();
    EXPECT_EQ(pixels[(4 * 5 - 1) * 4 + 3], 200);
    EXPECT_EQ(pixels[(3 * 5) * 4 + 3], 0);
    EXPECT_EQ(pixels[3], 0);

    const fs::path path = DATA / "images" / "good" / "tiff-two-pages_c3_colour.tif";
    image = readerFor(path);
    ASSERT_TRUE(image->readImage()) << image->getErrorMessage();
    EXPECT_EQ(image->getNotice(), "Image " + path.string() + " has 2 pages; the first is shown.");
}

TEST(ImageReaderTest, MissingFilesFail)
{
    CZelPointer<CZelFileImage> images[] = {new CZelPngImage(), new CZelJpegImage(), new CZelBmpImage(),
                                           new CZelTiffImage(), new CZelFileImage()};
    for (auto& image : images) {
        image->setFileName("/nonexistent/section.img");
        testing::internal::CaptureStderr();
        EXPECT_FALSE(image->readImage());
        // Only the JPEG reader says so on standard error.
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  image->isClass("CZelJpegImage") ? "can't open /nonexistent/section.img\n" : "");
        EXPECT_FALSE(image->getErrorMessage().empty());
    }
}

TEST(ImageReaderTest, CmykWithoutAnAdobeMarkerIsTakenAsStored)
{
    // libjpeg marks every CMYK file as Adobe's (inverted) unless told not to.
    CTestDiagramDir dir;
    const std::string path = dir.file("plain-cmyk.jpg");
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = cinfo.image_height = 16;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    cinfo.write_Adobe_marker = FALSE;
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    // 60 % cyan and 20 % black: (255 - 153) x (255 - 51) / 255 red, 204 green and blue.
    std::vector<unsigned char> row;
    for (int x = 0; x < 16; ++x)
        row.insert(row.end(), {153, 0, 0, 51});
    for (JSAMPROW rows[1] = {row.data()}; cinfo.next_scanline < 16;)
        jpeg_write_scanlines(&cinfo, rows, 1);
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);

    CZelPointer<CZelFileImage> image = readerFor(path);
    ASSERT_TRUE(image->readImage()) << image->getErrorMessage();
    ASSERT_EQ(image->getChannels(), 3);
    const unsigned char* p = image->getPixels() + (8 * 16 + 8) * 3;
    EXPECT_NEAR(p[0], 82, 3);
    EXPECT_NEAR(p[1], 204, 3);
    EXPECT_NEAR(p[2], 204, 3);
}

TEST(ImageReaderTest, PicturesBeyondTheSizeLimitThatCannotBeReadRowByRowAreRefusedFromTheirHeaders)
{
    // An interlaced PNG and a progressive JPEG.
    for (const char* name : {"too-large.png", "too-large.jpg"}) {
        SCOPED_TRACE(name);
        CZelPointer<CZelFileImage> image = readerFor(DATA / "bad" / name);
        g_largestNothrowArray = 0;
        EXPECT_FALSE(image->readImage());
        EXPECT_TRUE(image->isTooLarge());
        EXPECT_LT(g_largestNothrowArray, 1u << 20);
        EXPECT_EQ(image->getPixels(), nullptr);
    }
}
