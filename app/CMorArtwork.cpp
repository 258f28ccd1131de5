// Painting of the help and splash pictures.
#include "CMorArtwork.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Colour = CMorCanvas::Colour;
using Point = CMorCanvas::Point;

const Colour PANEL{244, 246, 250};
const Colour OUTLINE{74, 82, 96};
const Colour BODY{226, 230, 237};
const Colour ACCENT{40, 104, 214};
const Colour ACCENT_LIGHT{96, 148, 236};
const Colour GLYPH{54, 62, 76};
const Colour WHITE{255, 255, 255};

enum class Button { Left, Right };

// A mouse seen from above at the left of a help picture, the given button
// pressed (shown in the accent colour).
void paintMouse(CMorCanvas& canvas, Button pressed)
{
    const double x = 6, w = 26, r = 12;
    const double y = 8, h = canvas.height() - 16;
    const double split = y + h * 0.42; // lower edge of the buttons
    const double middle = x + w / 2;

    canvas.fill(CMorCanvas::roundRect(x + 1, y + 2, w, h, r), x, y, x + w + 2, y + h + 3, {200, 205, 214});
    canvas.fillRoundRect(x, y, w, h, r, OUTLINE);
    const auto inner = CMorCanvas::roundRect(x + 1.5, y + 1.5, w - 3, h - 3, r - 1.5);
    canvas.fill(inner, x, y, x + w, y + h, BODY);
    canvas.fill(
        [&](double px, double py) {
            const bool side = pressed == Button::Left ? px < middle : px > middle;
            return side && py < split && inner(px, py);
        },
        x, y, x + w, split, ACCENT);
    canvas.strokeLine({middle, y + 1}, {middle, split}, 1.5, OUTLINE);
    canvas.strokeLine({x + 1, split}, {x + w - 1, split}, 1.5, OUTLINE);
    canvas.fillRoundRect(middle - 2, y + 9, 4, 8, 2, OUTLINE); // wheel
}

// Filled arrow head with its tip at tip, pointing along the angle (radians,
// screen coordinates: y downwards).
void paintArrowHead(CMorCanvas& canvas, Point tip, double angle, double length, double width, Colour colour)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const Point base{tip.first - c * length, tip.second - s * length};
    canvas.fillPolygon({tip,
                        {base.first - s * width / 2, base.second + c * width / 2},
                        {base.first + s * width / 2, base.second - c * width / 2}},
                       colour);
}

void paintArrow(CMorCanvas& canvas, Point from, Point to, Colour colour)
{
    const double angle = std::atan2(to.second - from.second, to.first - from.first);
    const Point shaftEnd{to.first - std::cos(angle) * 5, to.second - std::sin(angle) * 5};
    canvas.strokeLine(from, shaftEnd, 2.5, colour);
    paintArrowHead(canvas, to, angle, 7, 9, colour);
}

