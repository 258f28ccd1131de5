// Reading time of a large PNG and JPEG section image through the program's
// readers, against decoding the same files with libpng and libjpeg alone.
#include "CZelJpegImage.h"
#include "CZelPngImage.h"
#include "CZelPointer.h"

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 8000;
constexpr int HEIGHT = 4000;
constexpr int RUNS = 5;

// A section-like picture: coloured layers with some texture and white margins.
std::vector<unsigned char> makePicture()
{
    std::vector<unsigned char> rgb(static_cast<size_t>(WIDTH) * HEIGHT * 3);
    unsigned seed = 12345;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int layer = (y + (x / 40) % 37) / 300;
            const int grain = static_cast<int>((seed >> 16) & 15);
            unsigned char* p = rgb.data() + (static_cast<size_t>(y) * WIDTH + x) * 3;
            const bool margin = y < 200 || x > WIDTH - 300;
            p[0] = margin ? 255 : static_cast<unsigned char>(80 + layer * 11 % 150 + grain);
            p[1] = margin ? 255 : static_cast<unsigned char>(60 + layer * 23 % 160 + grain);
            p[2] = margin ? 255 : static_cast<unsigned char>(40 + layer * 37 % 170 + grain);
        }
    }
    return rgb;
}

bool writePng(const std::string& path, const std::vector<unsigned char>& rgb)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, WIDTH, HEIGHT, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < HEIGHT; ++y)
        png_write_row(png, rgb.data() + static_cast<size_t>(y) * WIDTH * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(f) == 0;
}

bool writeJpeg(const std::string& path, const std::vector<unsigned char>& rgb)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = WIDTH;
    cinfo.image_height = HEIGHT;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb.data()) + static_cast<size_t>(cinfo.next_scanline) * WIDTH * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return fclose(f) == 0;
}

// Plain libpng: header, one buffer for all rows, the image, the end.
bool plainPng(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::unique_ptr<unsigned char[]> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    const size_t stride = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    // Uninitialised, as the readers allocate.
    pixels.reset(new unsigned char[stride * height]);
    for (png_uint_32 y = 0; y < height; ++y)
        rows.push_back(pixels.get() + y * stride);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(f);
    return true;
}

// Plain libjpeg: decompress scanline by scanline into one buffer.
bool plainJpeg(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    const size_t stride = static_cast<size_t>(cinfo.output_width) * cinfo.output_components;
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[stride * cinfo.output_height]);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.get() + cinfo.output_scanline * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    fclose(f);
    return true;
}

template <class Reader>
bool ourReader(const std::string& path)
{
    CZelPointer<Reader> image = new Reader();
    image->setFileName(path);
    return image->readImage() && image->getWidth() == WIDTH && image->getHeight() == HEIGHT;
}

double seconds(const std::function<bool()>& run, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    ok = run() && ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs both decoders in turn, RUNS times each, and prints the medians.
bool compare(const char* format, const std::string& path, const std::function<bool()>& ours,
             const std::function<bool()>& plain)
{
    std::vector<double> oursTimes, plainTimes;
    bool ok = true;
    for (int i = 0; i < RUNS; ++i) {
        plainTimes.push_back(seconds(plain, ok));
        oursTimes.push_back(seconds(ours, ok));
    }
    const double o = median(oursTimes), p = median(plainTimes);
    const double extra = (o / p - 1.0) * 100.0;
    printf("%-5s %d x %d: reader %7.1f ms, plain library %7.1f ms, %+5.1f%% (%s)\n", format, WIDTH, HEIGHT,
           o * 1000.0, p * 1000.0, extra, extra <= 15.0 ? "within 15%" : "MORE THAN 15%");
    if (!ok)
        printf("%s: a decoder failed on %s\n", format, path.c_str());
    return ok;
}

} // namespace

int main()
{
    char dir[] = "/tmp/morvex-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        perror("mkdtemp");
        return 1;
    }
    const std::string png = std::string(dir) + "/section.png";
    const std::string jpeg = std::string(dir) + "/section.jpg";
    printf("Writing %d x %d test images to %s\n", WIDTH, HEIGHT, dir);
    fflush(stdout);
    const std::vector<unsigned char> picture = makePicture();
    bool ok = writePng(png, picture) && writeJpeg(jpeg, picture);
    if (ok) {
        printf("Median of %d runs each\n", RUNS);
        ok = compare("PNG", png, [&] { return ourReader<CZelPngImage>(png); }, [&] { return plainPng(png); }) && ok;
        ok = compare("JPEG", jpeg, [&] { return ourReader<CZelJpegImage>(jpeg); }, [&] { return plainJpeg(jpeg); }) && ok;
    }
    unlink(png.c_str());
    unlink(jpeg.c_str());
    rmdir(dir);
    return ok ? 0 : 1;
}
