// Model-unit size of outline fonts.
#include "CZelVectorFont.h"

CZelVectorFont::CZelVectorFont(const std::string& fontFile) : CZelFont(fontFile) {}

void CZelVectorFont::getSize(double& width, double& height, double& depth)
{
    doGetSize(width, height, depth);
}

void CZelVectorFont::doGetSize(double& width, double& height, double& depth)
{
    width = 0.0;
    height = 0.0;
    depth = 0.0;
}

void CZelVectorFont::setSize(double size)
{
    m_size = size;
    doSetSize(size);
}
