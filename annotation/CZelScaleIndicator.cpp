// Axis, tick and arrow lines and the labels at the major ticks.
#include "CZelScaleIndicator.h"

#include <GL/gl.h>

#include <cmath>
#include <locale>
#include <sstream>

namespace {

constexpr int LARGEST_SEARCHED_EXPONENT = 8;
constexpr int SMALLEST_SEARCHED_EXPONENT = -2;
constexpr double MOST_MAJOR_TICKS = 10000.0;

void vertex(const CZelVec3d& v)
{
    glVertex3dv(v.getArray());
}

// The tick from b + half·n to b − half·n at every step from the first point
// while short of the axis length.
void ticks(const CZelVec3d& first, const CZelVec3d& a, const CZelVec3d& n, double length, double step, double half)
{
    for (double p = 0.0; p < length; p += step) {
        const CZelVec3d b = first + a * p;
        vertex(b + n * half);
        vertex(b - n * half);
    }
}

} // namespace

CZelScaleIndicator::CZelScaleIndicator() : m_text(new CZelText()), m_billboard(new CZelBillboard())
{
    m_billboard->addChild(m_text);
}

void CZelScaleIndicator::setTextOffset(double across, double along)
{
    m_textOffsetAcross = across;
    m_textOffsetAlong = along;
}

void CZelScaleIndicator::getTextOffset(double& across, double& along) const
{
    across = m_textOffsetAcross;
    along = m_textOffsetAlong;
}

void CZelScaleIndicator::setFont(CZelFont* font)
{
    m_font = font;
    m_text->setFont(font);
}

void CZelScaleIndicator::setCamera(CZelCamera* camera)
{
    m_camera = camera;
    m_billboard->setView(camera);
}

double CZelScaleIndicator::powerOfTen(int exponent)
{
    // Literals are the nearest doubles; pow need not be for negative powers.
    static const double POWERS[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    if (exponent >= -4 && exponent <= 8)
        return POWERS[exponent + 4];
    return std::pow(10.0, exponent);
}

int CZelScaleIndicator::stepExponent(double length)
{
    int t = LARGEST_SEARCHED_EXPONENT;
    while (t >= SMALLEST_SEARCHED_EXPONENT && !(length / powerOfTen(t) > 1.0))
        --t;
    // Past this many ticks an axis takes ever longer to draw, and the steps
    // would in the end no longer move the tick position at all.
    while (length / powerOfTen(t) > MOST_MAJOR_TICKS)
        ++t;
    return t;
}

std::string CZelScaleIndicator::formatLabel(double distance)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << distance;
    return text.str();
}

void CZelScaleIndicator::doCreateGeometry()
{
    CZelVec3d a = m_secondPoint - m_firstPoint;
    const double length = a.length();
    // An axis without a direction has no ticks, no arrow and no labels.
    if (!(length > 0.0) || !std::isfinite(length) || !a.normalize())
        return;
    const int t = stepExponent(length);
    const double major = powerOfTen(t);
    const double minor = powerOfTen(t - 1);
    m_tickSize = 0.05 * major;
    m_minorTickSize = 0.025 * major;
    const double s = m_tickSize;

    CZelVec3d r(0.0, 1.0, 0.0);
    if (a == CZelVec3d(0.0, 1.0, 0.0))
        r.setComponents(1.0, 0.0, 0.0);
    else if (a == CZelVec3d(0.0, -1.0, 0.0))
        r.setComponents(-1.0, 0.0, 0.0);
    CZelVec3d n = CZelVec3d::cross(r, a);
    n.normalize();

    glBegin(GL_LINES);
    vertex(m_firstPoint);
    vertex(m_secondPoint);
    ticks(m_firstPoint, a, n, length, major, s);
    ticks(m_firstPoint, a, n, length, minor, m_minorTickSize);
    vertex(m_secondPoint + n * s - a * s);
    vertex(m_secondPoint);
    vertex(m_secondPoint);
    vertex(m_secondPoint - n * s - a * s);
    glEnd();

    if (!m_font)
        return;
    int k = 0;
    for (double p = 0.0; p < length; p += major, ++k) {
        const CZelVec3d b = m_firstPoint + a * p;
        const CZelVec3d anchor =
            m_textOffsetAcross > 0.0 ? b + n * (m_textOffsetAcross + s) : b - n * (s - m_textOffsetAcross);
        m_billboard->setPosition(anchor);
        m_text->setText(formatLabel(p));
        double width = 0.0, height = 0.0, depth = 0.0;
        m_text->getSize(width, height, depth);
        m_text->setPosition(-0.5 * width, -0.5 * height, 0.0);
        if (k % m_labelInterval == 0)
            m_billboard->render();
    }
}
