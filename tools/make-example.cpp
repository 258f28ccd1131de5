// Writes the bundled example fence diagram: synthetic geological sections cut
// from one layered, faulted 3-D model, in PNG, JPEG and BMP, with a legend and
// a stored camera. Usage: make-example OUTPUT_DIR FONT.ttf
#include <ft2build.h>
#include FT_FREETYPE_H
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Colour {
    uint8_t r, g, b;
};

// An RGB picture, top row first.
struct Raster {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    Raster(int width, int height) : w(width), h(height), rgb(static_cast<size_t>(width) * height * 3, 255) {}
    void set(int x, int y, Colour c)
    {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return;
        uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    void blend(int x, int y, Colour c, int coverage)
    {
        if (x < 0 || y < 0 || x >= w || y >= h || coverage <= 0)
            return;
        uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        p[0] = static_cast<uint8_t>((p[0] * (255 - coverage) + c.r * coverage) / 255);
        p[1] = static_cast<uint8_t>((p[1] * (255 - coverage) + c.g * coverage) / 255);
        p[2] = static_cast<uint8_t>((p[2] * (255 - coverage) + c.b * coverage) / 255);
    }
    void fill(int x0, int y0, int x1, int y1, Colour c)
    {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                set(x, y, c);
    }
};

struct Unit {
    const char* name;
    Colour colour;
};

// Strata from the top down; the last one fills everything below.
const Unit UNITS[] = {
    {"Topsoil and glacial till", {166, 124, 82}},
    {"Sandstone", {236, 204, 112}},
    {"Grey shale", {112, 122, 134}},
    {"Limestone", {150, 196, 226}},
    {"Red siltstone", {196, 110, 92}},
    {"Conglomerate", {214, 168, 70}},
    {"Granite basement", {202, 120, 168}},
};
constexpr int UNIT_COUNT = sizeof(UNITS) / sizeof(UNITS[0]);
const Colour INK = {30, 30, 34};
const Colour FAULT = {200, 20, 20};

const double E0 = 512000.0; // map origin of the model
const double N0 = 6541000.0;

double groundElevation(double e, double n)
{
    return 190.0 + 55.0 * std::sin((e - E0) / 650.0) + 35.0 * std::cos((n - N0) / 830.0) +
           9.0 * std::sin((e + n - E0 - N0) / 170.0);
}

// Positive on the down-thrown side of the fault.
double faultSide(double e, double n)
{
    return (e - E0 - 2100.0) - 0.35 * (n - N0 - 1500.0);
}

// Elevation of the base of unit k (k = 0 is the topsoil) at a map point.
double unitBase(int k, double e, double n)
{
    const double ground = groundElevation(e, n);
    if (k == 0)
        return ground - 12.0 - 4.0 * std::sin((e - E0) / 120.0);
    static const double TOPS[] = {0.0, 110.0, 10.0, -95.0, -180.0, -290.0};
    const double fold = 38.0 * std::sin((e - E0) / 900.0 + (n - N0) / 1300.0);
    const double dipped = TOPS[k] - 0.045 * (e - E0) + 0.03 * (n - N0) + fold + 9.0 * std::sin((n - N0) / 500.0 + k);
    const double thrown = faultSide(e, n) > 0.0 ? dipped - 70.0 : dipped;
    return std::min(thrown, unitBase(0, e, n) - 2.0 * k);
}

class TextPainter
{
public:
    explicit TextPainter(const char* fontFile)
    {
        m_ok = FT_Init_FreeType(&m_library) == 0 && FT_New_Face(m_library, fontFile, 0, &m_face) == 0;
    }
    ~TextPainter()
    {
        if (m_face)
            FT_Done_Face(m_face);
        if (m_library)
            FT_Done_FreeType(m_library);
    }
    bool ok() const { return m_ok; }

