// Cutting rows into tiles, with the alpha the panels' white removal tests.
#include "CZelTiledPicture.h"

#include <algorithm>
#include <cstdint>

namespace {

unsigned char whiteDistanceAlpha(unsigned char r, unsigned char g, unsigned char b)
{
    const int distance = 255 - std::min({r, g, b});
    return static_cast<unsigned char>(1 + std::min(254, distance));
}

} // namespace

bool CZelTiledPicture::start(int width, int height, int channels)
{
    return start(width, height, channels, 0, 0, width, height);
}

bool CZelTiledPicture::start(int width, int height, int channels, int x0, int top, int x1, int bottom)
{
    m_tiles.clear();
    m_pixelRuns = nullptr;
    m_width = m_height = m_columns = 0;
    x0 = std::max(0, x0);
    top = std::max(0, top);
    x1 = std::min(width, x1);
    bottom = std::min(height, bottom);
    if (m_tileSize <= 0 || x1 <= x0 || bottom <= top || channels < 1 || channels > 4)
        return false;
    m_offsetX = x0;
    m_offsetY = top;
    m_wholeWidth = width;
    m_wholeHeight = height;
    width = x1 - x0;
    height = bottom - top;
    m_width = width;
    m_height = height;
    m_channels = channels;
    const int64_t ts = m_tileSize;
    m_columns = static_cast<int>((width + ts - 1) / ts);
    m_tiles.assign(static_cast<size_t>((height + ts - 1) / ts),
                   std::vector<CZelPointer<CZelImage>>(static_cast<size_t>(m_columns)));
    m_pixelRuns = new CFencePixelRuns(width, height);
    m_alphas.assign(static_cast<size_t>(width), 0);
    return true;
}

void CZelTiledPicture::setSourceSize(int width, int height)
{
    m_sourceWidth = width;
    m_sourceHeight = height;
}

void CZelTiledPicture::getFileWindow(double& left, double& top, double& right, double& bottom) const
{
    // Exact for a picture read whole: the scale is then 1.
    const double scaleX = m_wholeWidth > 0 ? static_cast<double>(getFileWidth()) / m_wholeWidth : 1.0;
    const double scaleY = m_wholeHeight > 0 ? static_cast<double>(getFileHeight()) / m_wholeHeight : 1.0;
    left = m_offsetX * scaleX;
    right = (m_offsetX + m_width) * scaleX;
    top = m_offsetY * scaleY;
    bottom = (m_offsetY + m_height) * scaleY;
}

void CZelTiledPicture::setFileSize(int width, int height)
{
    m_fileWidth = width;
    m_fileHeight = height;
}

CZelImage* CZelTiledPicture::getTile(int row, int column) const
{
    if (row < 0 || row >= getRows() || column < 0 || column >= m_columns)
        return nullptr;
    return m_tiles[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

bool CZelTiledPicture::addRow(int rowFromTop, const unsigned char* row)
{
    rowFromTop -= m_offsetY;
    if (rowFromTop < 0 || rowFromTop >= m_height)
        return true;
    row += static_cast<size_t>(m_offsetX) * static_cast<size_t>(m_channels);
    const int ts = m_tileSize;
    const int fromBottom = m_height - 1 - rowFromTop;
    std::vector<CZelPointer<CZelImage>>& tiles = m_tiles[static_cast<size_t>(fromBottom / ts)];
    const size_t tileRow = static_cast<size_t>(fromBottom % ts);
    const bool grey = m_channels < 3;
    const bool hasAlpha = m_channels == 2 || m_channels == 4;
    for (int c = 0; c < m_columns; ++c) {
        CZelPointer<CZelImage>& tile = tiles[static_cast<size_t>(c)];
        if (!tile) {
            tile = new CZelImage();
            tile->setChannels(4);
            if (!tile->setSize(ts, ts)) {
                tile = nullptr;
                return false;
            }
            // What no row fills is padding.
            unsigned char* p = tile->getPixels();
            for (size_t i = 0; i < static_cast<size_t>(ts) * static_cast<size_t>(ts); ++i, p += 4) {
                p[0] = p[1] = 255;
                p[2] = 0;
                p[3] = 255;
            }
        }
        const int x0 = c * ts;
        const int count = std::min(ts, m_width - x0);
        const unsigned char* from = row + static_cast<size_t>(x0) * static_cast<size_t>(m_channels);
        unsigned char* to = tile->getPixels() + tileRow * static_cast<size_t>(ts) * 4;
        for (int x = 0; x < count; ++x, from += m_channels, to += 4) {
            const unsigned char r = from[0];
            const unsigned char g = grey ? r : from[1];
            const unsigned char b = grey ? r : from[2];
            to[0] = r;
            to[1] = g;
            to[2] = b;
            to[3] = hasAlpha && from[m_channels - 1] < 128 ? 0 : whiteDistanceAlpha(r, g, b);
            m_alphas[static_cast<size_t>(x0 + x)] = to[3];
        }
    }
    m_pixelRuns->setRow(rowFromTop, m_alphas.data());
    return true;
}

void CZelTiledPicture::finish()
{
    m_alphas = std::vector<unsigned char>();
    if (m_pixelRuns)
        m_pixelRuns->compact();
}

bool CZelTiledPicture::cut(const CZelImage* image)
{
    if (!image || !image->getPixels() || !start(image->getWidth(), image->getHeight(), image->getChannels()))
        return false;
    const size_t stride = static_cast<size_t>(m_width) * static_cast<size_t>(m_channels);
    for (int y = 0; y < m_height; ++y)
        if (!addRow(m_height - 1 - y, image->getPixels() + static_cast<size_t>(y) * stride))
            return false;
    finish();
    return true;
}
