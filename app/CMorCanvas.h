// A small RGB or RGBA raster with antialiased fills, used to paint the
// program's own pictures (help and splash windows, icons) at start-up instead
// of shipping files.
#pragma once

#include <functional>
#include <utility>
#include <vector>

class CMorCanvas
{
public:
    struct Colour {
        double r, g, b;
    };
    using Point = std::pair<double, double>;
    // True when the point (x, y) in pixel units lies inside the shape.
    using Shape = std::function<bool(double x, double y)>;

    // An opaque RGB canvas filled with the background.
    CMorCanvas(int width, int height, Colour background);
    // A fully transparent RGBA canvas; fills cover it by their coverage.
    CMorCanvas(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // 3 (RGB) or 4 (RGBA, alpha not premultiplied).
    int depth() const { return m_depth; }
    // depth() bytes per pixel, top row first, as FLTK's RGB images want them.
    const unsigned char* data() const { return m_pixels.data(); }
    const std::vector<unsigned char>& pixels() const { return m_pixels; }
    Colour pixel(int x, int y) const;
    // Opacity 0 to 255; 255 on an RGB canvas.
    int alpha(int x, int y) const;

    // Blends colour over every pixel of the box (x0, y0)-(x1, y1) by the share
    // of its 4 x 4 samples inside the shape, times opacity.
    void fill(const Shape& shape, double x0, double y0, double x1, double y1, Colour colour,
              double opacity = 1.0);
    void verticalGradient(double x0, double y0, double x1, double y1, Colour top, Colour bottom);

    // Shapes for fill.
    static Shape rect(double x, double y, double w, double h);
    static Shape roundRect(double x, double y, double w, double h, double radius);
    static Shape ellipse(double cx, double cy, double rx, double ry);
    static Shape polygon(std::vector<Point> points);
    // A band of the given width along the line through a and b, ends cut off
    // by the lines through a and b square to it.
    static Shape stroke(Point a, Point b, double width);
    // Ring between the two radii, between the angles (radians, counter-clockwise
    // on screen from the positive x axis).
    static Shape arc(double cx, double cy, double inner, double outer, double from, double to);

    // Conveniences over fill with the shape's own bounds.
    void fillRect(double x, double y, double w, double h, Colour colour, double opacity = 1.0);
    void fillRoundRect(double x, double y, double w, double h, double radius, Colour colour);
    void fillEllipse(double cx, double cy, double rx, double ry, Colour colour, double opacity = 1.0);
    void fillPolygon(const std::vector<Point>& points, Colour colour, double opacity = 1.0);
    void strokeLine(Point a, Point b, double width, Colour colour, double opacity = 1.0);

private:
    int m_width;
    int m_height;
    int m_depth;
    std::vector<unsigned char> m_pixels;
};
