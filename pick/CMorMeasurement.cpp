// Distances and angles between two map points.
#include "CMorMeasurement.h"

#include <cmath>

int CMorMeasurement::click(const Point& point)
{
    if (m_count == 1) {
        m_b = point;
        m_count = 2;
        return 1;
    }
    m_a = point;
    m_count = 1;
    return 0;
}

double CMorMeasurement::getHorizontal() const
{
    return hasB() ? std::hypot(m_b.east - m_a.east, m_b.north - m_a.north) : 0.0;
}

double CMorMeasurement::getVertical() const
{
    return hasB() ? m_b.elevation - m_a.elevation : 0.0;
}

double CMorMeasurement::getDistance() const
{
    return std::hypot(getHorizontal(), getVertical());
}

double CMorMeasurement::getAzimuth() const
{
    if (getHorizontal() == 0.0)
        return 0.0;
    const double degrees = std::atan2(m_b.east - m_a.east, m_b.north - m_a.north) * 180.0 / M_PI;
    const double turned = degrees < 0.0 ? degrees + 360.0 : degrees;
    // A hair west of north comes out as 360.
    return turned < 360.0 ? turned : 0.0;
}

double CMorMeasurement::getDip() const
{
    if (getDistance() == 0.0)
        return 0.0;
    return std::atan2(-getVertical(), getHorizontal()) * 180.0 / M_PI;
}
