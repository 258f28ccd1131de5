// The drawing rectangle of a view, in window pixels.
#pragma once

#include "CZelBase.h"

class CZelViewport : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelViewport, CZelBase)
public:
    CZelViewport() = default;
    CZelViewport(int x, int y, int width, int height) : m_x(x), m_y(y), m_width(width), m_height(height) {}

    void set(int x, int y, int width, int height);
    void setSize(int width, int height);
    int getX() const { return m_x; }
    int getY() const { return m_y; }
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    // Width over height; a rectangle without height uses width - x instead.
    double getAspect() const;

private:
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_width = 100;
    int32_t m_height = 100;
};