// One letter of the word mark in a cell of the given left edge, top and cap
// height; returns the width of the letter.
double paintLetter(CMorCanvas& canvas, char letter, double x, double top, double height, Colour colour)
{
    const double s = height * 0.19; // stroke width
    const double bottom = top + height;
    auto clipped = [&](CMorCanvas::Shape shape) {
        return [=](double px, double py) { return py >= top && py < bottom && shape(px, py); };
    };
    auto diagonal = [&](Point a, Point b, double width) {
        // Extended past both ends, then cut to the cap height.
        const double dx = b.first - a.first, dy = b.second - a.second;
        const double k = 0.5;
        canvas.fill(clipped(CMorCanvas::stroke({a.first - dx * k, a.second - dy * k},
                                               {b.first + dx * k, b.second + dy * k}, width)),
                    x - s, top, x + height * 1.2, bottom, colour);
    };
    switch (letter) {
    case 'M': {
        const double w = height * 0.98;
        canvas.fillRect(x, top, s, height, colour);
        canvas.fillRect(x + w - s, top, s, height, colour);
        const Point vertex{x + w / 2, top + height * 0.72};
        canvas.fill(clipped([&, vertex](double px, double py) {
                        return CMorCanvas::stroke({x + s / 2, top - s}, vertex, s * 1.05)(px, py) ||
                               CMorCanvas::stroke({x + w - s / 2, top - s}, vertex, s * 1.05)(px, py) ||
                               CMorCanvas::ellipse(vertex.first, vertex.second, s * 0.52, s * 0.52)(px, py);
                    }),
                    x, top, x + w, bottom, colour);
        return w;
    }
    case 'O': {
        const double w = height * 0.98;
        const double cx = x + w / 2, cy = top + height / 2;
        canvas.fill(
            [=](double px, double py) {
                return CMorCanvas::ellipse(cx, cy, w / 2, height / 2)(px, py) &&
                       !CMorCanvas::ellipse(cx, cy, w / 2 - s * 1.05, height / 2 - s)(px, py);
            },
            x, top, x + w, bottom, colour);
        return w;
    }
    case 'R': {
        const double w = height * 0.78;
        const double bowl = height * 0.56;
        const double rb = bowl / 2;
        canvas.fillRect(x, top, s, height, colour);
        canvas.fill(
            [=](double px, double py) {
                if (py < top || py > top + bowl)
                    return false;
                const double cx = x + w - rb;
                if (px <= cx)
                    return px >= x && (py < top + s || py > top + bowl - s);
                const double d = std::hypot(px - cx, py - (top + rb));
                return d <= rb && d >= rb - s;
            },
            x, top, x + w, top + bowl, colour);
        diagonal({x + w * 0.42, top + bowl - s / 2}, {x + w - s / 2, bottom}, s * 1.05);
        return w;
    }
    case 'V': {
        const double w = height * 0.9;
        diagonal({x + s / 2, top}, {x + w / 2, bottom}, s * 1.05);
        diagonal({x + w - s / 2, top}, {x + w / 2, bottom}, s * 1.05);
        return w;
    }
    case 'E': {
        const double w = height * 0.66;
        canvas.fillRect(x, top, s, height, colour);
        canvas.fillRect(x, top, w, s, colour);
        canvas.fillRect(x, top + height / 2 - s / 2, w * 0.86, s, colour);
        canvas.fillRect(x, bottom - s, w, s, colour);
        return w;
    }
    case 'X': {
        const double w = height * 0.86;
        diagonal({x + s * 0.55, top}, {x + w - s * 0.55, bottom}, s * 1.05);
        diagonal({x + w - s * 0.55, top}, {x + s * 0.55, bottom}, s * 1.05);
        return w;
    }
    default:
        return 0;
    }
}

// One upright section panel in perspective: top edge from a to b, hanging
// down by depth pixels, painted as rock layers with gently waving bounds.
void paintFence(CMorCanvas& canvas, Point a, Point b, double depth, double phase, double light)
{
    static const Colour layers[] = {{214, 178, 106}, {190, 120, 74}, {150, 150, 96},
                                    {120, 132, 150}, {164, 96, 70},  {92, 104, 128}};
    const double bounds[] = {0.0, 0.18, 0.36, 0.52, 0.70, 0.84, 1.0};
    const int steps = 48;
    auto bound = [&](int k, double u) {
        if (k == 0 || k == 6)
            return bounds[k];
        return bounds[k] + 0.045 * std::sin(6.0 * u + phase + k * 1.7) + 0.02 * std::sin(15.0 * u + k);
    };
    auto at = [&](double u, double v) {
        return Point{a.first + (b.first - a.first) * u, a.second + (b.second - a.second) * u + depth * v};
    };
    // Each layer runs down to the foot of the panel and the next one covers
    // it, so neighbouring layers share no antialiased seam.
    for (int k = 0; k < 6; ++k) {
        std::vector<Point> outline;
        for (int i = 0; i <= steps; ++i)
            outline.push_back(at(double(i) / steps, bound(k, double(i) / steps)));
        outline.push_back(at(1, 1));
        outline.push_back(at(0, 1));
        canvas.fillPolygon(outline, {layers[k].r * light, layers[k].g * light, layers[k].b * light});
    }
    canvas.strokeLine(a, b, 1.6, {246, 240, 224});
    canvas.strokeLine(at(0, 0), at(0, 1), 1.0, {30, 40, 60}, 0.6);
    canvas.strokeLine(at(1, 0), at(1, 1), 1.0, {30, 40, 60}, 0.6);
}

} // namespace

