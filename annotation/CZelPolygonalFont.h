// 3-D text from TrueType outlines turned into flat polygons (FTGL's polygon
// font). Glyphs are always built at face size 48 and scaled to the text size.
#pragma once

#include "CZelVectorFont.h"

#include <memory>
#include <string>

class FTPolygonFont;

class CZelPolygonalFont : public CZelVectorFont
{
    ZEL_DECLARE_CLASS(CZelPolygonalFont, CZelVectorFont)
public:
    // A file that cannot be read gives a font that draws nothing and measures 0.
    explicit CZelPolygonalFont(const std::string& fontFile);
    ~CZelPolygonalFont() override;

    void doCreateGeometry() override;
    void doSetFaceSize(int size) override;
    void doSetSize(double size) override;
    void doGetSize(double& width, double& height, double& depth) override;

    // False when the font file could not be opened.
    bool isLoaded() const;
    // Model units per glyph unit.
    double getGlyphScale() const { return m_scale; }

private:
    std::unique_ptr<FTPolygonFont> m_font;
    // Until the first setSize the glyphs are one model unit per em.
    double m_scale = 1.0;
};
