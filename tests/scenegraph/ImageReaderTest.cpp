// The PNG, JPEG and BMP readers over the folders of test images: good files show
// their picture upright, bad files fail and leave the image as it was, tolerated
// files either load or fail cleanly. tests/data/images/make-images.py writes them.
#include "CZelBmpImage.h"
#include "CZelJpegImage.h"
#include "CZelPngImage.h"
#include "CZelPointer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

namespace {

// The largest pixel buffer a reader asked for: readers allocate pixels with
// nothrow array new, which this test program replaces to measure it. The
// other array forms are replaced too, so that every new[] and delete[] pair.
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

std::vector<fs::path> imagesIn(const std::string& folder)
{
    const char* data = std::getenv("MORVEX_TEST_DATA");
    std::vector<fs::path> files;
    if (!data)
        return files;
    for (const auto& entry : fs::directory_iterator(fs::path(data) / "images" / folder))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

CZelFileImage* readerFor(const fs::path& path)
{
    const std::string ext = path.extension().string();
    CZelFileImage* reader = nullptr;
    if (ext == ".png")
        reader = new CZelPngImage();
    else if (ext == ".jpg")
        reader = new CZelJpegImage();
    else
        reader = new CZelBmpImage();
    reader->setFileName(path.string());
    return reader;
}

// What a good file's name promises: <what>_c<channels>_<pattern>[_a<alpha>].<ext>
struct Promise
{
    int channels = 0;
    std::string pattern;
    int alpha = -1;
};

Promise promiseOf(const fs::path& path)
{
    Promise p;
    std::string stem = path.stem().string();
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t pos; (pos = stem.find('_', start)) != std::string::npos; start = pos + 1)
        parts.push_back(stem.substr(start, pos - start));
    parts.push_back(stem.substr(start));
    for (const std::string& part : parts) {
        if (part.size() == 2 && part[0] == 'c')
            p.channels = part[1] - '0';
        else if (part == "colour" || part == "grey" || part == "bw")
            p.pattern = part;
        else if (part[0] == 'a')
            p.alpha = std::atoi(part.c_str() + 1);
    }
    return p;
}

// The colour of cell (column, row from the top) of the common test picture.
std::vector<int> expectedCell(const std::string& pattern, int column, int row)
{
    if (row == 0)
        return {255, 255, 255};
    if (row > 1)
        return {0, 0, 0};
    if (pattern == "colour") {
        static const int colours[5][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}, {255, 255, 255}};
        return {colours[column][0], colours[column][1], colours[column][2]};
    }
    static const int grey[5] = {0, 85, 170, 255, 0};
    static const int bw[5] = {0, 255, 0, 255, 0};
    const int v = pattern == "grey" ? grey[column] : bw[column];
    return {v, v, v};
}

GLenum formatFor(int channels)
{
    const GLenum formats[5] = {0, GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
    return formats[channels];
}

// A 2 x 2 image with known pixels, to see that a failed read leaves it alone.
void prefill(CZelImage& image)
{
    image.setChannels(3);
    image.setSize(2, 2);
    for (int i = 0; i < 12; ++i)
        image.getPixels()[i] = static_cast<unsigned char>(i * 7);
}

void expectPrefilled(const CZelImage& image, const unsigned char* pixels)
{
    EXPECT_EQ(image.getWidth(), 2);
    EXPECT_EQ(image.getHeight(), 2);
    EXPECT_EQ(image.getChannels(), 3);
    EXPECT_EQ(image.getFormat(), static_cast<GLenum>(GL_RGB));
    ASSERT_EQ(image.getPixels(), pixels);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(image.getPixels()[i], i * 7);
}

} // namespace

