// Antialiased painting on an RGB or RGBA raster by supersampling.
#include "CMorCanvas.h"

#include <algorithm>
#include <cmath>

namespace {

const int SAMPLES = 4;

unsigned char toByte(double value)
{
    return static_cast<unsigned char>(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

CMorCanvas::CMorCanvas(int width, int height, Colour background)
    : m_width(width), m_height(height), m_depth(3), m_pixels(static_cast<size_t>(width) * height * 3)
{
    fillRect(0, 0, width, height, background);
}

CMorCanvas::CMorCanvas(int width, int height)
    : m_width(width), m_height(height), m_depth(4), m_pixels(static_cast<size_t>(width) * height * 4, 0)
{
}

CMorCanvas::Colour CMorCanvas::pixel(int x, int y) const
{
    const size_t i = (static_cast<size_t>(y) * m_width + x) * m_depth;
    return {double(m_pixels[i]), double(m_pixels[i + 1]), double(m_pixels[i + 2])};
}

int CMorCanvas::alpha(int x, int y) const
{
    return m_depth == 4 ? m_pixels[(static_cast<size_t>(y) * m_width + x) * 4 + 3] : 255;
}

void CMorCanvas::fill(const Shape& shape, double x0, double y0, double x1, double y1, Colour colour,
                      double opacity)
{
    const int left = std::max(0, int(std::floor(x0)));
    const int top = std::max(0, int(std::floor(y0)));
    const int right = std::min(m_width - 1, int(std::ceil(x1)));
    const int bottom = std::min(m_height - 1, int(std::ceil(y1)));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            int inside = 0;
            for (int sy = 0; sy < SAMPLES; ++sy)
                for (int sx = 0; sx < SAMPLES; ++sx)
                    if (shape(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES))
                        ++inside;
            if (inside == 0)
                continue;
            const double a = opacity * inside / (SAMPLES * SAMPLES);
            unsigned char* p = &m_pixels[(static_cast<size_t>(y) * m_width + x) * m_depth];
            // Over-compositing; on an RGB canvas the pixel below is opaque.
            const double below = m_depth == 4 ? p[3] / 255.0 : 1.0;
            const double result = a + below * (1 - a);
            if (result <= 0)
                continue;
            const double keep = below * (1 - a) / result;
            const double add = a / result;
            p[0] = toByte(p[0] * keep + colour.r * add);
            p[1] = toByte(p[1] * keep + colour.g * add);
            p[2] = toByte(p[2] * keep + colour.b * add);
            if (m_depth == 4)
                p[3] = toByte(result * 255);
        }
    }
}

void CMorCanvas::verticalGradient(double x0, double y0, double x1, double y1, Colour top, Colour bottom)
{
    for (int y = std::max(0, int(y0)); y < std::min(m_height, int(y1)); ++y) {
        const double t = (y1 - y0) > 1 ? (y - y0) / (y1 - y0 - 1) : 0.0;
        const Colour c{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                       top.b + (bottom.b - top.b) * t};
        fillRect(x0, y, x1 - x0, 1, c);
    }
}

CMorCanvas::Shape CMorCanvas::rect(double x, double y, double w, double h)
{
    return [=](double px, double py) { return px >= x && px < x + w && py >= y && py < y + h; };
}

CMorCanvas::Shape CMorCanvas::roundRect(double x, double y, double w, double h, double radius)
{
    return [=](double px, double py) {
        if (px < x || px >= x + w || py < y || py >= y + h)
            return false;
        const double cx = std::clamp(px, x + radius, x + w - radius);
        const double cy = std::clamp(py, y + radius, y + h - radius);
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
    };
}

CMorCanvas::Shape CMorCanvas::ellipse(double cx, double cy, double rx, double ry)
{
    return [=](double px, double py) {
        const double u = (px - cx) / rx;
        const double v = (py - cy) / ry;
        return u * u + v * v <= 1.0;
    };
}

CMorCanvas::Shape CMorCanvas::polygon(std::vector<Point> points)
{
    return [points = std::move(points)](double px, double py) {
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Point& a = points[i];
            const Point& b = points[j];
            if ((a.second > py) != (b.second > py) &&
                px < (b.first - a.first) * (py - a.second) / (b.second - a.second) + a.first)
                inside = !inside;
        }
        return inside;
    };
}

CMorCanvas::Shape CMorCanvas::stroke(Point a, Point b, double width)
{
    const double dx = b.first - a.first;
    const double dy = b.second - a.second;
    const double length = std::hypot(dx, dy);
    return [=](double px, double py) {
        if (length == 0)
            return false;
        const double along = ((px - a.first) * dx + (py - a.second) * dy) / length;
        const double across = ((px - a.first) * dy - (py - a.second) * dx) / length;
        return along >= 0 && along <= length && std::fabs(across) <= width / 2;
    };
}

CMorCanvas::Shape CMorCanvas::arc(double cx, double cy, double inner, double outer, double from, double to)
{
    const double twoPi = 2 * M_PI;
    return [=](double px, double py) {
        const double r = std::hypot(px - cx, py - cy);
        if (r < inner || r > outer)
            return false;
        double angle = std::atan2(cy - py, px - cx) - from;
        angle -= twoPi * std::floor(angle / twoPi);
        return angle <= to - from;
    };
}

void CMorCanvas::fillRect(double x, double y, double w, double h, Colour colour, double opacity)
{
    fill(rect(x, y, w, h), x, y, x + w, y + h, colour, opacity);
}

void CMorCanvas::fillRoundRect(double x, double y, double w, double h, double radius, Colour colour)
{
    fill(roundRect(x, y, w, h, radius), x, y, x + w, y + h, colour);
}

void CMorCanvas::fillEllipse(double cx, double cy, double rx, double ry, Colour colour, double opacity)
{
    fill(ellipse(cx, cy, rx, ry), cx - rx, cy - ry, cx + rx, cy + ry, colour, opacity);
}

void CMorCanvas::fillPolygon(const std::vector<Point>& points, Colour colour, double opacity)
{
    if (points.size() < 3)
        return;
    double x0 = points[0].first, x1 = x0, y0 = points[0].second, y1 = y0;
    for (const Point& p : points) {
        x0 = std::min(x0, p.first);
        x1 = std::max(x1, p.first);
        y0 = std::min(y0, p.second);
        y1 = std::max(y1, p.second);
    }
    fill(polygon(points), x0, y0, x1, y1, colour, opacity);
}

void CMorCanvas::strokeLine(Point a, Point b, double width, Colour colour, double opacity)
{
    const double r = width / 2 + 1;
    fill(stroke(a, b, width), std::min(a.first, b.first) - r, std::min(a.second, b.second) - r,
         std::max(a.first, b.first) + r, std::max(a.second, b.second) + r, colour, opacity);
}