CMorCanvas CMorArtwork::mouseRotate()
{
    CMorCanvas canvas(64, 67, PANEL);
    paintMouse(canvas, Button::Left);
    const double cx = 48, cy = 33.5, r = 10;
    const double from = -0.35 * M_PI, to = 1.15 * M_PI;
    canvas.fill(CMorCanvas::arc(cx, cy, r - 1.4, r + 1.4, from, to), cx - 13, cy - 13, cx + 13, cy + 13, GLYPH);
    // The head sits at the end of the arc, pointing along the turn.
    const Point end{cx + r * std::cos(to), cy - r * std::sin(to)};
    const double along = std::atan2(-std::cos(to), -std::sin(to));
    paintArrowHead(canvas, {end.first + 5 * std::cos(along), end.second + 5 * std::sin(along)}, along, 8, 10,
                   GLYPH);
    return canvas;
}

CMorCanvas CMorArtwork::mousePan()
{
    CMorCanvas canvas(64, 64, PANEL);
    paintMouse(canvas, Button::Right);
    const Point c{48, 32};
    paintArrow(canvas, c, {48, 17}, GLYPH);
    paintArrow(canvas, c, {48, 47}, GLYPH);
    paintArrow(canvas, c, {33.5, 32}, GLYPH);
    paintArrow(canvas, c, {62.5, 32}, GLYPH);
    canvas.fillEllipse(c.first, c.second, 2.6, 2.6, ACCENT);
    return canvas;
}

CMorCanvas CMorArtwork::mouseZoom()
{
    CMorCanvas canvas(64, 60, PANEL);
    paintMouse(canvas, Button::Right);
    // Shift key cap with its hollow arrow.
    const double kx = 37, ky = 6, kw = 22, kh = 18;
    canvas.fillRoundRect(kx, ky, kw, kh + 2, 4, {168, 176, 190});
    canvas.fillRoundRect(kx, ky, kw, kh, 4, ACCENT);
    canvas.fillRoundRect(kx + 1.5, ky + 1.5, kw - 3, kh - 4, 3, ACCENT_LIGHT);
    const double ax = kx + kw / 2;
    const std::vector<Point> shift{{ax, ky + 3.5}, {ax + 6.5, ky + 10}, {ax + 3, ky + 10},
                                   {ax + 3, ky + 14}, {ax - 3, ky + 14}, {ax - 3, ky + 10},
                                   {ax - 6.5, ky + 10}};
    canvas.fillPolygon(shift, WHITE);
    // Towards and away from the target.
    paintArrow(canvas, {48, 41}, {48, 28}, GLYPH);
    paintArrow(canvas, {48, 41}, {48, 55}, GLYPH);
    return canvas;
}

CMorCanvas CMorArtwork::splash()
{
    CMorCanvas canvas(400, 300, {16, 32, 58});
    canvas.verticalGradient(0, 0, 400, 300, {14, 28, 54}, {30, 62, 100});
    // Soft glow behind the diagram.
    for (int i = 0; i < 12; ++i)
        canvas.fillEllipse(318, 150, 120 - i * 8, 92 - i * 6, {70, 120, 180}, 0.035);

    // Ground grid in perspective under the fences.
    const Colour grid{120, 160, 210};
    for (int i = 0; i <= 8; ++i) {
        const double t = i / 8.0;
        canvas.strokeLine({236 + t * 90, 262 - t * 46}, {312 + t * 90, 286 - t * 46}, 1.0, grid, 0.28);
        canvas.strokeLine({236 + t * 76, 262 + t * 24}, {326 + t * 76, 216 + t * 24}, 1.0, grid, 0.28);
    }

    // Back to front.
    paintFence(canvas, {272, 100}, {352, 72}, 112, 0.4, 0.78);
    paintFence(canvas, {308, 118}, {390, 104}, 104, 2.1, 0.88);
    paintFence(canvas, {246, 138}, {308, 118}, 98, 4.0, 0.96);
    paintFence(canvas, {278, 156}, {358, 172}, 92, 1.3, 1.0);

    // Word mark and rule.
    const double top = 42, height = 44;
    double x = 26;
    const char* word = "MORVEX";
    for (const char* c = word; *c != '\0'; ++c)
        x += paintLetter(canvas, *c, x, top, height, WHITE) + height * 0.16;
    canvas.fillRect(27, 97, 233, 3, {242, 158, 60});
    canvas.fillRect(27, 100, 233, 1, {120, 80, 30}, 0.5);
    return canvas;
}

