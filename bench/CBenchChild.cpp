// Measuring passes of the benchmark suite.
#include "CBenchChild.h"

#include "CFence.h"
#include "CMorFrame.h"
#include "CMorOffscreenContext.h"
#include "CMorTiledPicture.h"
#include "CZelImagePlane.h"
#include "CZelJpegImage.h"
#include "CZelPngImage.h"
#include "CZelPngWriter.h"
#include "CZelPointer.h"

#include <GL/gl.h>

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* name, double value)
{
    std::printf("%s %.9g\n", name, value);
}

bool hasSuffix(const std::string& path, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return path.size() >= n && path.compare(path.size() - n, n, suffix) == 0;
}

// Plain libpng: header, one buffer for all rows, the image, the end. Returns
// the pixel count, 0 on failure.
double plainPng(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return 0.0;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::unique_ptr<unsigned char[]> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return 0.0;
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
    const double count = static_cast<double>(png_get_image_width(png, info)) * height;
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return count;
}

// Plain libjpeg: decompress scanline by scanline into one buffer.
double plainJpeg(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return 0.0;
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
    const double count = static_cast<double>(cinfo.output_width) * cinfo.output_height;
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return count;
}

// An uncompressed BMP costs at least reading its bytes; three of them a pixel.
double plainRead(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return static_cast<double>(bytes.size()) / 3.0;
}

// Keeps the frame's progress lines out of the results.
class Silence
{
public:
    Silence() : m_previous(std::cout.rdbuf(m_nowhere.rdbuf())) {}
    ~Silence() { std::cout.rdbuf(m_previous); }

private:
    std::ofstream m_nowhere;
    std::streambuf* m_previous;
};

double timeFrame(const std::function<void()>& draw)
{
    const Clock::time_point start = Clock::now();
    draw();
    glFinish();
    return since(start);
}

double medianFrame(int count, const std::function<void()>& draw)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i)
        times.push_back(timeFrame(draw));
    return median(times);
}

// What an antialiased frame costs without any scene: its clears and
// accumulations.
void bareAccumulation(int passes)
{
    glClear(GL_ACCUM_BUFFER_BIT);
    for (int i = 0; i < passes; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glAccum(GL_ACCUM, 1.0f / passes);
    }
    glAccum(GL_RETURN, 1.0f);
}

// Looks square at the middle of the first fence's picture from as far as
// makes a picture pixel magnification screen pixels (perspective, 45 degrees
// over the frame's height). False without a fence.
bool lookAtMiddle(CMorFrame& frame, int height, double magnification)
{
    CFenceDiagram* diagram = frame.getDiagram();
    if (diagram == nullptr || diagram->getSize() == 0 || !diagram->getChild(0)->isClass("CFence"))
        return false;
    CFence* fence = static_cast<CFence*>(diagram->getChild(0));
    CZelLine3d* line = fence->getLine();
    const std::shared_ptr<CPyramid>& pyramid = fence->getPyramid();
    if (line == nullptr || !pyramid)
        return false;
    // One picture pixel in scene units, and where the picture's middle is.
    const double pixel = line->getLength() / pyramid->getWidth();
    double along = line->getLength() / 2.0;
    CZelVec3d middle, normal;
    for (int i = 0; i < line->getSegmentCount(); ++i) {
        CZelLineSegment3d* segment = line->getSegment(i);
        if (along > segment->getLength() && i + 1 < line->getSegmentCount()) {
            along -= segment->getLength();
            continue;
        }
        const CZelVec3d a = *segment->getFirstPoint(), b = *segment->getSecondPoint();
        const CZelVec3d direction = (b - a) * (1.0 / segment->getLength());
        middle = a + direction * along;
        normal = CZelVec3d(-direction.z(), 0.0, direction.x());
        break;
    }
    middle = middle + diagram->getOrigin() - CZelVec3d(0.0, pixel * pyramid->getHeight() / 2.0, 0.0);
    const double distance = pixel * height / (2.0 * std::tan(22.5 * M_PI / 180.0)) / magnification;
    const CZelVec3d eye = middle + normal * distance;
    CZelCamera* camera = frame.getCamera();
    // Fences that cross in front of it are cut away.
    camera->setPerspective(45.0, distance * 0.9, distance * 10.0);
    return camera->setTarget(middle.x(), middle.y(), middle.z()) && camera->setPosition(eye.x(), eye.y(), eye.z());
}

// Whether the middle of the frame shows the picture's checkerboard of red
// and blue pixels, each magnification screen pixels square: every pixel
// pure red or blue, and as many changes along a row as squares.
bool showsCheckerboard(int width, int height, int magnification)
{
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    CMorFrame::readPixels(width, height, rgb.data());
    const int size = 128;
    int pure = 0, changes = 0;
    for (int y = height / 2 - size / 2; y < height / 2 + size / 2; ++y)
        for (int x = width / 2 - size / 2; x < width / 2 + size / 2; ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            pure += (p[0] == 200 && p[1] == 30 && p[2] == 30) || (p[0] == 30 && p[1] == 30 && p[2] == 200);
            if (y == height / 2 && x > width / 2 - size / 2)
                changes += p[0] != p[-3];
        }
    return pure >= size * size * 95 / 100 && std::abs(changes - size / magnification) <= 2;
}

} // namespace

double CBenchChild::plainDecode(const std::string& path)
{
    if (hasSuffix(path, ".png") || hasSuffix(path, ".PNG"))
        return plainPng(path);
    if (hasSuffix(path, ".jpg") || hasSuffix(path, ".jpeg") || hasSuffix(path, ".JPG"))
        return plainJpeg(path);
    return plainRead(path);
}

