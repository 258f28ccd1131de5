// Tiled drawing and read-back of pictures larger than the drawing area.
#include "CMorTiledPicture.h"

#include "CMorFrame.h"
#include "CMorTileGrid.h"

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <new>

CMorTiledPicture::CMorTiledPicture(CMorFrame* frame, int rows, int columns)
    : m_frame(frame), m_rows(std::max(rows, 1)), m_columns(std::max(columns, 1))
{
}

long long CMorTiledPicture::getWidth() const
{
    return static_cast<long long>(m_frame->getFrameWidth()) * m_columns;
}

long long CMorTiledPicture::getHeight() const
{
    return static_cast<long long>(m_frame->getFrameHeight()) * m_rows;
}

bool CMorTiledPicture::write(const RowSink& sink)
{
    const CMorTileGrid grid(m_frame->getFrameWidth(), m_frame->getFrameHeight(), m_rows, m_columns);
    const int tileWidth = grid.getTileWidth();
    const int tileHeight = grid.getTileHeight();
    const long long rowBytes = grid.getPictureWidth() * 3;
    if (tileWidth <= 0 || tileHeight <= 0) {
        m_errorMessage = "The picture has no pixels.";
        return false;
    }
    // One row of tiles, read side by side into the picture's own row layout.
    std::unique_ptr<unsigned char[]> band(new (std::nothrow) unsigned char[static_cast<size_t>(rowBytes) * tileHeight]);
    if (!band) {
        m_errorMessage = "Not enough memory for a row of tiles of the picture.";
        return false;
    }
    const bool tiled = m_rows > 1 || m_columns > 1;
    bool ok = true;
    // PNG rows run from the top: the top row of tiles comes first.
    for (int row = m_rows - 1; row >= 0 && ok; --row) {
        for (int column = 0; column < m_columns; ++column) {
            if (tiled)
                m_frame->setTileMode(true, row, column, m_rows, m_columns);
            if (m_drawer)
                m_drawer();
            else
                m_frame->drawFrame();
            glFinish();
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(grid.getPictureWidth()));
            glReadPixels(0, 0, tileWidth, tileHeight, GL_RGB, GL_UNSIGNED_BYTE,
                         band.get() + static_cast<size_t>(grid.getPictureX(column)) * 3);
            glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        }
        // GL reads bottom row first.
        for (int y = tileHeight - 1; y >= 0 && ok; --y)
            ok = sink(band.get() + static_cast<size_t>(y) * static_cast<size_t>(rowBytes));
        if (!ok)
            m_errorMessage = "The picture's rows could not be written.";
    }
    if (tiled)
        m_frame->setTileMode(false);
    return ok;
}
