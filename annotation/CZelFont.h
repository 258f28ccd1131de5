// Base of the fonts that draw 3-D text: a shape that holds a TrueType file name
// and a current string, and draws that string at its origin.
#pragma once

#include "CZelShape.h"

#include <cstdint>
#include <string>

class CZelFont : public CZelShape
{
    ZEL_DECLARE_CLASS(CZelFont, CZelShape)
public:
    explicit CZelFont(const std::string& fontFile);

    // Extents of the current string in model units; this base class leaves
    // the three outputs untouched.
    virtual void getSize(double& width, double& height, double& depth);
    virtual void doSetText(const std::string& text) {}
    virtual void doSetFaceSize(int size) {}

    void setText(const std::string& text);
    std::string getText() const { return m_text; }
    const std::string& getFontFile() const { return m_fontFile; }
    // The size glyphs are built at; 0 until the first setFaceSize.
    void setFaceSize(int size);
    int getFaceSize() const { return m_faceSize; }

private:
    std::string m_fontFile;
    std::string m_text = "Zel++";
    int32_t m_faceSize = 0;
};