int CBenchChild::decode(const std::vector<std::string>& paths)
{
    const Clock::time_point start = Clock::now();
    double pixels = 0.0;
    for (const std::string& path : paths) {
        const double decoded = plainDecode(path);
        if (decoded <= 0.0) {
            std::fprintf(stderr, "cannot decode %s\n", path.c_str());
            return 1;
        }
        pixels += decoded;
    }
    report("decode", since(start));
    report("pixels", pixels);
    return 0;
}

int CBenchChild::open(const std::string& description, int width, int height, int tiles, const std::string& outputPng,
                      bool closeUps)
{
    Silence silence;
    CMorOffscreenContext context;
    if (!context.create(width, height)) {
        std::fprintf(stderr, "%s\n", context.getErrorMessage().c_str());
        return 1;
    }
    CMorFrame frame;
    frame.initializeFrame(width, height);
    frame.resizeFrame(width, height);
    // As the headless renderer draws: every frame at the detail it needs.
    frame.setFullDetail(true);

    Clock::time_point start = Clock::now();
    if (!frame.open(description)) {
        std::fprintf(stderr, "%s\n", frame.getErrorMessage().c_str());
        return 1;
    }
    report("open", since(start));
    report("first", timeFrame([&] { frame.drawFrame(); }));
    report("steady", medianFrame(5, [&] { frame.drawFrame(); }));
    report("clear", medianFrame(5, [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }));

    if (closeUps) {
        if (!lookAtMiddle(frame, height, 1.0))
            return 1;
        report("nearfirst", timeFrame([&] { frame.drawFrame(); }));
        report("near", medianFrame(5, [&] { frame.drawFrame(); }));
        // The synthetic fences cross each other: for the close-up only the
        // first one stands.
        lookAtMiddle(frame, height, 4.0);
        CFenceDiagram* diagram = frame.getDiagram();
        for (int i = 1; i < diagram->getFenceCount(); ++i)
            diagram->getChild(i)->setState(1);
        frame.drawFrame();
        report("checker", showsCheckerboard(width, height, 4) ? 1.0 : 0.0);
        return 0;
    }
    frame.setAntialias(true);
    frame.setAntialiasLevel(2);
    report("aa2", medianFrame(3, [&] { frame.drawFrame(); }));
    report("aa2bare", medianFrame(3, [] { bareAccumulation(4); }));
    frame.setAntialiasLevel(6);
    report("aa6", medianFrame(1, [&] { frame.drawFrame(); }));
    report("aa6bare", medianFrame(3, [] { bareAccumulation(66); }));
    frame.setAntialias(false);

    start = Clock::now();
    CMorTiledPicture picture(&frame, tiles, tiles);
    CZelPngWriter writer;
    bool written = writer.open(outputPng, static_cast<int>(picture.getWidth()), static_cast<int>(picture.getHeight()), 3);
    written = written && picture.write([&writer](const unsigned char* row) { return writer.writeRow(row); });
    written = written && writer.close();
    if (!written) {
        std::fprintf(stderr, "tiled picture: %s %s\n", writer.getErrorMessage().c_str(),
                     picture.getErrorMessage().c_str());
        return 1;
    }
    report("tiled", since(start));
    std::remove(outputPng.c_str());
    return 0;
}

int CBenchChild::panel()
{
    const int width = 16384, height = 4096;
    CZelPointer<CZelImage> image = new CZelImage();
    image->setChannels(3);
    image->setSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = image->getPixels() + (static_cast<size_t>(y) * width + x) * 3;
            const int layer = (y + (x / 40) % 37) / 300;
            const bool margin = y > height - 200 || x > width - 300;
            p[0] = margin ? 255 : static_cast<unsigned char>(80 + layer * 11 % 150);
            p[1] = margin ? 255 : static_cast<unsigned char>(60 + layer * 23 % 160);
            p[2] = margin ? 255 : static_cast<unsigned char>(40 + layer * 37 % 170);
        }
    // A survey line of five points in map coordinates (scene x, elevation, z).
    const double points[][3] = {{6543210.57, 412.0, 5234987.25},
                                {6547012.10, 398.5, 5236120.75},
                                {6549876.45, 405.0, 5233998.00},
                                {6553120.00, 388.25, 5235410.50},
                                {6556543.21, 401.0, 5237002.00}};
    CZelPointer<CZelLine3d> line = new CZelLine3d();
    line->setSize(5);
    for (int i = 0; i < 5; ++i)
        line->getPoint(i)->setComponents(points[i]);

    const size_t bytes = static_cast<size_t>(width) * height * 3;
    std::unique_ptr<unsigned char[]> copy(new unsigned char[bytes]);
    Clock::time_point start = Clock::now();
    std::memcpy(copy.get(), image->getPixels(), bytes);
    report("panelcopy", since(start));
    copy.reset();

    Silence silence;
    start = Clock::now();
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    plane->setTextureSizeExponent(7);
    plane->setLine(line);
    plane->setImage(image);
    report("panel", since(start));
    return plane->getRows() > 0 ? 0 : 1;
}

int CBenchChild::reader(const std::string& path)
{
    const bool png = hasSuffix(path, ".png");
    std::vector<double> ours, plain;
    for (int i = 0; i < 3; ++i) {
        Clock::time_point start = Clock::now();
        if (plainDecode(path) <= 0.0)
            return 1;
        plain.push_back(since(start));
        start = Clock::now();
        CZelPointer<CZelFileImage> image;
        if (png)
            image = new CZelPngImage();
        else
            image = new CZelJpegImage();
        image->setFileName(path);
        if (!image->readImage())
            return 1;
        ours.push_back(since(start));
    }
    report("reader", median(ours));
    report("plain", median(plain));
    return 0;
}
