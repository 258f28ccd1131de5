// Writes a one-fence diagram whose section is a scan-sized PNG, row by row, so
// that pictures far larger than memory can be made (image tools refuse them).
// Usage: make-scan OUTPUT_DIR WIDTH HEIGHT; writes scan.png and scan.fnc.
#include <png.h>

#include <csetjmp>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Strata from the top down, below the paper's own tint.
const unsigned char LAYERS[][3] = {{244, 240, 226}, {214, 168, 70},  {112, 122, 134}, {150, 196, 226},
                                   {196, 110, 92},  {236, 204, 112}, {202, 120, 168}};
constexpr int LAYER_COUNT = sizeof(LAYERS) / sizeof(LAYERS[0]);

// The top of layer k (k >= 1) at column x, in rows: gently waving boundaries.
int layerTop(int k, int x, int width, int height)
{
    const double along = static_cast<double>(x) / width;
    const double base = height * (0.12 + 0.8 * (k - 1) / (LAYER_COUNT - 1));
    return static_cast<int>(base + height * 0.03 * std::sin(along * 9.0 + k));
}

// What every row is made of, computed once.
struct Strata
{
    int width = 0;
    int height = 0;
    // tops[k][x]: the first row of layer k at column x.
    std::vector<std::vector<int>> tops;
    std::vector<unsigned char> row;

    Strata(int w, int h) : width(w), height(h), tops(LAYER_COUNT), row(static_cast<size_t>(w) * 3)
    {
        for (int k = 1; k < LAYER_COUNT; ++k)
            for (int x = 0; x < width; ++x)
                tops[static_cast<size_t>(k)].push_back(layerTop(k, x, width, height));
    }

    const unsigned char* makeRow(int y)
    {
        for (int x = 0; x < width; ++x) {
            int k = LAYER_COUNT - 1;
            while (k > 0 && y < tops[static_cast<size_t>(k)][static_cast<size_t>(x)])
                --k;
            // Dark specks in the rock break its runs of one colour, which
            // would compress beyond what a believable file holds.
            const int g = k != 0 && (x * 31 + y * 17) % 97 == 0 ? 60 : 0;
            unsigned char* p = &row[static_cast<size_t>(x) * 3];
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<unsigned char>(LAYERS[k][c] > g ? LAYERS[k][c] - g : 0);
        }
        return row.data();
    }
};

// No C++ object with a destructor may live in this frame: libpng leaves it by longjmp.
bool encode(FILE* file, Strata& strata)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    // Fast rather than small.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(strata.width), static_cast<png_uint_32>(strata.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < strata.height; ++y)
        png_write_row(png, strata.makeRow(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool writeScan(const std::string& path, int width, int height)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    Strata strata(width, height);
    const bool written = encode(file, strata);
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    // A file-size limit is a failure to report, not a signal to die of.
    std::signal(SIGXFSZ, SIG_IGN);
    const int width = argc == 4 ? std::atoi(argv[2]) : 0;
    const int height = argc == 4 ? std::atoi(argv[3]) : 0;
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "Usage: make-scan OUTPUT_DIR WIDTH HEIGHT\n");
        return 2;
    }
    const std::string directory = argv[1];
    if (!writeScan(directory + "/scan.png", width, height)) {
        std::fprintf(stderr, "make-scan: cannot write %s/scan.png\n", directory.c_str());
        return 1;
    }
    // One fence a metre a pixel wide, along x; the camera is placed automatically.
    std::ofstream fnc(directory + "/scan.fnc");
    fnc << "#MORVEX1\n1\n2\n0 0 0\n" << width << " 0 0\nscan.png\nScan\n0\n0 0 0\n0 0 0\n0 0 0\n";
    fnc.close();
    if (!fnc) {
        std::fprintf(stderr, "make-scan: cannot write %s/scan.fnc\n", directory.c_str());
        return 1;
    }
    return 0;
}
