// Axis, tick and arrow lines and the labels at the major ticks.
#include "CZelScaleIndicator.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
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

void CZelScaleIndicator::setValues(double first, double second)
{
    m_values[0] = first;
    m_values[1] = second;
    m_hasValues = true;
}

double CZelScaleIndicator::mapStep(double range)
{
    if (!(range > 0.0) || !std::isfinite(range))
        return 1.0;
    double power = powerOfTen(static_cast<int>(std::floor(std::log10(range))) - 1);
    // Ranges near the smallest doubles have no power of ten below them.
    if (!(power > 0.0) || !std::isfinite(power))
        return range;
    for (;;) {
        for (const double factor : {1.0, 2.0, 5.0})
            if (range / (factor * power) <= 10.0)
                return factor * power;
        power *= 10.0;
    }
}

std::string CZelScaleIndicator::formatMapLabel(double value, double step)
{
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string label = text;
    // A value that rounds to zero from below is no negative number.
    if (label.find_first_not_of("-0.") == std::string::npos && label[0] == '-')
        label.erase(0, 1);
    return label;
}

namespace {

// A label's rectangle on the screen, in window pixels.
struct ScreenBox
{
    double left, right, bottom, top;
    bool valid;
};

// Where the current matrices put the corners of a label of this size
// centred on the anchor, upright, its width along across.
ScreenBox screenBox(const double modelView[16], const double projection[16], const int viewport[4],
                    const CZelVec3d& anchor, const CZelVec3d& across, double width, double height)
{
    ScreenBox box{1e300, -1e300, 1e300, -1e300, true};
    for (int corner = 0; corner < 4; ++corner) {
        const CZelVec3d p = anchor + across * ((corner & 1 ? 0.5 : -0.5) * width) +
                            CZelVec3d(0.0, (corner & 2 ? 0.5 : -0.5) * height, 0.0);
        double eye[4], clip[4];
        for (int r = 0; r < 4; ++r)
            eye[r] = modelView[r] * p.x() + modelView[4 + r] * p.y() + modelView[8 + r] * p.z() + modelView[12 + r];
        for (int r = 0; r < 4; ++r)
            clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] + projection[8 + r] * eye[2] +
                      projection[12 + r] * eye[3];
        // Behind the eye a label cannot be judged: it is not in view anyway.
        if (!(clip[3] > 0.0))
            return {0.0, 0.0, 0.0, 0.0, false};
        const double x = viewport[0] + (clip[0] / clip[3] + 1.0) * 0.5 * viewport[2];
        const double y = viewport[1] + (clip[1] / clip[3] + 1.0) * 0.5 * viewport[3];
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.bottom = std::min(box.bottom, y);
        box.top = std::max(box.top, y);
    }
    return box;
}

// Apart by a label's height at least, so that they read as separate
// numbers even when small; or one of them not judged.
bool apart(const ScreenBox& a, const ScreenBox& b)
{
    const double gap = std::max(a.top - a.bottom, b.top - b.bottom);
    return !a.valid || !b.valid || a.right + gap <= b.left || b.right + gap <= a.left || a.top + gap <= b.bottom ||
           b.top + gap <= a.bottom;
}

} // namespace

int CZelScaleIndicator::separatingInterval(const std::vector<CZelVec3d>& anchors, const std::vector<double>& steps,
                                           const std::vector<std::string>& labels)
{
    // Labels turn about the vertical to face the camera: their width lies
    // across the view, their height upright.
    CZelVec3d across(1.0, 0.0, 0.0);
    if (m_camera) {
        const CZelVec3d& f = m_camera->getForward();
        across.setComponents(-f.z(), 0.0, f.x());
        if (!across.normalize())
            across.setComponents(1.0, 0.0, 0.0);
    }
    double modelView[16], projection[16];
    int viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<ScreenBox> boxes;
    for (size_t i = 0; i < anchors.size(); ++i) {
        m_text->setText(labels[i]);
        double width = 0.0, height = 0.0, depth = 0.0;
        m_text->getSize(width, height, depth);
        boxes.push_back(screenBox(modelView, projection, viewport, anchors[i], across, width, height));
    }
    // The smallest interval from the chosen one on whose labels keep apart.
    // From the number of steps on at most one label is left, which cannot
    // overlap another.
    const int count = static_cast<int>(boxes.size());
    int interval = m_labelInterval;
    for (; interval < count; ++interval) {
        const ScreenBox* previous = nullptr;
        bool separate = true;
        for (size_t i = 0; i < boxes.size() && separate; ++i) {
            if (!isLabelled(steps[i], interval))
                continue;
            separate = previous == nullptr || apart(*previous, boxes[i]);
            previous = &boxes[i];
        }
        if (separate)
            break;
    }
    return interval;
}

