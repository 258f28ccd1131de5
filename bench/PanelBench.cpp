// Building the fence panel of a large section image (16384 x 4096 pixels,
// 4096 tiles of 128 pixels) along a bent line at map coordinates: time and
// memory per image pixel.
#include "CZelImagePlane.h"
#include "CZelPointer.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

namespace {

constexpr int WIDTH = 16384;
constexpr int HEIGHT = 4096;
constexpr int EXPONENT = 7;
constexpr int RUNS = 5;

// A section-like picture: coloured layers with white margins.
CZelImage* makePicture()
{
    CZelImage* image = new CZelImage();
    image->setChannels(3);
    image->setSize(WIDTH, HEIGHT);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            unsigned char* p = image->getPixels() + (static_cast<size_t>(y) * WIDTH + x) * 3;
            const int layer = (y + (x / 40) % 37) / 300;
            const bool margin = y > HEIGHT - 200 || x > WIDTH - 300;
            p[0] = margin ? 255 : static_cast<unsigned char>(80 + layer * 11 % 150);
            p[1] = margin ? 255 : static_cast<unsigned char>(60 + layer * 23 % 160);
            p[2] = margin ? 255 : static_cast<unsigned char>(40 + layer * 37 % 170);
        }
    return image;
}

// A survey line of five points in map coordinates (scene x, elevation, z).
CZelLine3d* makeLine()
{
    const double points[][3] = {{6543210.57, 412.0, 5234987.25},
                                {6547012.10, 398.5, 5236120.75},
                                {6549876.45, 405.0, 5233998.00},
                                {6553120.00, 388.25, 5235410.50},
                                {6556543.21, 401.0, 5237002.00}};
    CZelLine3d* line = new CZelLine3d();
    line->setSize(5);
    for (int i = 0; i < 5; ++i)
        line->getPoint(i)->setComponents(points[i]);
    return line;
}

double residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Builds one panel with its build log kept out of the report.
double build(CZelImagePlane* plane, CZelLine3d* line, CZelImage* image)
{
    std::ostringstream log;
    std::streambuf* previous = std::cout.rdbuf(log.rdbuf());
    const auto start = std::chrono::steady_clock::now();
    plane->setTextureSizeExponent(EXPONENT);
    plane->setLine(line);
    plane->setImage(image);
    const auto stop = std::chrono::steady_clock::now();
    std::cout.rdbuf(previous);
    return std::chrono::duration<double>(stop - start).count();
}

} // namespace

int main()
{
    CZelPointer<CZelImage> image = makePicture();
    CZelPointer<CZelLine3d> line = makeLine();
    const double pixels = static_cast<double>(WIDTH) * HEIGHT;
    const double mib = 1024.0 * 1024.0;

    // Memory of the first build, in a process that has built nothing yet.
    const double before = residentBytes();
    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    std::vector<double> seconds{build(plane, line, image)};
    const double grown = residentBytes() - before;
    size_t tileBytes = 0;
    int tiles = 0, quads = 0;
    for (int r = 0; r < plane->getRows(); ++r) {
        tiles += plane->getTileCount(r);
        quads += plane->getQuadCount(r);
        for (int i = 0; i < plane->getTileCount(r); ++i)
            tileBytes += plane->getTile(r, i)->getByteCount();
    }
    for (int run = 1; run < RUNS; ++run) {
        CZelPointer<CZelImagePlane> again = new CZelImagePlane();
        seconds.push_back(build(again, line, image));
    }
    std::sort(seconds.begin(), seconds.end());
    const double best = seconds.front();
    const double median = seconds[seconds.size() / 2];

    printf("panel %d x %d, %d-pixel tiles: %d tiles, %d quads, line %.1f long\n", WIDTH, HEIGHT, 1 << EXPONENT, tiles,
           quads, line->getLength());
    printf("build: best %.1f ms, median %.1f ms of %d (%.2f ns per pixel)\n", best * 1e3, median * 1e3, RUNS,
           best * 1e9 / pixels);
    printf("memory: tiles %.1f MiB (%.2f bytes per pixel), resident growth %.1f MiB (%.2f bytes per pixel)\n",
           static_cast<double>(tileBytes) / mib, static_cast<double>(tileBytes) / pixels, grown / mib, grown / pixels);
    return tiles == 4096 ? 0 : 1;
}
