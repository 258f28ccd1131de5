// Pixels of a fence picture judged from its pyramid.
#include "CFencePyramidMask.h"

#include <algorithm>
#include <utility>

CFencePyramidMask::CFencePyramidMask(std::shared_ptr<CPyramid> pyramid) : m_pyramid(std::move(pyramid)) {}

int CFencePyramidMask::getWidth() const
{
    return m_pyramid ? m_pyramid->getWidth() : 0;
}

int CFencePyramidMask::getHeight() const
{
    return m_pyramid ? m_pyramid->getHeight() : 0;
}

bool CFencePyramidMask::isDrawn(int column, int row, bool removeWhite, int tolerance) const
{
    if (!m_pyramid || column < 0 || row < 0 || column >= getWidth() || row >= getHeight())
        return false;
    unsigned char rgba[4];
    if (!m_pyramid->readPixel(column, row, rgba))
        return true;
    if (rgba[3] == 0)
        return false;
    return !removeWhite || std::min(rgba[0], std::min(rgba[1], rgba[2])) < 255 - tolerance;
}
