// A string drawn in the scene with a shared font: the text hands its string to
// the font and renders the font inside its own transform.
#pragma once

#include "CZelFont.h"
#include "CZelPointer.h"
#include "CZelShape.h"

#include <string>

class CZelText : public CZelShape
{
    ZEL_DECLARE_CLASS(CZelText, CZelShape)
public:
    CZelText() = default;

    void doCreateGeometry() override;

    // Adds a reference to the font (shared by many texts); the previous one is
    // released. The current string is passed on at the next draw or setText.
    void setFont(CZelFont* font) { m_font = font; }
    // Borrowed; null until a font is set.
    CZelFont* getFont() const { return m_font; }
    void setText(const std::string& text);
    const std::string& getText() const { return m_text; }
    // Extents of the font's current string: set the string before measuring.
    // Without a font all three are 0.
    void getSize(double& width, double& height, double& depth);

private:
    CZelPointer<CZelFont> m_font;
    std::string m_text = "Zel++";
};