TEST(ImageReaderTest, GoodFilesShowTheirPictureWithTheFirstFileRowOnTop)
{
    const std::vector<fs::path> files = imagesIn("good");
    ASSERT_GE(files.size(), 30u);
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        CZelPointer<CZelFileImage> image = readerFor(path);
        ASSERT_TRUE(image->readImage()) << image->getErrorMessage();
        EXPECT_TRUE(image->getErrorMessage().empty());
        const Promise promise = promiseOf(path);
        ASSERT_EQ(image->getChannels(), promise.channels);
        EXPECT_EQ(image->getFormat(), formatFor(promise.channels));
        const bool lossy = path.extension() == ".jpg";
        const int cell = lossy ? 16 : 1;
        const int tolerance = lossy ? 40 : 0;
        ASSERT_EQ(image->getWidth(), 5 * cell);
        ASSERT_EQ(image->getHeight(), 4 * cell);
        const int channels = image->getChannels();
        const int colourChannels = channels >= 3 ? 3 : 1;
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 5; ++column) {
                const std::vector<int> want = expectedCell(promise.pattern, column, row);
                const int x = column * cell + cell / 2;
                const int y = (3 - row) * cell + cell / 2;
                const unsigned char* p =
                    image->getPixels() + (static_cast<size_t>(y) * image->getWidth() + x) * channels;
                for (int c = 0; c < colourChannels; ++c) {
                    EXPECT_NEAR(p[c], want[c], tolerance) << "cell " << column << ", " << row << " channel " << c;
                }
                if (promise.alpha >= 0) {
                    EXPECT_EQ(p[channels - 1], promise.alpha) << "cell " << column << ", " << row;
                }
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
        prefill(*image);
        const unsigned char* pixels = image->getPixels();
        g_largestNothrowArray = 0;
        EXPECT_FALSE(image->readImage());
        EXPECT_NE(image->getErrorMessage().find(path.filename().string()), std::string::npos)
            << image->getErrorMessage();
        expectPrefilled(*image, pixels);
        // Files that claim 60000 x 60000 pixels or more are refused before
        // anything near their size is allocated.
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
        prefill(*image);
        const unsigned char* pixels = image->getPixels();
        if (image->readImage()) {
            EXPECT_GT(image->getWidth(), 0);
            EXPECT_GT(image->getHeight(), 0);
            EXPECT_NE(image->getPixels(), nullptr);
            EXPECT_EQ(image->getByteCount(),
                      static_cast<size_t>(image->getWidth()) * image->getHeight() * image->getChannels());
        } else {
            EXPECT_FALSE(image->getErrorMessage().empty());
            expectPrefilled(*image, pixels);
        }
    }
}

TEST(ImageReaderTest, MissingFilesFail)
{
    CZelPointer<CZelFileImage> images[] = {new CZelPngImage(), new CZelJpegImage(), new CZelBmpImage(),
                                           new CZelFileImage()};
    for (auto& image : images) {
        image->setFileName("/nonexistent/section.img");
        testing::internal::CaptureStderr();
        EXPECT_FALSE(image->readImage());
        const std::string written = testing::internal::GetCapturedStderr();
        // Only the JPEG reader says so on standard error.
        const std::string expected = image->isClass("CZelJpegImage") ? "can't open /nonexistent/section.img\n" : "";
        EXPECT_EQ(written, expected);
        EXPECT_FALSE(image->getErrorMessage().empty());
        EXPECT_EQ(image->getWidth(), -1);
    }
    CZelBmpImage unnamed;
    EXPECT_FALSE(unnamed.readImage());
}

TEST(ImageReaderTest, PicturesBeyondTheSizeLimitAreRefusedFromTheirHeaders)
{
    EXPECT_FALSE(CZelFileImage::exceedsLimits(16384, 16384, 4));
    EXPECT_TRUE(CZelFileImage::exceedsLimits(16385, 16384, 1));
    EXPECT_TRUE(CZelFileImage::exceedsLimits(65535, 4097, 3));
    EXPECT_TRUE(CZelFileImage::exceedsLimits(0x7FFFFFFF, 0x7FFFFFFF, 4));
    EXPECT_FALSE(CZelFileImage::exceedsLimits(1 << 28, 1, 4));
    EXPECT_FALSE(CZelFileImage::exceedsLimits(0, 1 << 30, 4));

    const char* data = std::getenv("MORVEX_TEST_DATA");
    ASSERT_NE(data, nullptr);
    const char* const names[] = {"too-large.png", "too-large.jpg", "too-large.bmp"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        CZelPointer<CZelFileImage> image = readerFor(fs::path(data) / "bad" / name);
        g_largestNothrowArray = 0;
        EXPECT_FALSE(image->readImage());
        EXPECT_TRUE(image->isTooLarge());
        EXPECT_NE(image->getErrorMessage().find(std::string(name) + " is too large: "), std::string::npos)
            << image->getErrorMessage();
        EXPECT_LT(g_largestNothrowArray, 1u << 20);
        EXPECT_EQ(image->getPixels(), nullptr);
    }
    // Damage is not taken for size.
    CZelPointer<CZelFileImage> truncated = readerFor(fs::path(data) / "bad" / "truncated.png");
    EXPECT_FALSE(truncated->readImage());
    EXPECT_FALSE(truncated->isTooLarge());
}
