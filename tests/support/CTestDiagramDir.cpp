// Scratch directories for diagram tests.
#include "CTestDiagramDir.h"

#include "CZelImage.h"
#include "CZelPngWriter.h"
#include "CZelPointer.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <vector>

CTestDiagramDir::CTestDiagramDir()
{
    char pattern[] = "/tmp/morvex-diagram-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("cannot make a scratch directory");
    m_path = pattern;
}

CTestDiagramDir::~CTestDiagramDir()
{
    const std::string command = "rm -rf '" + m_path + "'";
    if (std::system(command.c_str()) != 0)
        return;
}

std::string CTestDiagramDir::write(const std::string& name, const std::string& text) const
{
    const std::string full = file(name);
    for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1))
        mkdir(file(name.substr(0, slash)).c_str(), 0755);
    std::ofstream(full, std::ios::binary) << text;
    return full;
}

std::string CTestDiagramDir::writePng(const std::string& name, int width, int height, unsigned char r,
                                      unsigned char g, unsigned char b, int whiteRows) const
{
    write(name, "");
    CZelPointer<CZelImage> image(new CZelImage());
    image->setChannels(3);
    image->setSize(width, height);
    unsigned char* p = image->getPixels();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Rows are stored bottom first: the top rows are the last ones.
            const bool white = y >= height - whiteRows;
            unsigned char* px = p + (static_cast<size_t>(y) * width + x) * 3;
            px[0] = white ? 255 : r;
            px[1] = white ? 255 : g;
            px[2] = white ? 255 : b;
        }
    std::string error;
    if (!CZelPngWriter::write(file(name), image, error))
        throw std::runtime_error(error);
    return file(name);
}