bool CZelScaleIndicator::layOut(Layout& layout)
{
    layout = Layout();
    CZelVec3d a = m_secondPoint - m_firstPoint;
    const double length = a.length();
    // An axis without a direction has no ticks, no arrow and no labels.
    if (!(length > 0.0) || !std::isfinite(length) || !a.normalize())
        return false;
    const double v0 = m_hasValues ? m_values[0] : 0.0;
    const double v1 = m_hasValues ? m_values[1] : length;
    const double span = std::fabs(v1 - v0);
    if (!(span > 0.0) || !std::isfinite(span))
        return false;
    // Scene units along the axis per unit of value.
    const double scale = m_hasValues ? length / span : 1.0;
    double major = 0.0, minor = 0.0;
    if (m_mapLabels) {
        major = mapStep(span);
        const double factor = major / powerOfTen(static_cast<int>(std::floor(std::log10(major) + 1e-9)));
        minor = major / (factor > 1.5 && factor < 2.5 ? 4.0 : factor > 4.5 ? 5.0 : 10.0);
    } else {
        const int t = stepExponent(span);
        major = powerOfTen(t);
        minor = powerOfTen(t - 1);
    }
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

    // Distances from the first point (in values) of the ticks of a step:
    // from 0 on for distances, at the multiples of the step for map values.
    const double low = std::min(v0, v1);
    const double high = std::max(v0, v1);
    const auto tickValues = [&](double step) {
        std::vector<double> values;
        if (m_mapLabels) {
            // Counted from the first multiple: far from zero, adding 1 to
            // a multiple's number may no longer change it.
            const double first = std::ceil(low / step);
            for (int i = 0; (first + i) * step <= high && i <= 1000; ++i)
                values.push_back((first + i) * step);
            // From the first point on.
            if (v1 < v0)
                std::reverse(values.begin(), values.end());
        } else {
            for (double p = 0.0; p < span; p += step)
                values.push_back(p);
        }
        return values;
    };
    const auto distanceOf = [&](double value) { return (m_mapLabels ? std::fabs(value - v0) : value) * scale; };
    const std::vector<double> majors = tickValues(major);

    std::vector<CZelVec3d>& lines = layout.lines;
    lines.push_back(m_firstPoint);
    lines.push_back(m_secondPoint);
    for (const double value : majors) {
        const CZelVec3d b = m_firstPoint + a * distanceOf(value);
        lines.push_back(b + n * s);
        lines.push_back(b - n * s);
    }
    for (const double value : tickValues(minor)) {
        const CZelVec3d b = m_firstPoint + a * distanceOf(value);
        lines.push_back(b + n * m_minorTickSize);
        lines.push_back(b - n * m_minorTickSize);
    }
    lines.push_back(m_secondPoint + n * s - a * s);
    lines.push_back(m_secondPoint);
    lines.push_back(m_secondPoint);
    lines.push_back(m_secondPoint - n * s - a * s);

    for (size_t i = 0; i < majors.size(); ++i) {
        const double value = majors[i];
        const CZelVec3d b = m_firstPoint + a * distanceOf(value);
        layout.anchors.push_back(m_textOffsetAcross > 0.0 ? b + n * (m_textOffsetAcross + s)
                                                          : b - n * (s - m_textOffsetAcross));
        // Distances count their labels from the first point, map values
        // label their round multiples.
        layout.steps.push_back(m_mapLabels ? std::round(value / major) : static_cast<double>(i));
        layout.labels.push_back(m_mapLabels ? formatMapLabel(value, major) : formatLabel(value));
    }
    return true;
}

bool CZelScaleIndicator::isLabelled(double step, int interval)
{
    return std::fmod(step, interval) == 0.0;
}

void CZelScaleIndicator::doCreateGeometry()
{
    Layout layout;
    if (!layOut(layout))
        return;
    glBegin(GL_LINES);
    for (const CZelVec3d& point : layout.lines)
        vertex(point);
    glEnd();

    if (!m_font)
        return;
    m_labelIntervalDrawn =
        m_mapLabels ? separatingInterval(layout.anchors, layout.steps, layout.labels) : m_labelInterval;
    for (size_t i = 0; i < layout.anchors.size(); ++i) {
        m_billboard->setPosition(layout.anchors[i]);
        m_text->setText(layout.labels[i]);
        double width = 0.0, height = 0.0, depth = 0.0;
        m_text->getSize(width, height, depth);
        m_text->setPosition(-0.5 * width, -0.5 * height, 0.0);
        if (isLabelled(layout.steps[i], m_labelIntervalDrawn))
            m_billboard->render();
    }
}
