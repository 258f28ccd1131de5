// The measurement's marks.
#include "CMorMeasureOverlay.h"

#include "CFenceCoordinates.h"
#include "CMorViewRays.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

const float A_COLOUR[3] = {1.0f, 0.25f, 0.2f};
const float B_COLOUR[3] = {0.2f, 0.55f, 1.0f};
const float LINE_COLOUR[3] = {1.0f, 0.85f, 0.0f};

struct Mark
{
    CZelVec3d scene;
    double depth;
};

class Projector
{
public:
    Projector(const CZelCamera& camera, int width, int height)
        : m_rays(camera, static_cast<double>(width) / height), m_width(width), m_height(height),
          m_near(std::max(m_rays.getNear(), 1e-9))
    {
    }

    Mark mark(const CFenceCoordinates& coordinates, const CMorMeasurement::Point& point) const
    {
        const CZelVec3d scene = coordinates.toScene(point.east, point.north, point.elevation);
        double x = 0.0, y = 0.0, depth = 0.0;
        m_rays.project(scene, x, y, depth);
        return {scene, depth};
    }
    bool visible(const Mark& mark) const { return mark.depth >= m_near; }
    // Window pixels of a scene point in front of the eye; false for one too
    // far off the picture to draw.
    bool pixel(const CZelVec3d& scene, double& x, double& y) const
    {
        double ndcX = 0.0, ndcY = 0.0, depth = 0.0;
        m_rays.project(scene, ndcX, ndcY, depth);
        x = (ndcX + 1.0) / 2.0 * m_width;
        y = (1.0 - ndcY) / 2.0 * m_height;
        const double limit = 1e6;
        return std::fabs(x) < limit && std::fabs(y) < limit;
    }
    // The point where the line from a (in front) to b (behind) crosses the near plane.
    CZelVec3d cut(const Mark& a, const Mark& b) const
    {
        const double f = (a.depth - m_near) / (a.depth - b.depth);
        return CZelVec3d(a.scene.x() + f * (b.scene.x() - a.scene.x()), a.scene.y() + f * (b.scene.y() - a.scene.y()),
                         a.scene.z() + f * (b.scene.z() - a.scene.z()));
    }

private:
    CMorViewRays m_rays;
    int m_width;
    int m_height;
    double m_near;
};

void square(double x, double y, double half)
{
    glBegin(GL_QUADS);
    glVertex2d(x - half, y - half);
    glVertex2d(x + half, y - half);
    glVertex2d(x + half, y + half);
    glVertex2d(x - half, y + half);
    glEnd();
}

void drawMark(const Projector& projector, const Mark& mark, const float colour[3])
{
    double x = 0.0, y = 0.0;
    if (!projector.visible(mark) || !projector.pixel(mark.scene, x, y))
        return;
    glColor3f(0.0f, 0.0f, 0.0f);
    square(x, y, 5.0);
    glColor3fv(colour);
    square(x, y, 3.5);
}

void drawLine(const Projector& projector, Mark a, Mark b)
{
    if (!projector.visible(a) && !projector.visible(b))
        return;
    CZelVec3d from = a.scene, to = b.scene;
    if (!projector.visible(a))
        from = projector.cut(b, a);
    if (!projector.visible(b))
        to = projector.cut(a, b);
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    if (!projector.pixel(from, x0, y0) || !projector.pixel(to, x1, y1))
        return;
    // Dark under light, so that the line shows on any section.
    const float widths[2] = {3.0f, 1.0f};
    const float* colours[2] = {nullptr, LINE_COLOUR};
    for (int pass = 0; pass < 2; ++pass) {
        glLineWidth(widths[pass]);
        if (colours[pass] != nullptr)
            glColor3fv(colours[pass]);
        else
            glColor3f(0.0f, 0.0f, 0.0f);
        glBegin(GL_LINES);
        glVertex2d(x0, y0);
        glVertex2d(x1, y1);
        glEnd();
    }
}

} // namespace

void CMorMeasureOverlay::draw(const CMorMeasurement& measurement, const CZelCamera& camera,
                              const CFenceCoordinates& coordinates, int width, int height)
{
    if (!measurement.hasA() || width <= 0 || height <= 0)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    const Projector projector(camera, width, height);
    const Mark a = projector.mark(coordinates, measurement.getA());
    if (measurement.hasB()) {
        const Mark b = projector.mark(coordinates, measurement.getB());
        drawLine(projector, a, b);
        drawMark(projector, b, B_COLOUR);
    }
    drawMark(projector, a, A_COLOUR);
    glPopAttrib();
}
