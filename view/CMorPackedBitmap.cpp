// Packed bitmap layout, file writing and reading.
#include "CMorPackedBitmap.h"

#include "CMorSafeFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

void put16(unsigned char* p, uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t get32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint16_t get16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

} // namespace

bool CMorPackedBitmap::setPixels(const unsigned char* rgb, int width, int height)
{
    m_bytes.clear();
    m_width = m_height = 0;
    if (rgb == nullptr || width <= 0 || height <= 0 || width % 4 != 0)
        return false;
    const size_t imageSize = static_cast<size_t>(width) * 3 * height;
    m_bytes.assign(HEADER_SIZE + imageSize, 0);
    unsigned char* header = m_bytes.data();
    put32(header, HEADER_SIZE);
    put32(header + 4, static_cast<uint32_t>(width));
    put32(header + 8, static_cast<uint32_t>(height));
    put16(header + 12, 1);
    put16(header + 14, 24);
    put32(header + 20, static_cast<uint32_t>(imageSize));
    unsigned char* out = header + HEADER_SIZE;
    for (size_t i = 0; i < imageSize; i += 3) {
        out[i] = rgb[i + 2];
        out[i + 1] = rgb[i + 1];
        out[i + 2] = rgb[i];
    }
    m_width = width;
    m_height = height;
    return true;
}

const unsigned char* CMorPackedBitmap::getRow(int y) const
{
    return m_bytes.data() + HEADER_SIZE + static_cast<size_t>(y) * m_width * 3;
}

std::vector<unsigned char> CMorPackedBitmap::getTopDownRGB() const
{
    std::vector<unsigned char> rgb(static_cast<size_t>(m_width) * 3 * m_height);
    const size_t rowBytes = static_cast<size_t>(m_width) * 3;
    for (int y = 0; y < m_height; ++y) {
        const unsigned char* in = getRow(y);
        unsigned char* out = rgb.data() + static_cast<size_t>(m_height - 1 - y) * rowBytes;
        for (size_t i = 0; i < rowBytes; i += 3) {
            out[i] = in[i + 2];
            out[i + 1] = in[i + 1];
            out[i + 2] = in[i];
        }
    }
    return rgb;
}

std::vector<unsigned char> CMorPackedBitmap::getFileBytes() const
{
    if (m_bytes.empty())
        return {};
    const size_t fileHeaderSize = 14;
    std::vector<unsigned char> file(fileHeaderSize + m_bytes.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(&file[2], static_cast<uint32_t>(file.size()));
    put32(&file[10], static_cast<uint32_t>(fileHeaderSize + HEADER_SIZE));
    std::memcpy(&file[fileHeaderSize], m_bytes.data(), m_bytes.size());
    return file;
}

bool CMorPackedBitmap::writeFile(const std::string& path, std::string& error) const
{
    return CMorSafeFile::write(path, m_bytes.data(), m_bytes.size(), error);
}

bool CMorPackedBitmap::readFile(const std::string& path, std::string& error)
{
    m_bytes.clear();
    m_width = m_height = 0;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "Cannot open " + path + ": " + std::strerror(errno) + ".";
        return false;
    }
    unsigned char header[HEADER_SIZE];
    bool ok = std::fread(header, 1, HEADER_SIZE, file) == HEADER_SIZE;
    const uint32_t width = get32(header + 4);
    const uint32_t height = get32(header + 8);
    ok = ok && get32(header) == HEADER_SIZE && get16(header + 14) == 24 && get32(header + 16) == 0 && width > 0 &&
         width % 4 == 0 && width <= 1u << 20 && height > 0 && height <= 1u << 20;
    if (!ok) {
        std::fclose(file);
        error = "Cannot read " + path + ": not a packed 24-bit bitmap.";
        return false;
    }
    const size_t imageSize = static_cast<size_t>(width) * 3 * height;
    m_bytes.resize(HEADER_SIZE + imageSize);
    std::memcpy(m_bytes.data(), header, HEADER_SIZE);
    ok = std::fread(m_bytes.data() + HEADER_SIZE, 1, imageSize, file) == imageSize;
    std::fclose(file);
    if (!ok) {
        m_bytes.clear();
        error = "Cannot read " + path + ": the file ends before its pixels do.";
        return false;
    }
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    return true;
}