// The tool icons share one outline colour, the accent blue and a few fills, and
// draw their outlines as a darker shape under a lighter one inset by a pixel.
namespace {

const Colour ICON_LINE{52, 62, 80};
const Colour PAPER{252, 252, 253};
const Colour FOLDER_BACK{214, 146, 44};
const Colour FOLDER_FRONT{250, 198, 94};
const Colour ICON_GREY{206, 212, 222};
const Colour SKY{196, 222, 250};

void outlinedRect(CMorCanvas& canvas, double x, double y, double w, double h, double radius, Colour fill)
{
    canvas.fillRoundRect(x, y, w, h, radius, ICON_LINE);
    canvas.fillRoundRect(x + 1, y + 1, w - 2, h - 2, std::max(0.0, radius - 1), fill);
}

void outlinedPolygon(CMorCanvas& canvas, const std::vector<Point>& points, Colour fill)
{
    canvas.fillPolygon(points, fill);
    for (size_t i = 0; i < points.size(); ++i)
        canvas.strokeLine(points[i], points[(i + 1) % points.size()], 1.1, ICON_LINE);
}

// One section panel in an icon: top edge from a to b, bottom edge from c to d
// (a above c, b above d), filled with three rock layers.
void iconPanel(CMorCanvas& canvas, Point a, Point b, Point c, Point d, double light)
{
    static const Colour layers[] = {{226, 182, 98}, {196, 116, 70}, {104, 124, 160}};
    auto at = [&](double u, double v) {
        const Point top{a.first + (b.first - a.first) * u, a.second + (b.second - a.second) * u};
        const Point bottom{c.first + (d.first - c.first) * u, c.second + (d.second - c.second) * u};
        return Point{top.first + (bottom.first - top.first) * v, top.second + (bottom.second - top.second) * v};
    };
    const double bounds[] = {0.0, 0.36, 0.68, 1.0};
    for (int k = 0; k < 3; ++k)
        canvas.fillPolygon({at(0, bounds[k]), at(1, bounds[k] + (k ? 0.06 : 0)), at(1, 1), at(0, 1)},
                           {layers[k].r * light, layers[k].g * light, layers[k].b * light});
    for (const auto& edge : {std::make_pair(a, b), std::make_pair(b, d), std::make_pair(d, c),
                             std::make_pair(c, a)})
        canvas.strokeLine(edge.first, edge.second, 1.1, ICON_LINE);
}

CMorCanvas toolCanvas()
{
    return CMorCanvas(CMorArtwork::TOOL_ICON_SIZE, CMorArtwork::TOOL_ICON_SIZE);
}

} // namespace

CMorCanvas CMorArtwork::iconOpen()
{
    CMorCanvas canvas = toolCanvas();
    // Back of the folder with its tab, then the opened front flap.
    outlinedRect(canvas, 1, 3, 9, 5, 1.5, FOLDER_BACK);
    outlinedRect(canvas, 1, 5, 18, 14, 1.5, FOLDER_BACK);
    canvas.fillRect(3, 7, 13, 2, PAPER);
    outlinedPolygon(canvas, {{5, 9.5}, {21.5, 9.5}, {18, 18.5}, {1.5, 18.5}}, FOLDER_FRONT);
    return canvas;
}

CMorCanvas CMorArtwork::iconSave()
{
    CMorCanvas canvas = toolCanvas();
    outlinedRect(canvas, 2, 2, 18, 18, 2, ACCENT);
    // Metal shutter with its window, and the paper label.
    canvas.fillRect(6, 3, 10, 6, ICON_GREY);
    canvas.fillRect(12, 4, 2.5, 4, ICON_LINE);
    outlinedRect(canvas, 5, 11, 12, 8, 1, PAPER);
    canvas.fillRect(7, 13.5, 8, 1, ACCENT_LIGHT);
    canvas.fillRect(7, 16, 8, 1, ACCENT_LIGHT);
    return canvas;
}

CMorCanvas CMorArtwork::iconExport()
{
    CMorCanvas canvas = toolCanvas();
    // A picture: sky, sun and a layered hill ...
    outlinedRect(canvas, 1, 2, 16, 14, 1, SKY);
    canvas.fillEllipse(12.5, 6, 2, 2, {242, 170, 60});
    canvas.fillPolygon({{2, 15}, {2, 11}, {7, 7}, {11, 11}, {16, 9}, {16, 15}}, {120, 160, 90});
    canvas.fillPolygon({{2, 15}, {2, 13}, {8, 11}, {16, 13}, {16, 15}}, {196, 116, 70});
    // ... and an arrow leaving it towards the bottom right.
    const std::vector<Point> arrow{{9, 14}, {15, 14}, {15, 11}, {21, 16.5}, {15, 22}, {15, 19}, {9, 19}};
    canvas.fillPolygon(arrow, PAPER);
    canvas.fillPolygon({{10, 15}, {16, 15}, {16, 13.3}, {19.6, 16.5}, {16, 19.7}, {16, 18}, {10, 18}}, ACCENT);
    return canvas;
}

