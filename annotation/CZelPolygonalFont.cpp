// FTGL polygon font behind the model-unit text size.
#include "CZelPolygonalFont.h"

#include <FTGL/ftgl.h>

namespace {

// Glyph outlines are built at this face size, whatever the text size, so that
// small text in large scenes keeps smooth curves.
constexpr int GLYPH_FACE_SIZE = 48;
constexpr unsigned int RESOLUTION_DPI = 72;

} // namespace

CZelPolygonalFont::CZelPolygonalFont(const std::string& fontFile)
    : CZelVectorFont(fontFile), m_font(std::make_unique<FTPolygonFont>(fontFile.c_str()))
{
    if (isLoaded()) {
        m_font->CharMap(ft_encoding_unicode);
        m_font->FaceSize(1, RESOLUTION_DPI);
    }
}

CZelPolygonalFont::~CZelPolygonalFont() = default;

bool CZelPolygonalFont::isLoaded() const
{
    return m_font->Error() == 0;
}

void CZelPolygonalFont::doCreateGeometry()
{
    if (!isLoaded())
        return;
    m_font->Render(getText().c_str(), -1, FTPoint(0.0, 0.0, 0.0), FTPoint(0.0, 0.0, 0.0), FTGL::RENDER_ALL);
}

void CZelPolygonalFont::doSetFaceSize(int size)
{
    if (isLoaded() && size > 0)
        m_font->FaceSize(static_cast<unsigned int>(size), RESOLUTION_DPI);
}

void CZelPolygonalFont::doSetSize(double size)
{
    setFaceSize(GLYPH_FACE_SIZE);
    m_scale = size / GLYPH_FACE_SIZE;
    // The outlines are flat: only x and y are scaled, and the unequal scale
    // needs normals renormalised.
    setScale(m_scale, m_scale, 1.0);
    setNormalize(true);
}

void CZelPolygonalFont::doGetSize(double& width, double& height, double& depth)
{
    if (!isLoaded()) {
        CZelVectorFont::doGetSize(width, height, depth);
        return;
    }
    const FTBBox box = m_font->BBox(getText().c_str(), -1, FTPoint(0.0, 0.0, 0.0), FTPoint(0.0, 0.0, 0.0));
    const float lowerX = box.Lower().Xf();
    const float lowerY = box.Lower().Yf();
    const float lowerZ = box.Lower().Zf();
    const float upperX = box.Upper().Xf();
    const float upperY = box.Upper().Yf();
    const float upperZ = box.Upper().Zf();
    width = (upperX - lowerX) * m_scale;
    height = (upperY - lowerY) * m_scale;
    depth = (upperZ - lowerZ) * m_scale;
}
