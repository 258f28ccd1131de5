// Cutting, edge colouring and encoding of the export's textures.
#include "CMorTexturePieces.h"

#include "CMorJpegWriter.h"
#include "CZelPngWriter.h"

#include <cstdint>

namespace {

// Opaque pieces larger than this many bytes a pixel as PNG are photographs,
// which JPEG may hold in less.
constexpr double PHOTOGRAPH_BYTES_PER_PIXEL = 1.0;
constexpr int JPEG_QUALITY = 90;

bool encodePng(const std::vector<unsigned char>& pixels, int width, int height, int channels,
               std::vector<unsigned char>& png, std::string& error)
{
    CZelPngWriter writer;
    bool ok = writer.openMemory(png, width, height, channels);
    for (int y = 0; ok && y < height; ++y)
        ok = writer.writeRow(&pixels[static_cast<size_t>(y) * static_cast<size_t>(width) * channels]);
    ok = ok && writer.close();
    if (!ok)
        error = writer.getErrorMessage();
    return ok;
}

} // namespace

std::vector<int> CMorTexturePieces::split(int size, int largest)
{
    const int parts = (size + largest - 1) / largest;
    std::vector<int> edges;
    for (int k = 0; k <= parts; ++k)
        edges.push_back(static_cast<int>(static_cast<int64_t>(size) * k / parts));
    return edges;
}

void CMorTexturePieces::bleed(std::vector<unsigned char>& rgba, int width, int height)
{
    // A walk outwards from every kept pixel at once, eight neighbours a step:
    // each left-out pixel is reached first from a nearest kept one.
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint32_t> queue;
    std::vector<unsigned char> reached(count, 0);
    for (size_t i = 0; i < count; ++i)
        if (rgba[i * 4 + 3] != 0) {
            queue.push_back(static_cast<uint32_t>(i));
            reached[i] = 1;
        }
    if (queue.empty()) {
        for (size_t i = 0; i < count; ++i)
            rgba[i * 4] = rgba[i * 4 + 1] = rgba[i * 4 + 2] = 255;
        return;
    }
    for (size_t head = 0; head < queue.size(); ++head) {
        const uint32_t i = queue[head];
        const int x = static_cast<int>(i % static_cast<uint32_t>(width));
        const int y = static_cast<int>(i / static_cast<uint32_t>(width));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                    continue;
                const size_t n = static_cast<size_t>(ny) * static_cast<size_t>(width) + static_cast<size_t>(nx);
                if (reached[n])
                    continue;
                reached[n] = 1;
                for (int k = 0; k < 3; ++k)
                    rgba[n * 4 + k] = rgba[static_cast<size_t>(i) * 4 + k];
                queue.push_back(static_cast<uint32_t>(n));
            }
    }
}

bool CMorTexturePieces::cut(const std::vector<unsigned char>& rgba, int width, int height, std::string& error)
{
    m_pieces.clear();
    const std::vector<int> columns = split(width, LARGEST);
    const std::vector<int> rows = split(height, LARGEST);
    for (size_t r = 0; r + 1 < rows.size(); ++r)
        for (size_t c = 0; c + 1 < columns.size(); ++c) {
            Piece piece;
            piece.x0 = columns[c];
            piece.x1 = columns[c + 1];
            piece.y0 = rows[r];
            piece.y1 = rows[r + 1];
            const int w = piece.x1 - piece.x0, h = piece.y1 - piece.y0;
            std::vector<unsigned char> pixels(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
            for (int y = 0; y < h; ++y) {
                const size_t from = (static_cast<size_t>(piece.y0 + y) * static_cast<size_t>(width) +
                                     static_cast<size_t>(piece.x0)) * 4;
                std::copy(&rgba[from], &rgba[from] + static_cast<size_t>(w) * 4,
                          &pixels[static_cast<size_t>(y) * static_cast<size_t>(w) * 4]);
            }
            for (size_t i = 3; i < pixels.size() && !piece.masked; i += 4)
                piece.masked = pixels[i] == 0;
            piece.mimeType = "image/png";
            if (piece.masked) {
                bleed(pixels, w, h);
                if (!encodePng(pixels, w, h, 4, piece.bytes, error))
                    return false;
            } else {
                std::vector<unsigned char> rgb(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
                for (size_t i = 0, j = 0; i < pixels.size(); i += 4, j += 3)
                    for (int k = 0; k < 3; ++k)
                        rgb[j + static_cast<size_t>(k)] = pixels[i + static_cast<size_t>(k)];
                if (!encodePng(rgb, w, h, 3, piece.bytes, error))
                    return false;
                std::vector<unsigned char> jpeg;
                std::string jpegError;
                if (piece.bytes.size() > PHOTOGRAPH_BYTES_PER_PIXEL * w * h &&
                    CMorJpegWriter::encode(rgb.data(), w, h, JPEG_QUALITY, jpeg, jpegError) &&
                    jpeg.size() < piece.bytes.size()) {
                    piece.bytes.swap(jpeg);
                    piece.mimeType = "image/jpeg";
                }
            }
            m_pieces.push_back(std::move(piece));
        }
    return true;
}
