// The drawing rectangle of a view.
#include "CZelViewport.h"

void CZelViewport::set(int x, int y, int width, int height)
{
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
}

void CZelViewport::setSize(int width, int height)
{
    m_width = width;
    m_height = height;
}

double CZelViewport::getAspect() const
{
    if (m_height == 0)
        return static_cast<double>(m_width) - static_cast<double>(m_x);
    return static_cast<double>(m_width) / static_cast<double>(m_height);
}