    // Draws text with its baseline at y; returns the advance in pixels.
    int draw(Raster& r, int x, int y, int size, const std::string& text, Colour c)
    {
        FT_Set_Pixel_Sizes(m_face, 0, static_cast<FT_UInt>(size));
        int pen = x;
        for (unsigned char ch : text) {
            if (FT_Load_Char(m_face, ch, FT_LOAD_RENDER) != 0)
                continue;
            const FT_GlyphSlot g = m_face->glyph;
            for (unsigned row = 0; row < g->bitmap.rows; ++row)
                for (unsigned col = 0; col < g->bitmap.width; ++col)
                    r.blend(pen + g->bitmap_left + static_cast<int>(col), y - g->bitmap_top + static_cast<int>(row), c,
                            g->bitmap.buffer[row * g->bitmap.pitch + col]);
            pen += static_cast<int>(g->advance.x >> 6);
        }
        return pen - x;
    }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    bool m_ok = false;
};

bool writePng(const std::string& path, const Raster& r)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, r.w, r.h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < r.h; ++y)
        png_write_row(png, const_cast<png_bytep>(&r.rgb[static_cast<size_t>(y) * r.w * 3]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool writeJpeg(const std::string& path, const Raster& r)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(r.w);
    cinfo.image_height = static_cast<JDIMENSION>(r.h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 92, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&r.rgb[static_cast<size_t>(cinfo.next_scanline) * r.w * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

void put16(std::vector<uint8_t>& b, unsigned v)
{
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}

void put32(std::vector<uint8_t>& b, unsigned v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

// 24-bit bottom-up BMP with a 40-byte information header.
bool writeBmp(const std::string& path, const Raster& r)
{
    const unsigned stride = (static_cast<unsigned>(r.w) * 3 + 3) & ~3u;
    const unsigned dataSize = stride * static_cast<unsigned>(r.h);
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + dataSize);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, static_cast<unsigned>(r.w));
    put32(b, static_cast<unsigned>(r.h));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, dataSize);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = r.h - 1; y >= 0; --y) {
        const size_t start = b.size();
        for (int x = 0; x < r.w; ++x) {
            const uint8_t* p = &r.rgb[(static_cast<size_t>(y) * r.w + x) * 3];
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
        }
        while (b.size() - start < stride)
            b.push_back(0);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return static_cast<bool>(out);
}

struct MapPoint {
    double e, n, z;
};

struct Fence {
    std::string name;
    std::vector<MapPoint> points;
    std::string file;
    int labelEnd;
};

double length3d(const std::vector<MapPoint>& p)
{
    double total = 0.0;
    for (size_t i = 1; i < p.size(); ++i)
        total += std::sqrt((p[i].e - p[i - 1].e) * (p[i].e - p[i - 1].e) +
                           (p[i].n - p[i - 1].n) * (p[i].n - p[i - 1].n) +
                           (p[i].z - p[i - 1].z) * (p[i].z - p[i - 1].z));
    return total;
}

// The map point and line elevation at arc length s along the polyline.
MapPoint along(const std::vector<MapPoint>& p, double s)
{
    for (size_t i = 1; i < p.size(); ++i) {
        const double d = std::sqrt((p[i].e - p[i - 1].e) * (p[i].e - p[i - 1].e) +
                                   (p[i].n - p[i - 1].n) * (p[i].n - p[i - 1].n) +
                                   (p[i].z - p[i - 1].z) * (p[i].z - p[i - 1].z));
        if (s <= d || i + 1 == p.size()) {
            const double t = d > 0.0 ? std::min(1.0, s / d) : 0.0;
            return {p[i - 1].e + t * (p[i].e - p[i - 1].e), p[i - 1].n + t * (p[i].n - p[i - 1].n),
                    p[i - 1].z + t * (p[i].z - p[i - 1].z)};
        }
        s -= d;
    }
    return p.back();
}

// Cuts the model along the fence: one column per pixel, white sky above ground.
Raster drawSection(const Fence& fence, double metresPerPixel, double depth, TextPainter& text)
{
    const double length = length3d(fence.points);
    const int w = static_cast<int>(std::lround(length / metresPerPixel));
    const int h = static_cast<int>(std::lround(depth / metresPerPixel));
    Raster r(w, h);
    const int boreholeColumn = w * 3 / 10;
    double previousSide = 0.0;
    for (int x = 0; x < w; ++x) {
        const MapPoint m = along(fence.points, (x + 0.5) * metresPerPixel);
        const double side = faultSide(m.e, m.n);
        for (int y = 0; y < h; ++y) {
            const double z = m.z - (y + 0.5) * metresPerPixel;
            if (z > groundElevation(m.e, m.n))
                continue;
            int k = 0;
            while (k < UNIT_COUNT - 1 && z < unitBase(k, m.e, m.n))
                ++k;
            r.set(x, y, UNITS[k].colour);
        }
        // Layer contacts as thin dark lines.
        for (int k = 0; k < UNIT_COUNT - 1; ++k) {
            const int y = static_cast<int>((m.z - unitBase(k, m.e, m.n)) / metresPerPixel);
            r.blend(x, y, INK, 110);
        }
        const int groundRow = static_cast<int>((m.z - groundElevation(m.e, m.n)) / metresPerPixel);
        r.set(x, groundRow, {60, 110, 40});
        r.set(x, groundRow + 1, {60, 110, 40});
        if (x > 0 && (previousSide > 0.0) != (side > 0.0))
            for (int y = groundRow; y < h; ++y) {
                r.set(x, y, FAULT);
                r.set(x + 1, y, FAULT);
            }
        previousSide = side;
        if (x == boreholeColumn) {
            const int bottom = std::min(h - 2, groundRow + static_cast<int>(420.0 / metresPerPixel));
            for (int y = groundRow - 6; y < bottom; ++y) {
                r.set(x, y, INK);
                r.set(x + 1, y, INK);
            }
            for (int y = groundRow; y < bottom; y += static_cast<int>(50.0 / metresPerPixel))
                for (int dx = -4; dx <= 5; ++dx)
                    r.set(x + dx, y, INK);
            text.draw(r, x - 14, std::max(14, groundRow - 10), 13, "BH-" + fence.name.substr(0, 1), INK);
        }
    }
    text.draw(r, 8, 20, 16, "Section " + fence.name, INK);
    return r;
}

Raster drawLegend(TextPainter& text)
{
    const int rowHeight = 30;
    Raster r(380, 74 + (UNIT_COUNT + 2) * rowHeight);
    // A frame so the legend reads as a panel over any background.
    r.fill(0, 0, r.w, 2, INK);
    r.fill(0, r.h - 2, r.w, r.h, INK);
    r.fill(0, 0, 2, r.h, INK);
    r.fill(r.w - 2, 0, r.w, r.h, INK);
    text.draw(r, 16, 36, 22, "Legend", INK);
    int y = 56;
    for (const Unit& u : UNITS) {
        r.fill(16, y, 64, y + 20, u.colour);
        r.fill(16, y, 64, y + 1, INK);
        r.fill(16, y + 19, 64, y + 20, INK);
        r.fill(16, y, 17, y + 20, INK);
        r.fill(63, y, 64, y + 20, INK);
        text.draw(r, 78, y + 15, 15, u.name, INK);
        y += rowHeight;
    }
    r.fill(38, y, 41, y + 20, FAULT);
    text.draw(r, 78, y + 15, 15, "Fault", INK);
    y += rowHeight;
    r.fill(39, y, 41, y + 22, INK);
    for (int t = y + 4; t < y + 22; t += 8)
        r.fill(34, t, 46, t + 1, INK);
    text.draw(r, 78, y + 15, 15, "Borehole, ticks every 50 m", INK);
    return r;
}

std::string real(double v)
{
    std::ostringstream s;
    s << std::setprecision(17) << v;
    double back = 0.0;
    // Shortest decimal that reads back as the same double.
    for (int digits = 1; digits <= 17; ++digits) {
        std::ostringstream t;
        t << std::setprecision(digits) << v;
        std::istringstream(t.str()) >> back;
        if (back == v)
            return t.str();
    }
    return s.str();
}

MapPoint at(double e, double n, double above)
{
    return {e, n, std::round((groundElevation(e, n) + above + 45.0) * 100.0) / 100.0};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR FONT.ttf\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    TextPainter text(argv[2]);
    if (!text.ok()) {
        std::fprintf(stderr, "make-example: cannot load font %s\n", argv[2]);
        return 1;
    }

    std::vector<Fence> fences = {
        {"A-A'", {at(512140.25, 6541210.50, 55), at(513380.75, 6541405.25, 60), at(514720.50, 6541330.75, 52)},
         "images/section-a.png", 0},
        {"B-B'", {at(512085.50, 6542295.25, 58), at(513610.25, 6542480.50, 64), at(514905.75, 6542390.25, 50)},
         "images/section-b.jpg", 0},
        {"C-C'", {at(512210.75, 6543385.50, 57), at(513140.50, 6543590.75, 61), at(514050.25, 6543470.50, 66),
                  at(514860.50, 6543655.25, 54)},
         "images/section-c.png", 0},
        {"D-D'", {at(512360.50, 6540920.25, 50), at(512420.25, 6542170.75, 63), at(512310.75, 6543790.50, 56)},
         "images/section-d.bmp", 1},
        {"E-E'", {at(513520.25, 6540985.75, 62), at(513690.50, 6542880.25, 58), at(513600.75, 6543905.50, 60)},
         "images/section-e.jpg", 1},
        {"F-F'", {at(514590.75, 6540890.50, 54), at(514680.25, 6541950.75, 66), at(514810.50, 6542960.25, 57),
                  at(514735.25, 6543880.75, 61)},
         "images/section-f.png", 1},
        {"G-G'", {at(512610.25, 6541015.50, 60), at(514410.50, 6543745.25, 58)}, "images/section-g.jpg", 0},
        {"H-H'", {at(511905.50, 6541790.25, 56), at(512890.75, 6542005.50, 62), at(513905.25, 6541720.75, 59),
                  at(514880.50, 6541905.25, 63), at(515620.75, 6541690.50, 55)},
         "images/section-h.png", 0},
        {"K-K'", {at(515480.25, 6542510.75, 57), at(515560.50, 6543960.25, 61)}, "images/section-k.png", 1},
    };

    const double metresPerPixel = 2.5;
    const double depth = 760.0;
    for (Fence& f : fences) {
        const Raster r = drawSection(f, metresPerPixel, depth, text);
        const std::string path = dir + "/" + f.file;
        const std::string ext = f.file.substr(f.file.rfind('.') + 1);
        const bool ok = ext == "png" ? writePng(path, r) : ext == "jpg" ? writeJpeg(path, r) : writeBmp(path, r);
        if (!ok) {
            std::fprintf(stderr, "make-example: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %d x %d\n", path.c_str(), r.w, r.h);
    }
    if (!writePng(dir + "/images/legend.png", drawLegend(text))) {
        std::fprintf(stderr, "make-example: cannot write the legend\n");
        return 1;
    }

    // Scene axes: x east, y up, z north. Look from the south-west, above.
    double minE = 1e300, maxE = -1e300, minN = 1e300, maxN = -1e300, minZ = 1e300, maxZ = -1e300;
    for (const Fence& f : fences)
        for (const MapPoint& p : f.points) {
            minE = std::min(minE, p.e);
            maxE = std::max(maxE, p.e);
            minN = std::min(minN, p.n);
            maxN = std::max(maxN, p.n);
            minZ = std::min(minZ, p.z);
            maxZ = std::max(maxZ, p.z);
        }
    const double size = std::max(maxE - minE, maxN - minN);
    const double cx = std::round((minE + maxE) / 2.0 * 100.0) / 100.0;
    const double cz = std::round((minN + maxN) / 2.0 * 100.0) / 100.0;
    const double cy = std::round(((minZ + maxZ) / 2.0 - depth / 2.0) * 100.0) / 100.0;

    std::ofstream out(dir + "/example.fnc");
    out << "#MORVEX1\n" << fences.size() << "\n";
    for (const Fence& f : fences) {
        out << f.points.size() << "\n";
        for (const MapPoint& p : f.points)
            out << real(p.e) << " " << real(p.n) << " " << real(p.z) << "\n";
        out << f.file << "\n" << f.name << "\n" << f.labelEnd << "\n";
    }
    out << real(std::round(cx - 0.85 * size)) << " " << real(std::round(cy + 1.05 * size)) << " "
        << real(std::round(cz - 1.35 * size)) << "\n";
    out << real(cx) << " " << real(cy) << " " << real(cz) << "\n";
    out << "45 " << real(0.01 * size) << " " << real(3.0 * size) << "\n";
    out << "images/legend.png\n10 10\n2 1\n0.22\n";
    if (!out) {
        std::fprintf(stderr, "make-example: cannot write %s/example.fnc\n", dir.c_str());
        return 1;
    }
    std::printf("%s/example.fnc: %zu fences\n", dir.c_str(), fences.size());
    return 0;
}