CMorCanvas CMorArtwork::iconCopy()
{
    CMorCanvas canvas = toolCanvas();
    outlinedRect(canvas, 2, 1, 12, 15, 1, PAPER);
    for (double y : {4.5, 7.5, 10.5})
        canvas.fillRect(4, y, 8, 1, ICON_GREY);
    outlinedRect(canvas, 8, 6, 12, 15, 1, PAPER);
    for (double y : {9.5, 12.5, 15.5})
        canvas.fillRect(10, y, 8, 1.2, ACCENT);
    return canvas;
}

CMorCanvas CMorArtwork::iconViewParameters()
{
    CMorCanvas canvas = toolCanvas();
    // A camera: body, view finder, lens.
    outlinedRect(canvas, 7, 3, 8, 5, 1, {92, 102, 120});
    outlinedRect(canvas, 1, 6, 20, 14, 2.5, {92, 102, 120});
    canvas.fillEllipse(11, 13, 5.5, 5.5, ICON_LINE);
    canvas.fillEllipse(11, 13, 4.5, 4.5, ICON_GREY);
    canvas.fillEllipse(11, 13, 3.2, 3.2, ACCENT);
    canvas.fillEllipse(10, 12, 1.2, 1.2, PAPER);
    canvas.fillRect(3.5, 8.5, 2.5, 1.5, {242, 170, 60});
    return canvas;
}

CMorCanvas CMorArtwork::iconDiagramParameters()
{
    CMorCanvas canvas = toolCanvas();
    // Two fence panels meeting at a corner, seen from above the front ...
    iconPanel(canvas, {1.5, 4}, {10.5, 1.5}, {1.5, 14}, {10.5, 12}, 0.82);
    iconPanel(canvas, {10.5, 1.5}, {20.5, 4.5}, {10.5, 12}, {20.5, 15}, 1.0);
    // ... over a setting slider.
    canvas.fillRect(1.5, 18, 19, 1.5, ICON_LINE);
    outlinedRect(canvas, 12, 15.5, 5, 6.5, 1, ACCENT);
    return canvas;
}

CMorCanvas CMorArtwork::iconResetView()
{
    CMorCanvas canvas = toolCanvas();
    // A turning arrow round the target the camera looks at, open at the top.
    const double cx = 11, cy = 12, r = 6.5;
    const double from = 0.75 * M_PI, to = 2.2 * M_PI;
    canvas.fill(CMorCanvas::arc(cx, cy, r - 1.4, r + 1.4, from, to), 0, 0, 22, 22, ACCENT);
    const Point end{cx + r * std::cos(to), cy - r * std::sin(to)};
    const double along = std::atan2(-std::cos(to), -std::sin(to));
    paintArrowHead(canvas, {end.first + 4 * std::cos(along), end.second + 4 * std::sin(along)}, along, 6.5, 8,
                   ACCENT);
    canvas.fillEllipse(cx, cy, 3, 3, ICON_LINE);
    canvas.fillEllipse(cx, cy, 1.8, 1.8, {242, 170, 60});
    return canvas;
}

CMorCanvas CMorArtwork::programIcon(int size)
{
    CMorCanvas canvas(size, size);
    const double s = size / 48.0;
    canvas.fillRoundRect(0, 0, size, size, 8 * s, {14, 28, 54});
    canvas.fill(CMorCanvas::roundRect(1 * s, 1 * s, 46 * s, 46 * s, 7 * s), 0, 0, size, size, {30, 62, 100});
    paintFence(canvas, {6 * s, 16 * s}, {24 * s, 9 * s}, 24 * s, 0.4, 0.85);
    paintFence(canvas, {24 * s, 9 * s}, {42 * s, 17 * s}, 24 * s, 2.1, 1.0);
    canvas.fillRect(6 * s, 40 * s, 36 * s, 2.5 * s, {242, 158, 60});
    return canvas;
}
