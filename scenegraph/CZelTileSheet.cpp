// Making the sheet texture and filling it tile by tile.
#include "CZelTileSheet.h"

CZelTileSheet::CZelTileSheet(int tileSize, int columns, int rows)
    : m_tileSize(tileSize), m_columns(columns), m_rows(rows)
{
}

CZelTileSheet::~CZelTileSheet()
{
    if (m_created)
        glDeleteTextures(1, &m_textureName);
}

void CZelTileSheet::setTile(int column, int row, CZelImage* tile)
{
    if (!tile || column < 0 || column >= m_columns || row < 0 || row >= m_rows || tile->getChannels() != 4 ||
        tile->getWidth() != m_tileSize || tile->getHeight() != m_tileSize || !tile->getPixels())
        return;
    m_pending.push_back({column, row, tile});
}

bool CZelTileSheet::bind()
{
    if (m_refused)
        return false;
    if (!m_created && !create()) {
        m_refused = true;
        m_pending.clear();
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, m_textureName);
    return true;
}

bool CZelTileSheet::create()
{
    if (m_tileSize <= 0 || m_columns <= 0 || m_rows <= 0)
        return false;
    const GLsizei width = m_columns * m_tileSize;
    const GLsizei height = m_rows * m_tileSize;
    // Asked first, so that a size beyond GL's limits is not an error.
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    GLint accepted = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &accepted);
    if (accepted == 0)
        return false;

    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glGenTextures(1, &m_textureName);
    glBindTexture(GL_TEXTURE_2D, m_textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    // A fragment a rounding error past the sheet's edge takes the edge texel,
    // not one from the opposite side.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    if (glGetError() == GL_OUT_OF_MEMORY) {
        glDeleteTextures(1, &m_textureName);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
        return false;
    }
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (const Placed& placed : m_pending)
        glTexSubImage2D(GL_TEXTURE_2D, 0, placed.column * m_tileSize, placed.row * m_tileSize, m_tileSize, m_tileSize,
                        GL_RGBA, GL_UNSIGNED_BYTE, placed.tile->getPixels());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    m_pending.clear();
    m_created = true;
    return true;
}
