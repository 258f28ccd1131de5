// FTGL polygon font behind the model-unit text size.
#include "CZelPolygonalFont.h"

#include <FTGL/ftgl.h>

namespace {

// Glyph outlines are built at this face size, whatever the text size, so that
// small text in large scenes keeps smooth curves.
constexpr int GLYPH_FACE_SIZE = 48;
constexpr unsigned int RESOLUTION_DPI = 72;

// The number of bytes of the well-formed UTF-8 sequence at text[i], or 0.
size_t utf8SequenceLength(const std::string& text, size_t i)
{
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (length == 0 || i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    return length;
}

// FTGL reads strings as UTF-8 and runs past the end of a malformed one.
// Descriptions written on Windows hold single-byte Latin-1 letters: every byte
// that does not start a well-formed sequence is taken as a Latin-1 character.
std::string toUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const size_t length = utf8SequenceLength(text, i);
        if (length > 0) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
        ++i;
    }
    return out;
}

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
    const std::string text = toUtf8(getText());
    m_font->Render(text.c_str(), -1, FTPoint(0.0, 0.0, 0.0), FTPoint(0.0, 0.0, 0.0), FTGL::RENDER_ALL);
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
    const std::string text = toUtf8(getText());
    const FTBBox box = m_font->BBox(text.c_str(), -1, FTPoint(0.0, 0.0, 0.0), FTPoint(0.0, 0.0, 0.0));
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
