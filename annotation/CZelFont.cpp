// Font string and face size, passed on to the subclass hooks.
#include "CZelFont.h"

CZelFont::CZelFont(const std::string& fontFile) : m_fontFile(fontFile) {}

void CZelFont::getSize(double& width, double& height, double& depth) {}

void CZelFont::setText(const std::string& text)
{
    m_text = text;
    doSetText(text);
}

void CZelFont::setFaceSize(int size)
{
    m_faceSize = size;
    doSetFaceSize(size);
}
