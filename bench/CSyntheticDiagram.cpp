// Synthetic fence diagrams for the benchmarks.
#include "CSyntheticDiagram.h"

#include "CZelPngWriter.h"

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <vector>

namespace {

bool exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

} // namespace

CSyntheticDiagram::CSyntheticDiagram(int fenceCount, int imageWidth, int imageHeight, Format format, int pointCount)
    : m_fenceCount(fenceCount), m_imageWidth(imageWidth), m_imageHeight(imageHeight), m_format(format),
      m_pointCount(pointCount < 2 ? 2 : pointCount)
{
}

bool CSyntheticDiagram::parseFormat(const std::string& name, Format& format)
{
    if (name == "png")
        format = FORMAT_PNG;
    else if (name == "jpeg")
        format = FORMAT_JPEG;
    else if (name == "mixed")
        format = FORMAT_MIXED;
    else
        return false;
    return true;
}

double CSyntheticDiagram::getPixelCount() const
{
    return static_cast<double>(m_fenceCount) * m_imageWidth * m_imageHeight;
}

// A section-like picture: tilted, wavy layers whose colours differ per fence,
// some grain, a white margin below the deepest layer on the right, and in
// the middle a checkerboard of red and blue pixels 256 pixels square.
void CSyntheticDiagram::makeRow(int fence, int y, unsigned char* rgb) const
{
    unsigned seed = 2654435761u * static_cast<unsigned>(y + 1) + 40503u * static_cast<unsigned>(fence);
    const double depth = static_cast<double>(y) / m_imageHeight;
    for (int x = 0; x < m_imageWidth; ++x) {
        seed = seed * 1103515245u + 12345u;
        const double along = static_cast<double>(x) / m_imageWidth;
        unsigned char* p = rgb + static_cast<size_t>(x) * 3;
        if (std::abs(x - m_imageWidth / 2) < 128 && std::abs(y - m_imageHeight / 2) < 128) {
            const bool red = (x + y) % 2 == 0;
            p[0] = red ? 200 : 30;
            p[1] = 30;
            p[2] = red ? 30 : 200;
            continue;
        }
        if (depth > 0.8 + 0.15 * (1.0 - along)) {
            p[0] = p[1] = p[2] = 255;
            continue;
        }
        const double wave = 0.04 * std::sin(along * 12.0 + fence) + 0.1 * along;
        const int layer = static_cast<int>((depth + wave) * 9.0) + fence;
        const int grain = static_cast<int>((seed >> 16) & 15);
        p[0] = static_cast<unsigned char>(60 + (layer * 53) % 150 + grain);
        p[1] = static_cast<unsigned char>(60 + (layer * 91) % 150 + grain);
        p[2] = static_cast<unsigned char>(50 + (layer * 37) % 160 + grain);
    }
}

bool CSyntheticDiagram::writePicture(const std::string& path, int fence, bool jpeg)
{
    if (jpeg)
        return writeJpeg(path, fence);
    CZelPngWriter writer;
    if (m_fast)
        writer.setCompressionLevel(1);
    if (!writer.open(path, m_imageWidth, m_imageHeight, 3)) {
        m_errorMessage = writer.getErrorMessage();
        return false;
    }
    std::vector<unsigned char> row(static_cast<size_t>(m_imageWidth) * 3);
    for (int y = 0; y < m_imageHeight; ++y) {
        makeRow(fence, y, row.data());
        if (!writer.writeRow(row.data())) {
            m_errorMessage = writer.getErrorMessage();
            return false;
        }
    }
    if (!writer.close()) {
        m_errorMessage = writer.getErrorMessage();
        return false;
    }
    return true;
}

bool CSyntheticDiagram::writeJpeg(const std::string& path, int fence)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        m_errorMessage = "Cannot write " + path + ".";
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(m_imageWidth);
    cinfo.image_height = static_cast<JDIMENSION>(m_imageHeight);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(m_imageWidth) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        makeRow(fence, static_cast<int>(cinfo.next_scanline), row.data());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    if (std::fclose(file) != 0) {
        m_errorMessage = "Cannot write " + path + ".";
        return false;
    }
    return true;
}

bool CSyntheticDiagram::write(const std::string& directory)
{
    mkdir(directory.c_str(), 0755);
    m_imagePaths.clear();
    m_descriptionPath = directory + "/diagram.fnc";
    std::ofstream fnc(m_descriptionPath);
    if (!fnc) {
        m_errorMessage = "Cannot write " + m_descriptionPath + ".";
        return false;
    }
    fnc << "#MORVEX1\n" << m_fenceCount << "\n" << std::setprecision(10);
    // Survey lines in a grid of map coordinates, each as long as its picture
    // is wide at one metre a pixel, so that the panels keep their aspect.
    const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(m_fenceCount))));
    for (int fence = 0; fence < m_fenceCount; ++fence) {
        const bool jpeg = m_format == FORMAT_JPEG || (m_format == FORMAT_MIXED && fence % 2 == 1);
        const std::string name = "section-" + std::to_string(fence) + "-" + std::to_string(m_imageWidth) + "x" +
                                 std::to_string(m_imageHeight) + (jpeg ? ".jpg" : ".png");
        const std::string path = directory + "/" + name;
        if (!exists(path) && !writePicture(path, fence, jpeg))
            return false;
        m_imagePaths.push_back(path);

        const double east = 512000.0 + (fence % perRow) * m_imageWidth * 0.3;
        const double north = 6541000.0 + (fence / perRow) * m_imageWidth * 0.3;
        const double step = static_cast<double>(m_imageWidth) / (m_pointCount - 1);
        fnc << m_pointCount << "\n";
        for (int i = 0; i < m_pointCount; ++i) {
            // A line that bends a little at every point.
            const double s = step * i;
            fnc << east + s * 0.94 << " " << north + 0.34 * s + ((i % 2) ? 0.05 * step : 0.0) << " "
                << 300.0 + 40.0 * std::sin(i * 0.7 + fence) << "\n";
        }
        fnc << name << "\nF" << fence << "\n0\n";
    }
    fnc << "0 0 0\n0 0 0\n0 0 0\n";
    fnc.close();
    if (!fnc) {
        m_errorMessage = "Cannot write " + m_descriptionPath + ".";
        return false;
    }
    return true;
}
